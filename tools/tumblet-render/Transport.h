#pragma once

// The simulated host transport: the song position of every block, the time info a host reports
// for it, and the jump back at the end of a cycle.

#include "RenderTypes.h"
#include "vst2/VstInterface.h"

#include <cstdint>

namespace tumblet
{

struct TTransportSettings
{
    TTimeGrid Grid;
    double StartBeat = 0.0; ///< song position of the first sample, beats
    bool LoopActive = false;
    double LoopStartBeat = 0.0;
    double LoopEndBeat = 0.0;
    bool Stopped = false; ///< the song position stands still at StartBeat
};

class TTransport
{
public:
    explicit TTransport(const TTransportSettings& settings);

    /// Samples left before the song reaches the cycle end; blocks are cut there so that the
    /// jump back falls exactly between two blocks. Very large when no jump is ahead.
    std::int64_t FramesUntilJump() const;
    /// The record a host hands out for the block that starts now.
    VstTimeInfo TimeInfo() const;
    /// Moves on by the frames of the block just processed, jumping back at the cycle end.
    void Advance(std::int64_t frames);

    double SongBeat() const; ///< ppq position of the next block
    std::int64_t SongSample() const { return FSongSample; }
    std::int64_t Jumps() const { return FJumps; }

private:
    bool JumpAhead() const;

    TTransportSettings FSettings;
    double FSamplesPerBeat;
    std::int64_t FSongSample;    ///< song position of the next block, samples
    double FSegmentBeat;         ///< beat where the current stretch of playing began
    std::int64_t FSegmentSample; ///< its sample; ppq is counted from here to stay exact
    std::int64_t FLoopStartSample;
    std::int64_t FLoopEndSample;
    bool FChanged = true; ///< first block, and the block after a jump
    std::int64_t FJumps = 0;
};

} // namespace tumblet
