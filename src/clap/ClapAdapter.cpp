#include "clap/ClapAdapter.h"

#include "clap/ClapPosixFdSupport.h"
#include "entry/ProductFactory.h"
#include "vst2/VSTEditorForm.h"

#include <clap/ext/params.h>
#include <clap/ext/timer-support.h>
#include <clap/fixedpoint.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace tumblet
{

namespace
{

/// How often the editor reads its input and repaints, through the host's timer. Milliseconds.
constexpr std::uint32_t kEditorIdlePeriod = 30;
constexpr double kSecondsPerMinute = 60.0;
constexpr double kQuarterNote = 4.0;
/// Long enough for any parameter text the module makes.
constexpr std::size_t kTextCapacity = 256;
constexpr std::size_t kStreamStep = 4096;

/// The adapter whose process call runs on this thread, if any.
thread_local const TClapAdapter* tProcessing = nullptr;

double Beats(clap_beattime time)
{
    return static_cast<double>(time) / static_cast<double>(CLAP_BEATTIME_FACTOR);
}

double Seconds(clap_sectime time)
{
    return static_cast<double>(time) / static_cast<double>(CLAP_SECTIME_FACTOR);
}

void CopyText(char* target, std::size_t capacity, const char* text)
{
    if (target == nullptr || capacity == 0)
        return;
    std::strncpy(target, text != nullptr ? text : "", capacity - 1);
    target[capacity - 1] = '\0';
}

} // namespace

TClapAdapter::TClapAdapter(const clap_host_t* host)
    : FHost(host), FDescription(SharedProductDescription()),
      FInGesture(FDescription.Parameters.size())
{
    // Room for a state load's reports and a few gestures before the list grows.
    FPending.reserve(4 * FDescription.Parameters.size());
    if (FHost == nullptr)
        throw std::runtime_error("no host");
}

TClapAdapter::~TClapAdapter()
{
    GuiDestroy();
}

void TClapAdapter::Init()
{
    FDriver = std::make_unique<TEffectDriver>(
        &CreateProductEffect, FSampleRate, FMaxFrames,
        [this](std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt)
        { return HostCall(opcode, index, value, ptr, opt); });
    FDriver->OnSpan = [this](std::uint32_t start, std::uint32_t length)
    { FillTimeInfo(start - std::min(start, FTransportFrame), length); };
    FDriver->OnMidiOut = [this](const std::uint8_t* bytes, std::uint32_t size, std::uint32_t frame)
    {
        if (FOut == nullptr)
            return;
        clap_event_midi_t event{};
        event.header = {sizeof(event), frame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
        event.port_index = 0;
        std::memcpy(event.data, bytes, std::min<std::uint32_t>(size, 3));
        FOut->try_push(FOut, &event.header);
    };
}

TEffectDriver& TClapAdapter::Driver() const
{
    if (!FDriver)
        throw std::logic_error("the plug-in was not initialised");
    return *FDriver;
}

bool TClapAdapter::Activate(double sampleRate, std::uint32_t maxFrames)
{
    FSampleRate = std::isfinite(sampleRate) && sampleRate > 0 ? sampleRate : 44100.0;
    FMaxFrames = maxFrames;
    Driver().Configure(FSampleRate, maxFrames);
    Driver().Dispatch(effMainsChanged, 0, 1);
    FWasPlaying = false;
    return true;
}

void TClapAdapter::Deactivate()
{
    Driver().Dispatch(effMainsChanged, 0, 0);
}

// ---- Host time -------------------------------------------------------------------------------

void TClapAdapter::ReadTransport(const clap_event_transport_t& transport) noexcept
{
    TPosition& p = FPosition;
    p.Known = true;
    p.Playing = (transport.flags & CLAP_TRANSPORT_IS_PLAYING) != 0;
    if ((transport.flags & CLAP_TRANSPORT_HAS_TEMPO) != 0 && std::isfinite(transport.tempo) &&
        transport.tempo > 0)
        p.Tempo = transport.tempo;
    if ((transport.flags & CLAP_TRANSPORT_HAS_BEATS_TIMELINE) != 0)
    {
        p.Quarters = Beats(transport.song_pos_beats);
        p.BarStart = Beats(transport.bar_start);
        p.LoopStart = Beats(transport.loop_start_beats);
        p.LoopEnd = Beats(transport.loop_end_beats);
    }
    p.Looping = (transport.flags & CLAP_TRANSPORT_IS_LOOP_ACTIVE) != 0 && p.LoopEnd > p.LoopStart;
    p.SecondsKnown = (transport.flags & CLAP_TRANSPORT_HAS_SECONDS_TIMELINE) != 0;
    p.Seconds = p.SecondsKnown ? Seconds(transport.song_pos_seconds) : 0.0;
    if ((transport.flags & CLAP_TRANSPORT_HAS_TIME_SIGNATURE) != 0 && transport.tsig_num > 0 &&
        transport.tsig_denom > 0)
    {
        p.Numerator = transport.tsig_num;
        p.Denominator = transport.tsig_denom;
    }
}

void TClapAdapter::FillTimeInfo(std::uint32_t framesSinceTransport, std::uint32_t length) noexcept
{
    const TPosition& p = FPosition;
    VstTimeInfo& t = FDriver->TimeInfo();
    t = VstTimeInfo{};
    t.sampleRate = FSampleRate;
    t.tempo = p.Tempo;
    t.timeSigNumerator = p.Numerator;
    t.timeSigDenominator = p.Denominator;
    const bool playing = p.Known && p.Playing;
    const double elapsed = playing ? framesSinceTransport : 0.0;
    double quarters = p.Quarters + elapsed * p.Tempo / kSecondsPerMinute / FSampleRate;
    t.samplePos = p.SecondsKnown ? p.Seconds * FSampleRate + elapsed
                                 : quarters * kSecondsPerMinute / p.Tempo * FSampleRate;
    // Steps stay on the sample grid however the host rounds its song position: a fresh reading
    // is checked against the lock, spans after it take the lock's own position.
    if (playing)
    {
        const double reported =
            framesSinceTransport == 0 || !FLocked ? quarters : FPhaseLock.PpqAt(t.samplePos);
        quarters = FPhaseLock.Lock({t.samplePos, reported, p.Tempo, FSampleRate}, length);
        FLocked = true;
    }
    else
    {
        FPhaseLock.Reset();
        FLocked = false;
    }
    // A bar line crossed since the transport was read moves the bar start with it.
    const double barLength = p.Numerator * kQuarterNote / p.Denominator;
    double barStart = p.BarStart;
    if (barLength > 0 && quarters >= barStart + barLength)
        barStart += std::floor((quarters - barStart) / barLength) * barLength;
    t.ppqPos = quarters;
    t.barStartPos = barStart;
    t.flags = kVstTempoValid | kVstTimeSigValid;
    if (p.Known)
        t.flags |= kVstPpqPosValid | kVstBarsValid;
    if (p.Looping)
    {
        t.cycleStartPos = p.LoopStart;
        t.cycleEndPos = p.LoopEnd;
        t.flags |= kVstCyclePosValid | kVstTransportCycleActive;
    }
    if (playing)
        t.flags |= kVstTransportPlaying;
    if (playing != FWasPlaying)
        t.flags |= kVstTransportChanged;
    FWasPlaying = playing;
}

// ---- Processing ------------------------------------------------------------------------------

bool TClapAdapter::TakeInputEvent(const clap_event_header_t& header)
{
    if (header.space_id != CLAP_CORE_EVENT_SPACE_ID)
        return false;
    AEffect* effect = FDriver->Effect();
    switch (header.type)
    {
    case CLAP_EVENT_PARAM_VALUE:
    {
        const auto& event = reinterpret_cast<const clap_event_param_value_t&>(header);
        if (event.param_id < FDescription.Parameters.size() && std::isfinite(event.value))
            effect->setParameter(effect, static_cast<std::int32_t>(event.param_id),
                                 FDescription.Parameters[event.param_id].Normalised(
                                     static_cast<float>(event.value)));
        return true;
    }
    case CLAP_EVENT_TRANSPORT:
        ReadTransport(reinterpret_cast<const clap_event_transport_t&>(header));
        return true;
    default:
        return false;
    }
}

clap_process_status TClapAdapter::Process(const clap_process_t& process) noexcept
{
    if (!FDriver)
        return CLAP_PROCESS_ERROR;
    TEffectDriver& driver = *FDriver;
    const std::uint32_t frames = process.frames_count;
    FOut = process.out_events;
    tProcessing = this;
    driver.BeginBlock(frames);
    if (FOut != nullptr)
        SendPending(*FOut);
    FPosition.Known = false;
    if (process.transport != nullptr)
        ReadTransport(*process.transport);
    FTransportFrame = 0;

    std::uint32_t spanStart = 0;
    const clap_input_events_t* in = process.in_events;
    const std::uint32_t count = in != nullptr ? in->size(in) : 0;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        const clap_event_header_t* header = in->get(in, i);
        if (header == nullptr || header->space_id != CLAP_CORE_EVENT_SPACE_ID)
            continue;
        const std::uint32_t frame =
            std::clamp<std::uint32_t>(header->time, spanStart, frames > 0 ? frames - 1 : 0);
        if (header->type == CLAP_EVENT_PARAM_VALUE || header->type == CLAP_EVENT_TRANSPORT)
        {
            // A new value or position applies from its frame on: play up to it first.
            if (frame > spanStart)
                driver.Run(spanStart, frame - spanStart);
            spanStart = frame;
            if (header->type == CLAP_EVENT_TRANSPORT)
                FTransportFrame = frame;
            TakeInputEvent(*header);
        }
        else if (header->type == CLAP_EVENT_MIDI)
        {
            const auto& midi = reinterpret_cast<const clap_event_midi_t&>(*header);
            driver.QueueMidi(midi.data, 3, frame);
        }
        else if (header->type == CLAP_EVENT_NOTE_ON || header->type == CLAP_EVENT_NOTE_OFF)
        {
            // Hosts that speak notes rather than MIDI to a MIDI port still reach the module.
            const auto& note = reinterpret_cast<const clap_event_note_t&>(*header);
            if (note.key < 0 || note.key > 127 || note.channel < 0 || note.channel > 15)
                continue;
            const bool on = header->type == CLAP_EVENT_NOTE_ON;
            const auto velocity = static_cast<std::uint8_t>(
                std::clamp(std::lround(note.velocity * 127.0), on ? 1L : 0L, 127L));
            const std::uint8_t bytes[3] = {
                static_cast<std::uint8_t>((on ? 0x90 : 0x80) | note.channel),
                static_cast<std::uint8_t>(note.key), velocity};
            driver.QueueMidi(bytes, 3, frame);
        }
    }
    if (frames > spanStart)
        driver.Run(spanStart, frames - spanStart);
    tProcessing = nullptr;
    FOut = nullptr;
    return CLAP_PROCESS_CONTINUE;
}

// ---- Parameters ------------------------------------------------------------------------------

std::uint32_t TClapAdapter::ParameterCount() const noexcept
{
    return static_cast<std::uint32_t>(FDescription.Parameters.size());
}

bool TClapAdapter::ParameterInfo(std::uint32_t index, clap_param_info_t& info) const
{
    if (index >= FDescription.Parameters.size())
        return false;
    const TProductParameter& p = FDescription.Parameters[index];
    info = clap_param_info_t{};
    info.id = index;
    // Every parameter takes whole numbers; lists and switches are also choices by name.
    info.flags = CLAP_PARAM_IS_AUTOMATABLE | CLAP_PARAM_IS_STEPPED;
    if (p.Kind != TProductParameterKind::Integer)
        info.flags |= kClapParamIsEnum;
    info.cookie = nullptr;
    CopyText(info.name, sizeof(info.name), p.Name.c_str());
    CopyText(info.module, sizeof(info.module), "");
    info.min_value = p.Min;
    info.max_value = p.Max;
    info.default_value = p.Default;
    return true;
}

bool TClapAdapter::ParameterValue(clap_id id, double& value) const
{
    if (id >= FDescription.Parameters.size())
        return false;
    AEffect* effect = Driver().Effect();
    value = FDescription.Parameters[id].Real(
        effect->getParameter(effect, static_cast<std::int32_t>(id)));
    return true;
}

TEffectDriver& TClapAdapter::Formatter()
{
    if (!FFormatter)
        FFormatter =
            std::make_unique<TEffectDriver>(&CreateProductEffect, FSampleRate, FMaxFrames, nullptr);
    // Some texts depend on other parameters (a rate's name on the note type), so the formatter
    // first takes every value the playing instance has.
    AEffect* from = Driver().Effect();
    AEffect* to = FFormatter->Effect();
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(ParameterCount()); ++i)
        to->setParameter(to, i, from->getParameter(from, i));
    return *FFormatter;
}

