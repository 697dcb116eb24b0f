#pragma once

#include <cstdint>
#include <functional>

namespace tumblet
{

/// A timer driven by the application's event pump (the host's idle calls), so it fires
/// only on the UI thread and never more often than the pump runs. Thread: UI.
class TBlxTimer
{
public:
    TBlxTimer();
    ~TBlxTimer();
    TBlxTimer(const TBlxTimer&) = delete;
    TBlxTimer& operator=(const TBlxTimer&) = delete;

    /// Milliseconds between firings; 0 fires on every round of the pump, the first one being
    /// the round it was enabled in, after that round's input.
    int Interval() const { return FInterval; }
    void SetInterval(int ms);
    bool Enabled() const { return FEnabled; }
    /// Enabling starts a full interval from now.
    void SetEnabled(bool enabled);
    /// Called by the pump; fires when due.
    void Poll(int64_t nowMs);
    /// Milliseconds until the next firing (for the pump's sleep), or -1 when disabled.
    int64_t DueIn(int64_t nowMs) const;

    std::function<void(TBlxTimer& sender)> OnTimer;

private:
    int FInterval = 1000;
    bool FEnabled = false;
    int64_t FNext = 0;
};

} // namespace tumblet
