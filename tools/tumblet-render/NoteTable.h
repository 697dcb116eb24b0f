#pragma once

// The plug-in's output as notes: note-ons paired with their note-offs, and the readable table.

#include "RenderTypes.h"

#include <cstdint>
#include <deque>
#include <ostream>
#include <vector>

namespace tumblet
{

constexpr int kTicksPerBeat = 960; ///< fine enough to show single samples at usual tempi

class TNoteTable
{
public:
    /// Pairs note-ons with note-offs per channel and pitch, first in first out. A note-on for a
    /// pitch still sounding ends the older note there; notes still open end at totalSamples.
    static TNoteTable FromEvents(const std::vector<TRecordedEvent>& events,
                                 std::int64_t totalSamples, const TTimeGrid& grid);

    const std::vector<TRenderedNote>& Notes() const { return FNotes; }
    /// Messages that are not notes (controllers, pressure, bend), in time order.
    const std::vector<TRecordedEvent>& OtherEvents() const { return FOther; }

    /// Ticks of render time (960 per beat), never below 0.
    std::int64_t SampleToTicks(std::int64_t sample) const;
    /// "bar.beat.tick" with bars and beats from 1, beats in units of the metre's denominator.
    std::string Position(std::int64_t sample) const;
    void Print(std::ostream& out) const;

private:
    explicit TNoteTable(const TTimeGrid& grid) : FGrid(grid) {}
    void Add(const TRecordedEvent& event, std::vector<std::deque<std::size_t>>& open,
             std::int64_t totalSamples);

    TTimeGrid FGrid;
    std::vector<TRenderedNote> FNotes;
    std::vector<TRecordedEvent> FOther;
};

} // namespace tumblet
