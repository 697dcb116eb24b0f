#include "MidiFile.h"

#include "NoteTable.h"
#include "RenderError.h"

#include <smf.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

namespace tumblet
{

namespace
{

constexpr int kMetaPrefix = 0xFF;
constexpr int kMetaTrackName = 0x03;
constexpr int kMetaTempo = 0x51;
constexpr int kMetaTimeSignature = 0x58;
constexpr double kMicrosecondsPerMinute = 60000000.0;
constexpr int kClocksPerClick = 24; // MIDI clocks per metronome click
constexpr int kThirtySecondsPerQuarter = 8;
constexpr std::uint8_t kKindMask = 0xF0;

struct TSmfDeleter
{
    void operator()(smf_t* smf) const { smf_delete(smf); }
};
using TSmfHandle = std::unique_ptr<smf_t, TSmfDeleter>;

// libsmf reports through glib's log; we keep the last message for our own error text.
std::string GLastLibraryMessage;

void CaptureLog(const gchar*, GLogLevelFlags, const gchar* message, gpointer)
{
    GLastLibraryMessage = message != nullptr ? message : "";
}

class TLogCapture
{
public:
    TLogCapture() : FPrevious(g_log_set_default_handler(&CaptureLog, nullptr))
    {
        GLastLibraryMessage.clear();
    }
    ~TLogCapture() { g_log_set_default_handler(FPrevious, nullptr); }

private:
    GLogFunc FPrevious;
};

bool IsChannelMessage(const smf_event_t* event)
{
    return event->midi_buffer_length >= 2 && event->midi_buffer[0] >= 0x80 &&
           event->midi_buffer[0] < 0xF0;
}

void ReadMeta(const smf_event_t* event, TMidiFileContents& contents)
{
    const unsigned char* data = event->midi_buffer;
    if (event->midi_buffer_length >= 6 && data[1] == kMetaTempo && !contents.Tempo)
    {
        const int microseconds = (data[3] << 16) | (data[4] << 8) | data[5];
        if (microseconds > 0)
            contents.Tempo = kMicrosecondsPerMinute / microseconds;
    }
    else if (event->midi_buffer_length >= 5 && data[1] == kMetaTimeSignature && !contents.Numerator)
    {
        contents.Numerator = data[3];
        contents.Denominator = 1 << data[4];
    }
}

smf_event_t* MetaEvent(std::vector<unsigned char> bytes)
{
    return smf_event_new_from_pointer(bytes.data(), static_cast<int>(bytes.size()));
}

void AddEvent(smf_track_t* track, smf_event_t* event, std::int64_t ticks)
{
    if (event == nullptr)
        ThrowRuntime("libsmf could not create a MIDI event");
    smf_track_add_event_pulses(track, event, static_cast<int>(ticks));
}

smf_track_t* AddConductorTrack(smf_t* smf, const TTimeGrid& grid, const std::string& trackName)
{
    smf_track_t* track = smf_track_new();
    smf_add_track(smf, track);
    const auto microseconds = static_cast<int>(std::lround(kMicrosecondsPerMinute / grid.Tempo));
    AddEvent(track,
             MetaEvent({kMetaPrefix, kMetaTempo, 3, static_cast<unsigned char>(microseconds >> 16),
                        static_cast<unsigned char>(microseconds >> 8),
                        static_cast<unsigned char>(microseconds)}),
             0);
    const auto log2Denominator =
        static_cast<unsigned char>(std::lround(std::log2(grid.Denominator)));
    AddEvent(
        track,
        MetaEvent({kMetaPrefix, kMetaTimeSignature, 4, static_cast<unsigned char>(grid.Numerator),
                   log2Denominator, kClocksPerClick, kThirtySecondsPerQuarter}),
        0);
    std::vector<unsigned char> name = {kMetaPrefix, kMetaTrackName,
                                       static_cast<unsigned char>(trackName.size())};
    name.insert(name.end(), trackName.begin(), trackName.end());
    AddEvent(track, MetaEvent(name), 0);
    return track;
}

int ThirdByte(const std::uint8_t* data)
{
    const std::uint8_t kind = data[0] & kKindMask;
    // Program change and channel pressure carry one data byte.
    return kind == 0xC0 || kind == 0xD0 ? -1 : data[2];
}

struct TFileEvent
{
    std::int64_t Ticks = 0;
    int Priority = 0; ///< at equal ticks: note-offs first, then the rest, then zero-length offs
    std::uint8_t Data[3] = {};
};

// Events in the order they must stand in the file; a pitch struck again on the tick where it
// ends needs its note-off first.
std::vector<TFileEvent> OrderedEvents(const TNoteTable& table)
{
    std::vector<TFileEvent> events;
    for (const auto& note : table.Notes())
    {
        const auto on = static_cast<std::uint8_t>(0x90 | note.Channel);
        const auto pitch = static_cast<std::uint8_t>(note.Pitch);
        const std::int64_t start = table.SampleToTicks(note.StartSample);
        const std::int64_t end = table.SampleToTicks(note.EndSample);
        events.push_back({start, 1, {on, pitch, static_cast<std::uint8_t>(note.Velocity)}});
        events.push_back(
            {end, end == start ? 2 : 0, {static_cast<std::uint8_t>(on - 0x10), pitch, 0}});
    }
    for (const auto& event : table.OtherEvents())
        events.push_back(
            {table.SampleToTicks(event.Sample), 1, {event.Data[0], event.Data[1], event.Data[2]}});
    std::stable_sort(events.begin(), events.end(),
                     [](const TFileEvent& a, const TFileEvent& b)
                     { return a.Ticks != b.Ticks ? a.Ticks < b.Ticks : a.Priority < b.Priority; });
    return events;
}

} // namespace

TMidiFileContents TMidiFile::Read(const std::string& path)
{
    if (!std::filesystem::is_regular_file(path))
        ThrowRuntime("cannot read the MIDI file " + path + ": no such file");
    TLogCapture capture;
    TSmfHandle smf(smf_load(path.c_str()));
    if (!smf)
        ThrowRuntime(path + " is not a Standard MIDI File" +
                     (GLastLibraryMessage.empty() ? "" : " (" + GLastLibraryMessage + ")"));
    if (smf->ppqn <= 0)
        ThrowRuntime(path +
                     " counts time in SMPTE frames; only files timed in beats are supported");
    TMidiFileContents contents;
    contents.Tracks = smf->number_of_tracks;
    smf_rewind(smf.get());
    while (smf_event_t* event = smf_get_next_event(smf.get()))
    {
        const double beat = static_cast<double>(event->time_pulses) / smf->ppqn;
        contents.LengthBeats = std::max(contents.LengthBeats, beat);
        if (smf_event_is_metadata(event))
            ReadMeta(event, contents);
        else if (IsChannelMessage(event))
        {
            TTimedMessage message;
            message.Beat = beat;
            for (int b = 0; b < 3 && b < event->midi_buffer_length; ++b)
                message.Data[b] = event->midi_buffer[b];
            contents.Messages.push_back(message);
        }
    }
    return contents;
}

void TMidiFile::Write(const std::string& path, const TNoteTable& table, const TTimeGrid& grid,
                      std::int64_t totalSamples, const std::string& trackName)
{
    TLogCapture capture;
    TSmfHandle smf(smf_new());
    if (!smf || smf_set_ppqn(smf.get(), kTicksPerBeat) != 0)
        ThrowRuntime("libsmf could not start a MIDI file");
    smf_track_t* conductor = AddConductorTrack(smf.get(), grid, trackName);
    smf_track_t* notes = smf_track_new();
    smf_add_track(smf.get(), notes);
    for (const auto& event : OrderedEvents(table))
        AddEvent(notes,
                 smf_event_new_from_bytes(event.Data[0], event.Data[1], ThirdByte(event.Data)),
                 event.Ticks);
    const auto endTicks = static_cast<int>(table.SampleToTicks(totalSamples));
    if (smf_track_add_eot_pulses(conductor, endTicks) != 0 ||
        smf_track_add_eot_pulses(notes, endTicks) != 0 || smf_save(smf.get(), path.c_str()) != 0)
        ThrowRuntime("cannot write the MIDI file " + path +
                     (GLastLibraryMessage.empty() ? "" : " (" + GLastLibraryMessage + ")"));
}

} // namespace tumblet
