#pragma once

// Keeps a host's song position on the sample grid. Some hosts give each block's sample position
// exactly but round its musical position (Ardour: to whole 1/1920 beats), and the rounding
// changes from block to block; steps placed from it wander by several samples. The lock keeps an
// anchor (sample position, musical position, tempo) and predicts each block's position from it,
// narrowing the anchor with every reading that the host's rounding allows, and takes the host's
// position only when the host clearly went elsewhere.

#include <cstdint>

namespace tumblet
{

class TPhaseLock
{
public:
    /// What a host reports for the start of one block.
    struct TReading
    {
        double SamplePos = 0.0;  ///< samples from the song start
        double Ppq = 0.0;        ///< quarter notes from the song start
        double Tempo = 120.0;    ///< quarter notes per minute, above 0
        double SampleRate = 0.0; ///< samples per second, above 0
    };

    /// How far a host's musical position may lie from the prediction and still count as the
    /// same place: a whole 1/1920 beat (the coarsest rounding hosts are known to use) and what
    /// a 32-bit float loses in a bar.
    static constexpr double kResolutionBeats = 1.0 / 1920.0 + 1e-6;
    /// How far a rounded position lies from the true one at most: half the resolution.
    static constexpr double kRoundingBeats = 1.0 / 3840.0 + 1e-6;
    /// The resolution of the hosts that round, in steps per quarter note.
    static constexpr double kTicksPerBeat = 1920.0;

    /// The musical position to use for a block of `frames` samples that starts at the
    /// reading's sample position. Allocates nothing.
    double Lock(const TReading& reading, std::int64_t frames) noexcept;

    /// The position predicted for a sample position from the anchor; only meaningful after
    /// a Lock.
    double PpqAt(double samplePos) const noexcept;

    /// Forgets the anchor: the next reading is taken as it comes (after a stop, or for a host
    /// whose sample position cannot be used).
    void Reset() noexcept { FAnchored = false; }

private:
    double Anchor(const TReading& reading, std::int64_t frames) noexcept;
    double BeatsIn(double samples) const noexcept;

    bool FAnchored = false;
    bool FOnTicks = false;      ///< every reading since the anchor was a whole tick
    double FAnchorSample = 0.0; ///< the sample position the anchor's positions belong to
    double FEstimate = 0.0;     ///< the position used at the anchor
    double FLow = 0.0;          ///< the lowest position at the anchor that all readings allow
    double FHigh = 0.0;         ///< and the highest
    double FTempo = 0.0;
    double FSampleRate = 0.0;
    double FNextSample = 0.0; ///< where the next block starts when the host plays on
};

} // namespace tumblet