bool TClapAdapter::ValueToText(clap_id id, double value, char* text, std::uint32_t capacity)
{
    if (id >= FDescription.Parameters.size() || text == nullptr || capacity == 0 ||
        !std::isfinite(value))
        return false;
    std::lock_guard<std::mutex> lock(FFormatLock);
    TEffectDriver& formatter = Formatter();
    AEffect* effect = formatter.Effect();
    const auto index = static_cast<std::int32_t>(id);
    effect->setParameter(effect, index,
                         FDescription.Parameters[id].Normalised(static_cast<float>(value)));
    char display[kTextCapacity] = {};
    formatter.Dispatch(effGetParamDisplay, index, 0, display);
    display[kTextCapacity - 1] = '\0';
    CopyText(text, capacity, display);
    return true;
}

bool TClapAdapter::TextToValue(clap_id id, const char* text, double& value)
{
    if (id >= FDescription.Parameters.size() || text == nullptr)
        return false;
    std::lock_guard<std::mutex> lock(FFormatLock);
    TEffectDriver& formatter = Formatter();
    AEffect* effect = formatter.Effect();
    const auto index = static_cast<std::int32_t>(id);
    std::string copy = text;
    if (formatter.Dispatch(effString2Parameter, index, 0, copy.data()) == 0)
        return false;
    value = FDescription.Parameters[id].Real(effect->getParameter(effect, index));
    return true;
}

