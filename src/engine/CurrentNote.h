#pragma once

namespace tumblet
{

/// The step being played. All positions and lengths in beats; -1.0 means not set.
// Thread: under the owning engine's rules; plain data the module may also write.
class TCurrentNote
{
public:
    /// Position before which no new step is considered (normally the end of the current step).
    double StepEnd = -1.0;
    double LengthBeats = -1.0; ///< length of the current note
    double StepStart = -1.0;   ///< position at which the current step started

    void Reset() noexcept { *this = TCurrentNote{}; }
};

} // namespace tumblet
