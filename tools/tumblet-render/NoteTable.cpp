#include "NoteTable.h"

#include "NoteNames.h"
#include "base/MidiStatus.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>

namespace tumblet
{

namespace
{

constexpr int kNoteCount = 128;
constexpr int kChannelCount = 16;

} // namespace

TNoteTable TNoteTable::FromEvents(const std::vector<TRecordedEvent>& events,
                                  std::int64_t totalSamples, const TTimeGrid& grid)
{
    TNoteTable table(grid);
    // Plug-ins need not send a block's events in time order; arrival order breaks ties, which
    // keeps a note-off before the note-on that retriggers the same pitch.
    std::vector<TRecordedEvent> sorted = events;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const TRecordedEvent& a, const TRecordedEvent& b)
                     { return a.Sample < b.Sample; });
    std::vector<std::deque<std::size_t>> open(kNoteCount * kChannelCount);
    for (const auto& event : sorted)
        table.Add(event, open, totalSamples);
    for (auto& note : table.FNotes)
        if (!note.Closed && note.EndSample < totalSamples)
            note.Closed = true; // ended by a retrigger
    return table;
}

void TNoteTable::Add(const TRecordedEvent& event, std::vector<std::deque<std::size_t>>& open,
                     std::int64_t totalSamples)
{
    const int channel = MidiChannel(event.Data[0]);
    const int pitch = event.Data[1] & 0x7F;
    auto& sounding = open[static_cast<std::size_t>(channel * kNoteCount + pitch)];
    const bool noteOn = IsMidiNoteOn(event.Data[0], event.Data[2]);
    const bool noteOff = IsMidiNoteOff(event.Data[0], event.Data[2]);
    if (event.Sample >= totalSamples && !noteOff)
        return; // struck at or after the end: it belongs to what the render did not play
    if (noteOn)
    {
        while (!sounding.empty())
        {
            FNotes[sounding.front()].EndSample = event.Sample;
            sounding.pop_front();
        }
        sounding.push_back(FNotes.size());
        FNotes.push_back({event.Sample, totalSamples, pitch, event.Data[2], channel, false});
    }
    else if (noteOff)
    {
        if (sounding.empty())
            return; // a stray note-off: nothing to end
        auto& note = FNotes[sounding.front()];
        note.EndSample = std::min(event.Sample, totalSamples);
        note.Closed = event.Sample <= totalSamples;
        sounding.pop_front();
    }
    else
        FOther.push_back(event);
}

std::int64_t TNoteTable::SampleToTicks(std::int64_t sample) const
{
    const double ticks = static_cast<double>(sample) * kTicksPerBeat / FGrid.SamplesPerBeat();
    return std::max<std::int64_t>(0, std::llround(ticks));
}

std::string TNoteTable::Position(std::int64_t sample) const
{
    const std::int64_t ticks = SampleToTicks(sample);
    const std::int64_t ticksPerUnit = kTicksPerBeat * 4 / FGrid.Denominator;
    const std::int64_t ticksPerBar = ticksPerUnit * FGrid.Numerator;
    char text[48];
    std::snprintf(text, sizeof text, "%lld.%lld.%03lld",
                  static_cast<long long>(ticks / ticksPerBar + 1),
                  static_cast<long long>(ticks % ticksPerBar / ticksPerUnit + 1),
                  static_cast<long long>(ticks % ticksPerUnit));
    return text;
}

void TNoteTable::Print(std::ostream& out) const
{
    const double samplesPerBeat = FGrid.SamplesPerBeat();
    bool anyOpen = false;
    char line[128];
    std::snprintf(line, sizeof line, "%-12s %-5s %4s %4s %8s %3s\n", "bar.beat.tick", "note", "num",
                  "vel", "length", "ch");
    out << line;
    for (const auto& note : FNotes)
    {
        const double length =
            static_cast<double>(note.EndSample - note.StartSample) / samplesPerBeat;
        anyOpen = anyOpen || !note.Closed;
        std::snprintf(line, sizeof line, "%-12s %-5s %4d %4d %8.3f%s %2d\n",
                      Position(note.StartSample).c_str(), PitchName(note.Pitch).c_str(), note.Pitch,
                      note.Velocity, length, note.Closed ? " " : "*", note.Channel + 1);
        out << line;
    }
    out << FNotes.size() << (FNotes.size() == 1 ? " note" : " notes");
    if (anyOpen)
        out << " (* still sounding when the render ended)";
    out << '\n';
}

} // namespace tumblet