void TClapAdapter::Flush(const clap_input_events_t* in, const clap_output_events_t* out) noexcept
{
    if (!FDriver)
        return;
    const std::uint32_t count = in != nullptr ? in->size(in) : 0;
    for (std::uint32_t i = 0; i < count; ++i)
        if (const clap_event_header_t* header = in->get(in, i);
            header != nullptr && header->type == CLAP_EVENT_PARAM_VALUE)
            TakeInputEvent(*header);
    if (out != nullptr)
        SendPending(*out);
}

void TClapAdapter::PushParameterEvent(const clap_output_events_t& out, const TPendingEvent& event,
                                      std::uint32_t frame) noexcept
{
    if (event.Type == CLAP_EVENT_PARAM_VALUE)
    {
        clap_event_param_value_t value{};
        value.header = {sizeof(value), frame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
        value.param_id = event.Parameter;
        value.cookie = nullptr;
        value.note_id = -1;
        value.port_index = -1;
        value.channel = -1;
        value.key = -1;
        value.value = event.Value;
        out.try_push(&out, &value.header);
        return;
    }
    clap_event_param_gesture_t gesture{};
    gesture.header = {sizeof(gesture), frame, CLAP_CORE_EVENT_SPACE_ID, event.Type, 0};
    gesture.param_id = event.Parameter;
    out.try_push(&out, &gesture.header);
}

void TClapAdapter::SendPending(const clap_output_events_t& out) noexcept
{
    std::unique_lock<std::mutex> lock(FPendingLock, std::try_to_lock);
    if (!lock.owns_lock())
        return; // the editor is adding one and asks for a flush next
    for (const TPendingEvent& event : FPending)
        PushParameterEvent(out, event, 0);
    FPending.clear();
}

void TClapAdapter::QueueParameterEvent(std::uint16_t type, clap_id parameter, double value)
{
    const TPendingEvent event{type, parameter, value};
    // A mapped controller changes a parameter inside the block: it goes out with the block.
    if (tProcessing == this && FOut != nullptr)
    {
        const std::uint32_t frame = FDriver->LastOutFrame();
        const bool own = type == CLAP_EVENT_PARAM_VALUE &&
                         !FInGesture[parameter].load(std::memory_order_relaxed);
        if (own)
            PushParameterEvent(*FOut, {CLAP_EVENT_PARAM_GESTURE_BEGIN, parameter, 0.0}, frame);
        PushParameterEvent(*FOut, event, frame);
        if (own)
            PushParameterEvent(*FOut, {CLAP_EVENT_PARAM_GESTURE_END, parameter, 0.0}, frame);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(FPendingLock);
        FPending.push_back(event);
    }
    if (const auto* params = static_cast<const clap_host_params_t*>(HostExtension(CLAP_EXT_PARAMS));
        params != nullptr && params->request_flush != nullptr)
        params->request_flush(FHost);
}

// ---- The module's host -----------------------------------------------------------------------

const void* TClapAdapter::HostExtension(const char* id) const
{
    return FHost->get_extension != nullptr ? FHost->get_extension(FHost, id) : nullptr;
}

std::intptr_t TClapAdapter::HostCall(std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                     void* ptr, float opt)
{
    const bool known =
        index >= 0 && static_cast<std::size_t>(index) < FDescription.Parameters.size();
    switch (opcode)
    {
    case audioMasterAutomate:
        if (known)
            QueueParameterEvent(CLAP_EVENT_PARAM_VALUE, static_cast<clap_id>(index),
                                FDescription.Parameters[index].Real(opt));
        return 1;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        if (known)
            FInGesture[index].store(opcode == audioMasterBeginEdit, std::memory_order_relaxed);
        if (known)
            QueueParameterEvent(opcode == audioMasterBeginEdit ? CLAP_EVENT_PARAM_GESTURE_BEGIN
                                                               : CLAP_EVENT_PARAM_GESTURE_END,
                                static_cast<clap_id>(index), 0.0);
        return 1;
    case audioMasterGetProductString:
        CopyText(static_cast<char*>(ptr), kVstMaxProductStrLen,
                 FHost->name != nullptr ? FHost->name : "CLAP host");
        return ptr != nullptr;
    case audioMasterGetVendorString:
        CopyText(static_cast<char*>(ptr), kVstMaxVendorStrLen,
                 FHost->vendor != nullptr ? FHost->vendor : "CLAP");
        return ptr != nullptr;
    case audioMasterSizeWindow:
    {
        const auto* gui = static_cast<const clap_host_gui_t*>(HostExtension(CLAP_EXT_GUI));
        if (gui == nullptr || gui->request_resize == nullptr || index <= 0 || value <= 0)
            return 0;
        return gui->request_resize(FHost, static_cast<std::uint32_t>(index),
                                   static_cast<std::uint32_t>(value))
                   ? 1
                   : 0;
    }
    default:
        return 0;
    }
}

// ---- State -----------------------------------------------------------------------------------

bool TClapAdapter::Save(const clap_ostream_t& stream)
{
    const std::vector<std::uint8_t> bytes = Driver().Chunk();
    if (bytes.empty())
        return false;
    // Streams may take less than offered; the rest goes in further writes.
    std::size_t written = 0;
    while (written < bytes.size())
    {
        const std::int64_t n =
            stream.write(&stream, bytes.data() + written, bytes.size() - written);
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

bool TClapAdapter::Load(const clap_istream_t& stream)
{
    std::vector<std::uint8_t> bytes;
    for (;;)
    {
        const std::size_t had = bytes.size();
        bytes.resize(had + kStreamStep);
        const std::int64_t n = stream.read(&stream, bytes.data() + had, kStreamStep);
        if (n < 0)
            return false;
        bytes.resize(had + static_cast<std::size_t>(std::min<std::int64_t>(n, kStreamStep)));
        if (n == 0)
            break;
    }
    return Driver().SetChunk(bytes.data(), bytes.size());
}

// ---- Editor ----------------------------------------------------------------------------------

bool TClapAdapter::GuiCreate()
{
    if ((Driver().Effect()->flags & effFlagsHasEditor) == 0)
        return false;
    if (FGuiCreated)
        return true;
    // The editor reads its input and repaints only in the idle calls this timer brings.
    const auto* timers =
        static_cast<const clap_host_timer_support_t*>(HostExtension(CLAP_EXT_TIMER_SUPPORT));
    if (timers == nullptr || timers->register_timer == nullptr ||
        !timers->register_timer(FHost, kEditorIdlePeriod, &FTimer))
        FTimer = CLAP_INVALID_ID;
    FGuiCreated = true;
    return true;
}

void TClapAdapter::GuiDestroy()
{
    if (!FGuiCreated)
        return;
    StopWatchingEditorInput();
    if (FGuiOpen)
        Driver().Dispatch(effEditClose);
    FGuiOpen = false;
    if (FTimer != CLAP_INVALID_ID)
    {
        const auto* timers =
            static_cast<const clap_host_timer_support_t*>(HostExtension(CLAP_EXT_TIMER_SUPPORT));
        if (timers != nullptr && timers->unregister_timer != nullptr)
            timers->unregister_timer(FHost, FTimer);
        FTimer = CLAP_INVALID_ID;
    }
    FGuiCreated = false;
}

bool TClapAdapter::GuiSize(std::uint32_t& width, std::uint32_t& height)
{
    // The open editor's own rectangle; before it opens, the size it will have.
    ERect* rect = nullptr;
    if (Driver().Dispatch(effEditGetRect, 0, 0, &rect) != 0 && rect != nullptr)
    {
        width = static_cast<std::uint32_t>(std::max(0, rect->right - rect->left));
        height = static_cast<std::uint32_t>(std::max(0, rect->bottom - rect->top));
    }
    else
    {
        const TEditorSize size = ProductEditorSize(Driver().Effect());
        width = size.Width;
        height = size.Height;
    }
    return width > 0 && height > 0;
}

bool TClapAdapter::GuiSetParent(const clap_window_t& window)
{
    if (!FGuiCreated || window.x11 == 0)
        return false;
    StopWatchingEditorInput();
    FGuiOpen = Driver().Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window.x11)) != 0;
    if (FGuiOpen)
        WatchEditorInput();
    return FGuiOpen;
}

void TClapAdapter::WatchEditorInput()
{
    // Where the host watches the display connection, input reaches the editor at once rather
    // than at the next timer call.
    const auto* descriptors =
        static_cast<const TClapHostPosixFdSupport*>(HostExtension(kClapExtPosixFdSupport));
    const int descriptor = EditorEventDescriptor();
    if (descriptors == nullptr || descriptors->register_fd == nullptr || descriptor < 0)
        return;
    if (descriptors->register_fd(FHost, descriptor, kClapPosixFdRead | kClapPosixFdError))
        FDescriptor = descriptor;
}

void TClapAdapter::StopWatchingEditorInput()
{
    if (FDescriptor < 0)
        return;
    const auto* descriptors =
        static_cast<const TClapHostPosixFdSupport*>(HostExtension(kClapExtPosixFdSupport));
    if (descriptors != nullptr && descriptors->unregister_fd != nullptr)
        descriptors->unregister_fd(FHost, FDescriptor);
    FDescriptor = -1;
}

void TClapAdapter::OnDescriptor(int descriptor)
{
    if (FGuiOpen && descriptor == FDescriptor)
        Driver().Dispatch(effEditIdle);
}

bool TClapAdapter::GuiSetScale(double scale)
{
    // The module takes the scale as VST 2.4 hosts hand it over; an open editor follows at its
    // next idle call and asks the host for its new size.
    return Driver().Dispatch(effVendorSpecific, kVendorSpecificPreSonus,
                             kVendorSpecificContentScale, nullptr, static_cast<float>(scale)) == 1;
}

void TClapAdapter::OnTimer(clap_id timer)
{
    if (FGuiOpen && timer == FTimer)
        Driver().Dispatch(effEditIdle);
}

} // namespace tumblet
