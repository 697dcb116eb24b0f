#include "InputSchedule.h"

#include "base/MidiStatus.h"

#include <algorithm>
#include <cmath>

namespace tumblet
{

namespace
{

constexpr int kNoteCount = 128;
constexpr int kChannelCount = 16;

bool IsNoteOff(const std::uint8_t* data)
{
    return IsMidiNoteOff(data[0], data[2]);
}

bool IsNoteOn(const std::uint8_t* data)
{
    return IsMidiNoteOn(data[0], data[2]);
}

} // namespace

TInputSchedule TInputSchedule::FromChords(const std::vector<TTimedChord>& chords,
                                          const TTimeGrid& grid)
{
    TInputSchedule schedule;
    for (const auto& chord : chords)
    {
        for (const auto& note : chord.Notes)
        {
            const auto pitch = static_cast<std::uint8_t>(note.Pitch);
            schedule.Add(chord.AtBeat, kMidiNoteOn, pitch, static_cast<std::uint8_t>(note.Velocity),
                         grid);
            if (chord.HoldBeats)
                schedule.Add(chord.AtBeat + *chord.HoldBeats, kMidiNoteOff, pitch, 0, grid);
        }
    }
    schedule.Sort();
    return schedule;
}

TInputSchedule TInputSchedule::FromMessages(const std::vector<TTimedMessage>& messages,
                                            const TTimeGrid& grid)
{
    TInputSchedule schedule;
    for (const auto& message : messages)
        schedule.Add(message.Beat, message.Data[0], message.Data[1], message.Data[2], grid);
    schedule.Sort();
    return schedule;
}

void TInputSchedule::Add(double beat, std::uint8_t status, std::uint8_t data1, std::uint8_t data2,
                         const TTimeGrid& grid)
{
    const auto end = std::llround(grid.LengthBeats * grid.SamplesPerBeat());
    const auto sample = std::llround(beat * grid.SamplesPerBeat());
    if (sample < 0 || sample >= end)
        return;
    TScheduledEvent event;
    event.Sample = sample;
    event.Data[0] = status;
    event.Data[1] = data1;
    event.Data[2] = data2;
    FEvents.push_back(event);
}

void TInputSchedule::Sort()
{
    // A repeated note must be released before it is struck again at the same sample.
    std::stable_sort(FEvents.begin(), FEvents.end(),
                     [](const TScheduledEvent& a, const TScheduledEvent& b)
                     {
                         if (a.Sample != b.Sample)
                             return a.Sample < b.Sample;
                         return IsNoteOff(a.Data) && !IsNoteOff(b.Data);
                     });
}

bool TInputSchedule::HasNoteOn() const
{
    return std::any_of(FEvents.begin(), FEvents.end(),
                       [](const TScheduledEvent& event) { return IsNoteOn(event.Data); });
}

std::vector<TInputNote> TInputSchedule::Notes(const TTimeGrid& grid) const
{
    const double samplesPerBeat = grid.SamplesPerBeat();
    std::vector<TInputNote> notes;
    std::vector<int> open(kNoteCount * kChannelCount, -1);
    for (const auto& event : FEvents)
    {
        const int slot = MidiChannel(event.Data[0]) * kNoteCount + (event.Data[1] & 0x7F);
        const double beat = static_cast<double>(event.Sample) / samplesPerBeat;
        if (IsNoteOn(event.Data))
        {
            if (open[slot] >= 0)
                notes[static_cast<std::size_t>(open[slot])].EndBeat = beat;
            open[slot] = static_cast<int>(notes.size());
            notes.push_back({beat, grid.LengthBeats, event.Data[1], event.Data[2]});
        }
        else if (IsNoteOff(event.Data) && open[slot] >= 0)
        {
            notes[static_cast<std::size_t>(open[slot])].EndBeat = beat;
            open[slot] = -1;
        }
    }
    return notes;
}

} // namespace tumblet
