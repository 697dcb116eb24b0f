#pragma once

#include <cstdint>

namespace tumblet
{

/// The note produced by the last step.
// Thread: under the owning engine's rules; read by the module after GenerateStep.
class TGeneratedNote
{
public:
    std::int32_t SourceNote = 0; ///< held note the pitch came from
    std::int32_t Channel = 0;    ///< MIDI channel of that held note
    std::int32_t Length = 0;     ///< note length, in samples
    std::int32_t Pitch = -1;     ///< output note number; -1: the step produces no note
    std::int32_t Offset = 0;     ///< note-on offset from the block start, in samples; may be < 0
    std::int32_t Velocity = 0;   ///< output velocity, 0 to 127

    void Reset() noexcept { *this = TGeneratedNote{}; }
};

} // namespace tumblet
