#pragma once

// The input of a render as MIDI messages at samples of render time, in the order a host sends
// them: by time, note-offs before note-ons at the same sample.

#include "Options.h"
#include "RenderTypes.h"

#include <cstdint>
#include <vector>

namespace tumblet
{

struct TScheduledEvent
{
    std::int64_t Sample = 0; ///< render time
    std::uint8_t Data[3] = {};
};

class TInputSchedule
{
public:
    /// Chords as note-ons at their beat and note-offs after their hold (none past the end).
    static TInputSchedule FromChords(const std::vector<TTimedChord>& chords, const TTimeGrid& grid);
    /// Messages read from a MIDI file; those at or after the end are dropped.
    static TInputSchedule FromMessages(const std::vector<TTimedMessage>& messages,
                                       const TTimeGrid& grid);

    const std::vector<TScheduledEvent>& Events() const { return FEvents; }
    /// True when at least one note is struck.
    bool HasNoteOn() const;
    /// The input notes, paired, for the piano roll's input lane.
    std::vector<TInputNote> Notes(const TTimeGrid& grid) const;

private:
    void Add(double beat, std::uint8_t status, std::uint8_t data1, std::uint8_t data2,
             const TTimeGrid& grid);
    void Sort();

    std::vector<TScheduledEvent> FEvents;
};

} // namespace tumblet
