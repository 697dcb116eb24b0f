#include "ui/BlxTimer.h"

#include "ui/BlxApplication.h"
#include "ui/BlxHooks.h"

#include <algorithm>

namespace tumblet
{

TBlxTimer::TBlxTimer()
{
    TBlxApplication::Instance().RegisterTimer(*this);
}

TBlxTimer::~TBlxTimer()
{
    TBlxApplication::Instance().UnregisterTimer(*this);
}

void TBlxTimer::SetInterval(int ms)
{
    FInterval = std::max(0, ms);
    if (FEnabled)
    {
        FNext = TBlxApplication::Instance().NowMs() + FInterval;
    }
}

void TBlxTimer::SetEnabled(bool enabled)
{
    if (enabled && !FEnabled)
    {
        FNext = TBlxApplication::Instance().NowMs() + FInterval;
    }
    FEnabled = enabled;
}

void TBlxTimer::Poll(int64_t nowMs)
{
    if (!FEnabled || nowMs < FNext)
    {
        return;
    }
    // A late pump fires once, not once per missed interval.
    FNext = std::max(FNext + FInterval, nowMs + 1);
    Raise(OnTimer, *this);
}

int64_t TBlxTimer::DueIn(int64_t nowMs) const
{
    return FEnabled ? std::max<int64_t>(0, FNext - nowMs) : -1;
}

} // namespace tumblet
