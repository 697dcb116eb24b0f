#pragma once

// A small CLAP host for Tumblet.clap (TUMBLET_CLAP_PLUGIN): it loads the library through
// clap_entry and its factory, activates one instance and plays blocks with a transport, MIDI and
// parameter events, recording what comes out. It offers the host extensions the plug-in asks
// for: parameters (flush requests), timers (for the editor) and gui (resize requests).

#include "clap/ClapPosixFdSupport.h"
#include "support/TestHost.h"

#include <clap/entry.h>
#include <clap/events.h>
#include <clap/ext/gui.h>
#include <clap/ext/params.h>
#include <clap/ext/state.h>
#include <clap/ext/timer-support.h>
#include <clap/fixedpoint.h>
#include <clap/host.h>
#include <clap/plugin-factory.h>
#include <clap/plugin.h>
#include <clap/process.h>
#include <clap/stream.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace tumblet::test
{

constexpr double kClapSampleRate = 44100.0;
constexpr std::uint32_t kClapMaxBlock = 4096;

/// One sent MIDI event: absolute frame, status, data 1, data 2.
using TClapNote = std::tuple<std::int64_t, int, int, int>;

/// The library, loaded once and kept loaded as hosts do.
inline const clap_plugin_entry_t* ClapEntry()
{
    static const clap_plugin_entry_t* entry = []() -> const clap_plugin_entry_t*
    {
        // Run by hand, a test binary takes the plug-in its own build made.
        const char* named = std::getenv("TUMBLET_CLAP_PLUGIN");
        const char* path = named != nullptr ? named : TUMBLET_DEFAULT_CLAP_PLUGIN;
        void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (library == nullptr)
            return nullptr;
        const auto* found = static_cast<const clap_plugin_entry_t*>(dlsym(library, "clap_entry"));
        if (found == nullptr || !found->init(path))
            return nullptr;
        return found;
    }();
    return entry;
}

/// A song position as a host sends it at the start of a block, 4/4.
inline clap_event_transport_t Transport(double quarters, double tempo, bool playing)
{
    clap_event_transport_t t{};
    t.header = {sizeof(t), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_TRANSPORT, 0};
    t.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_HAS_BEATS_TIMELINE |
              CLAP_TRANSPORT_HAS_SECONDS_TIMELINE | CLAP_TRANSPORT_HAS_TIME_SIGNATURE |
              (playing ? static_cast<std::uint32_t>(CLAP_TRANSPORT_IS_PLAYING) : 0u);
    t.song_pos_beats = static_cast<clap_beattime>(std::llround(quarters * CLAP_BEATTIME_FACTOR));
    t.song_pos_seconds =
        static_cast<clap_sectime>(std::llround(quarters * 60.0 / tempo * CLAP_SECTIME_FACTOR));
    t.tempo = tempo;
    const double bar = std::floor(quarters / 4.0);
    t.bar_start = static_cast<clap_beattime>(std::llround(bar * 4.0 * CLAP_BEATTIME_FACTOR));
    t.bar_number = static_cast<std::int32_t>(bar);
    t.tsig_num = 4;
    t.tsig_denom = 4;
    return t;
}

/// A sequence of input events of mixed kinds, in the order they were added.
class TClapEventList
{
public:
    template <class TEvent> void Add(const TEvent& event)
    {
        std::vector<std::uint8_t> bytes(sizeof(TEvent));
        std::memcpy(bytes.data(), &event, sizeof(TEvent));
        FEvents.push_back(std::move(bytes));
    }
    void AddMidi(std::uint32_t frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
    {
        clap_event_midi_t midi{};
        midi.header = {sizeof(midi), frame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
        midi.data[0] = status;
        midi.data[1] = data1;
        midi.data[2] = data2;
        Add(midi);
    }
    void AddParameter(std::uint32_t frame, clap_id id, double value)
    {
        clap_event_param_value_t event{};
        event.header = {sizeof(event), frame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
        event.param_id = id;
        event.note_id = -1;
        event.port_index = -1;
        event.channel = -1;
        event.key = -1;
        event.value = value;
        Add(event);
    }
    void Clear() { FEvents.clear(); }

    const clap_input_events_t List{this, &Size, &Get};

private:
    static std::uint32_t Size(const clap_input_events_t* list)
    {
        return static_cast<std::uint32_t>(static_cast<TClapEventList*>(list->ctx)->FEvents.size());
    }
    static const clap_event_header_t* Get(const clap_input_events_t* list, std::uint32_t index)
    {
        auto& events = static_cast<TClapEventList*>(list->ctx)->FEvents;
        return index < events.size()
                   ? reinterpret_cast<const clap_event_header_t*>(events[index].data())
                   : nullptr;
    }

    std::vector<std::vector<std::uint8_t>> FEvents;
};

/// What the plug-in sent: MIDI, parameter values and gestures, each with its block frame.
struct TClapOutput
{
    std::uint16_t Type;
    std::uint32_t Frame;
    std::uint8_t Midi[3];
    clap_id Parameter;
    double Value;
};

class TClapHost
{
public:
    TClapHost()
    {
        const clap_plugin_entry_t* entry = ClapEntry();
        if (entry == nullptr)
            return;
        const auto* factory =
            static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
        if (factory == nullptr)
            return;
        Plugin = factory->create_plugin(factory, &FHost, "com.brindlex.tumblet");
        if (Plugin == nullptr || !Plugin->init(Plugin))
            return;
        Params = static_cast<const clap_plugin_params_t*>(
            Plugin->get_extension(Plugin, CLAP_EXT_PARAMS));
        State =
            static_cast<const clap_plugin_state_t*>(Plugin->get_extension(Plugin, CLAP_EXT_STATE));
        Gui = static_cast<const clap_plugin_gui_t*>(Plugin->get_extension(Plugin, CLAP_EXT_GUI));
        Timers = static_cast<const clap_plugin_timer_support_t*>(
            Plugin->get_extension(Plugin, CLAP_EXT_TIMER_SUPPORT));
        Active = Plugin->activate(Plugin, kClapSampleRate, 1, kClapMaxBlock);
        FOutput.reserve(1 << 18);
    }
    ~TClapHost()
    {
        if (Plugin == nullptr)
            return;
        if (Active)
            Plugin->deactivate(Plugin);
        Plugin->destroy(Plugin);
    }
    TClapHost(const TClapHost&) = delete;
    TClapHost& operator=(const TClapHost&) = delete;

    bool Ready() const { return Plugin != nullptr && Active && Params != nullptr; }

    /// One block: the transport (when given) as the process call's own, then In's events.
    void Process(std::uint32_t frames, const clap_event_transport_t* transport)
    {
        clap_process_t process{};
        process.steady_time = FProcessed;
        process.frames_count = frames;
        process.transport = transport;
        process.in_events = &In.List;
        process.out_events = &FOutList;
        FBlockStart = FProcessed;
        Plugin->process(Plugin, &process);
        FProcessed += frames;
        In.Clear();
    }

    /// Sends parameter changes from In (and collects what the plug-in queued) outside a block.
    void Flush()
    {
        FBlockStart = FProcessed;
        Params->flush(Plugin, &In.List, &FOutList);
        In.Clear();
    }

    /// The MIDI sent so far, at absolute frames.
    std::vector<TClapNote> Notes() const
    {
        std::vector<TClapNote> notes;
        for (const auto& [at, event] : FOutput)
            if (event.Type == CLAP_EVENT_MIDI)
                notes.emplace_back(at, event.Midi[0], event.Midi[1], event.Midi[2]);
        return notes;
    }
    /// Everything sent so far, with the absolute frame of each.
    const std::vector<std::pair<std::int64_t, TClapOutput>>& Output() const { return FOutput; }
    void ClearOutput() { FOutput.clear(); }

    std::string ValueText(clap_id id, double value) const
    {
        char text[CLAP_NAME_SIZE] = {};
        return Params->value_to_text(Plugin, id, value, text, sizeof(text)) ? text : "<refused>";
    }

    const clap_plugin_t* Plugin = nullptr;
    const clap_plugin_params_t* Params = nullptr;
    const clap_plugin_state_t* State = nullptr;
    const clap_plugin_gui_t* Gui = nullptr;
    const clap_plugin_timer_support_t* Timers = nullptr;
    bool Active = false;
    TClapEventList In;

    // What the plug-in asked of the host.
    int FlushRequests = 0;
    std::vector<std::pair<clap_id, std::uint32_t>> TimersRegistered; ///< id, period
    std::vector<std::pair<std::uint32_t, std::uint32_t>> ResizeRequests;
    std::vector<std::pair<int, std::uint32_t>> DescriptorsWatched; ///< descriptor, flags
    /// The most events the plug-in may push per block; more are refused as a full queue would.
    std::size_t OutputCapacity = 1 << 16;

private:
    static TClapHost& Of(const clap_host_t* host)
    {
        return *static_cast<TClapHost*>(host->host_data);
    }

    static const void* Extension(const clap_host_t*, const char* id)
    {
        static const clap_host_params_t params = {
            [](const clap_host_t*, clap_param_rescan_flags) {},
            [](const clap_host_t*, clap_id, clap_param_clear_flags) {},
            [](const clap_host_t* host) { ++Of(host).FlushRequests; }};
        static const clap_host_timer_support_t timers = {
            [](const clap_host_t* host, std::uint32_t period, clap_id* id)
            {
                auto& registered = Of(host).TimersRegistered;
                *id = static_cast<clap_id>(100 + registered.size());
                registered.emplace_back(*id, period);
                return true;
            },
            [](const clap_host_t* host, clap_id id)
            {
                auto& registered = Of(host).TimersRegistered;
                std::erase_if(registered, [id](const auto& timer) { return timer.first == id; });
                return true;
            }};
        static const clap_host_gui_t gui = {
            [](const clap_host_t*) {},
            [](const clap_host_t* host, std::uint32_t width, std::uint32_t height)
            {
                Of(host).ResizeRequests.emplace_back(width, height);
                return true;
            },
            [](const clap_host_t*) { return true; }, [](const clap_host_t*) { return true; },
            [](const clap_host_t*, bool) {}};
        static const TClapHostPosixFdSupport descriptors = {
            [](const clap_host_t* host, int fd, std::uint32_t flags)
            {
                Of(host).DescriptorsWatched.emplace_back(fd, flags);
                return true;
            },
            [](const clap_host_t*, int, std::uint32_t) { return true; },
            [](const clap_host_t* host, int fd)
            {
                std::erase_if(Of(host).DescriptorsWatched,
                              [fd](const auto& watched) { return watched.first == fd; });
                return true;
            }};
        if (std::strcmp(id, kClapExtPosixFdSupport) == 0)
            return &descriptors;
        if (std::strcmp(id, CLAP_EXT_PARAMS) == 0)
            return &params;
        if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0)
            return &timers;
        if (std::strcmp(id, CLAP_EXT_GUI) == 0)
            return &gui;
        return nullptr;
    }

    static bool TryPush(const clap_output_events_t* list, const clap_event_header_t* header)
    {
        TClapHost& host = *static_cast<TClapHost*>(list->ctx);
        if (host.FOutput.size() >= host.OutputCapacity)
            return false;
        TClapOutput out{header->type, header->time, {0, 0, 0}, 0, 0.0};
        if (header->type == CLAP_EVENT_MIDI)
            std::memcpy(out.Midi, reinterpret_cast<const clap_event_midi_t*>(header)->data, 3);
        else if (header->type == CLAP_EVENT_PARAM_VALUE)
        {
            const auto* value = reinterpret_cast<const clap_event_param_value_t*>(header);
            out.Parameter = value->param_id;
            out.Value = value->value;
        }
        else if (header->type == CLAP_EVENT_PARAM_GESTURE_BEGIN ||
                 header->type == CLAP_EVENT_PARAM_GESTURE_END)
            out.Parameter = reinterpret_cast<const clap_event_param_gesture_t*>(header)->param_id;
        host.FOutput.emplace_back(host.FBlockStart + header->time, out);
        return true;
    }

    clap_host_t FHost{CLAP_VERSION_INIT,
                      this,
                      "Tumblet tests",
                      "Tumblet",
                      "",
                      "1.0",
                      &Extension,
                      [](const clap_host_t*) {},
                      [](const clap_host_t*) {},
                      [](const clap_host_t*) {}};
    const clap_output_events_t FOutList{this, &TryPush};
    std::vector<std::pair<std::int64_t, TClapOutput>> FOutput;
    std::int64_t FProcessed = 0;
    std::int64_t FBlockStart = 0;
};

/// Byte streams for the state extension that move at most Step bytes per call, as some hosts'
/// streams do.
struct TClapStreams
{
    std::vector<std::uint8_t> Bytes;
    std::size_t ReadAt = 0;
    std::size_t Step = 7;

    const clap_ostream_t Out{this, [](const clap_ostream_t* s, const void* data, std::uint64_t size)
                             {
                                 auto& self = *static_cast<TClapStreams*>(s->ctx);
                                 const std::size_t n = std::min<std::size_t>(size, self.Step);
                                 const auto* bytes = static_cast<const std::uint8_t*>(data);
                                 self.Bytes.insert(self.Bytes.end(), bytes, bytes + n);
                                 return static_cast<std::int64_t>(n);
                             }};
    const clap_istream_t In{
        this, [](const clap_istream_t* s, void* data, std::uint64_t size)
        {
            auto& self = *static_cast<TClapStreams*>(s->ctx);
            const std::size_t n = std::min<std::size_t>(
                {static_cast<std::size_t>(size), self.Step, self.Bytes.size() - self.ReadAt});
            if (n > 0)
                std::memcpy(data, self.Bytes.data() + self.ReadAt, n);
            self.ReadAt += n;
            return static_cast<std::int64_t>(n);
        }};
};

} // namespace tumblet::test
