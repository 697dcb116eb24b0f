#include "MidiFile.h"

#include "NoteTable.h"
#include "OutputFiles.h"
#include "base/MidiStatus.h"

#include <algorithm>
#include <cmath>

namespace tumblet
{

namespace
{

constexpr std::uint8_t kMeta = 0xFF;
constexpr std::uint8_t kMetaTrackName = 0x03;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaTempo = 0x51;
constexpr std::uint8_t kMetaTimeSignature = 0x58;
constexpr double kMicrosecondsPerMinute = 60000000.0;
constexpr std::uint8_t kClocksPerClick = 24; // MIDI clocks per metronome click
constexpr std::uint8_t kThirtySecondsPerQuarter = 8;
constexpr std::size_t kMaxTrackNameBytes = 127; // one byte of length, no continuation

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
    events.reserve(table.Notes().size() * 2 + table.OtherEvents().size());
    for (const auto& note : table.Notes())
    {
        const auto on = MidiStatus(kMidiNoteOn, note.Channel);
        const auto pitch = static_cast<std::uint8_t>(note.Pitch & 0x7F);
        const std::int64_t start = table.SampleToTicks(note.StartSample);
        const std::int64_t end = table.SampleToTicks(note.EndSample);
        events.push_back({start, 1, {on, pitch, static_cast<std::uint8_t>(note.Velocity & 0x7F)}});
        events.push_back(
            {end, end == start ? 2 : 0, {static_cast<std::uint8_t>(on - 0x10), pitch, 0}});
    }
    // Only channel messages belong in a track; data bytes keep their seven bits so that a
    // plug-in's stray high bit cannot turn into a status byte in the file.
    for (const auto& event : table.OtherEvents())
        if (event.Data[0] >= kMidiNoteOff && event.Data[0] < kMidiSystem)
            events.push_back({table.SampleToTicks(event.Sample),
                              1,
                              {event.Data[0], static_cast<std::uint8_t>(event.Data[1] & 0x7F),
                               static_cast<std::uint8_t>(event.Data[2] & 0x7F)}});
    std::stable_sort(events.begin(), events.end(),
                     [](const TFileEvent& a, const TFileEvent& b)
                     { return a.Ticks != b.Ticks ? a.Ticks < b.Ticks : a.Priority < b.Priority; });
    return events;
}

void PutBig(std::vector<std::uint8_t>& out, std::uint32_t value, int count)
{
    for (int i = count - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutVarLength(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t groups[5];
    int count = 0;
    do
    {
        groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1)
        out.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
    out.push_back(groups[0]);
}

/// One track chunk, its events written with their deltas as they are added.
class TTrackWriter
{
public:
    void Add(std::int64_t ticks, std::initializer_list<std::uint8_t> bytes)
    {
        PutVarLength(FData, static_cast<std::uint32_t>(std::max<std::int64_t>(0, ticks - FTicks)));
        FTicks = std::max(FTicks, ticks);
        FData.insert(FData.end(), bytes);
    }
    void AddBytes(std::int64_t ticks, const std::vector<std::uint8_t>& bytes)
    {
        Add(ticks, {});
        FData.insert(FData.end(), bytes.begin(), bytes.end());
    }
    void Finish(std::int64_t ticks, std::vector<std::uint8_t>& file)
    {
        Add(ticks, {kMeta, kMetaEndOfTrack, 0});
        file.insert(file.end(), {'M', 'T', 'r', 'k'});
        PutBig(file, static_cast<std::uint32_t>(FData.size()), 4);
        file.insert(file.end(), FData.begin(), FData.end());
    }

private:
    std::vector<std::uint8_t> FData;
    std::int64_t FTicks = 0;
};

} // namespace

TMidiFileContents TMidiFile::Read(const std::string& path)
{
    return Parse(ReadWholeFile(path, "MIDI file", kMaxMidiFileBytes), path);
}

std::vector<std::uint8_t> TMidiFile::Write(const TNoteTable& table, const TTimeGrid& grid,
                                           std::int64_t totalSamples, const std::string& trackName)
{
    std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2};
    PutBig(file, static_cast<std::uint32_t>(kTicksPerBeat), 2);
    const std::int64_t endTicks = table.SampleToTicks(totalSamples);

    TTrackWriter conductor;
    const auto microseconds =
        static_cast<std::uint32_t>(std::lround(kMicrosecondsPerMinute / grid.Tempo));
    conductor.Add(0, {kMeta, kMetaTempo, 3, static_cast<std::uint8_t>(microseconds >> 16),
                      static_cast<std::uint8_t>(microseconds >> 8),
                      static_cast<std::uint8_t>(microseconds)});
    const auto log2Denominator =
        static_cast<std::uint8_t>(std::lround(std::log2(grid.Denominator)));
    conductor.Add(0, {kMeta, kMetaTimeSignature, 4, static_cast<std::uint8_t>(grid.Numerator),
                      log2Denominator, kClocksPerClick, kThirtySecondsPerQuarter});
    const std::string name = trackName.substr(0, kMaxTrackNameBytes);
    std::vector<std::uint8_t> nameEvent = {kMeta, kMetaTrackName,
                                           static_cast<std::uint8_t>(name.size())};
    nameEvent.insert(nameEvent.end(), name.begin(), name.end());
    conductor.AddBytes(0, nameEvent);
    conductor.Finish(endTicks, file);

    TTrackWriter notes;
    for (const auto& event : OrderedEvents(table))
    {
        if (MidiDataBytes(event.Data[0]) == 1)
            notes.Add(event.Ticks, {event.Data[0], event.Data[1]});
        else
            notes.Add(event.Ticks, {event.Data[0], event.Data[1], event.Data[2]});
    }
    notes.Finish(endTicks, file);
    return file;
}

} // namespace tumblet
