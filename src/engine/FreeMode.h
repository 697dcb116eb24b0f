#pragma once

#include <cstdint>

namespace tumblet
{

/// The free-running clock used while Speed is not 0.
// Thread: under the owning engine's rules; plain data the module may also write.
class TFreeMode
{
public:
    /// Beat position at which a pending change takes effect; -1.0: none.
    double ResyncPos = -1.0;
    /// Sequence index to resume from after a speed change; -1: none.
    std::int32_t SavedIndex = -1;
    /// The Speed value recorded at the last speed change.
    std::int32_t SpeedAtChange = 0;
    /// Unswung position of the current free-running step, in beats.
    double Clock = 0.0;

    void Reset() noexcept { *this = TFreeMode{}; }
};

} // namespace tumblet
