#pragma once

// The music every allocation test plays, whatever the format: chords struck and released,
// a controller, parameter moves across all 22 parameters, and blocks shorter and longer than a
// step. Plain data, so the formats' tests play the same thing.

#include "support/TestHost.h"

#include <array>
#include <cstdint>

namespace tumblet::test
{

struct TAllocationScriptBlock
{
    std::array<TInEvent, 3> Events{}; ///< sent before the block, offsets inside every block
    int EventCount = 0;
    int Parameter = -1;  ///< the parameter moved before the block, -1 for none
    float Amount = 0.0f; ///< where in its range, normalised 0..1
    std::int32_t Frames = 0;
};

constexpr int kAllocationScriptBlocks = 10000;
constexpr int kAllocationScriptParameters = 22;

inline TAllocationScriptBlock AllocationScript(int block)
{
    TAllocationScriptBlock b;
    const auto note = static_cast<std::uint8_t>(48 + (block / 7) % 24);
    const auto third = static_cast<std::uint8_t>(note + 4);
    if (block % 7 == 0)
    {
        b.Events[0] = NoteOn(note, 90, 3);
        b.Events[1] = NoteOn(third, 80, 5);
        b.EventCount = 2;
    }
    if (block % 7 == 5)
    {
        b.Events[0] = NoteOff(note, 2);
        b.Events[1] = NoteOff(third, 4);
        b.EventCount = 2;
    }
    if (block % 11 == 0)
        b.Events[b.EventCount++] = {6, 0xB0, 1, static_cast<std::uint8_t>(block % 128)};
    if (block % 13 == 0)
    {
        b.Parameter = (block / 13) % kAllocationScriptParameters;
        b.Amount = static_cast<float>((block * 37) % 100) / 100.0f;
    }
    // The shortest block is still longer than the latest event offset.
    b.Frames = (block % 4 == 0) ? 4096 : (block % 4 == 1 ? 7 : 512);
    return b;
}

} // namespace tumblet::test
