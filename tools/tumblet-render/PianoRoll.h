#pragma once

// A piano roll of the render as a PNG: beat and bar grid, the plug-in's notes coloured by
// velocity, and the input notes in a lane of their own below.

#include "RenderTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tumblet
{

class TNoteTable;

/// Where things are drawn, in pixels; a pure function of the notes and the grid.
struct TPianoRollLayout
{
    static constexpr int kLeftMargin = 48; ///< note names
    static constexpr int kTopMargin = 20;  ///< bar numbers
    static constexpr int kRowHeight = 8;   ///< one semitone
    static constexpr int kLaneGap = 12;    ///< between the roll and the input lane
    static constexpr int kRightMargin = 16;

    double PixelsPerBeat = 80.0;
    int LowestPitch = 48;
    int HighestPitch = 72;
    int Width = 0;
    int Height = 0;
    int LaneTop = 0;  ///< first pixel row of the input lane
    int LaneRows = 1; ///< one row per input pitch

    double X(double beat) const { return kLeftMargin + beat * PixelsPerBeat; }
    /// Top pixel row of a pitch in the roll.
    double Y(int pitch) const { return kTopMargin + (HighestPitch - pitch) * kRowHeight; }

    static TPianoRollLayout Compute(const std::vector<TRenderedNote>& output,
                                    const std::vector<TInputNote>& input, const TTimeGrid& grid);
};

class TPianoRoll
{
public:
    /// The widest render a piano roll can show, in quarter-note beats.
    static double MaxBeats();
    /// Throws a runtime error naming path when the render is too long to draw.
    static void CheckLength(const std::string& path, const TTimeGrid& grid);
    /// Draws the PNG. Throws a runtime error naming path when cairo cannot.
    static std::vector<std::uint8_t> Draw(const std::string& path, const TNoteTable& table,
                                          const std::vector<TInputNote>& input,
                                          const TTimeGrid& grid);

    /// The fill colour of a generated note: blue when soft, through violet, to red when loud.
    static void VelocityColour(int velocity, double& red, double& green, double& blue);
};

} // namespace tumblet
