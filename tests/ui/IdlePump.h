#pragma once

// The event pump as a host drives it: rounds of ProcessMessages with sleeps on the backend in
// between. The library has no loop of its own (a host's idle call does one round and returns),
// so tests that wait for a window to close pump here.

#include "ui/BlxApplication.h"
#include "ui/BlxWindow.h"

#include <functional>
#include <optional>

namespace tumblet::test
{

/// Pumps until done() holds; stops early when no backend runs (nothing could end the wait).
inline void IdleUntil(const std::function<bool()>& done)
{
    TBlxApplication& app = TBlxApplication::Instance();
    while (!done())
    {
        app.ProcessMessages();
        if (done() || !app.BackendRunning())
            return;
        const int delay = app.NextTimerDelay();
        if (std::shared_ptr<TBlxPlatform> platform = app.AcquirePlatform())
            platform->WaitForEvents(delay);
    }
}

/// Pumps for ms milliseconds of the backend's clock.
inline void IdleFor(int ms)
{
    TBlxApplication& app = TBlxApplication::Instance();
    const int64_t end = app.NowMs() + ms;
    IdleUntil([&] { return app.NowMs() >= end; });
}

/// Shows `window` modal and pumps until it closed; its result (Cancel when it cannot show).
inline TBlxModalResult ShowModalUntilClosed(TBlxWindow& window)
{
    std::optional<TBlxModalResult> result;
    if (!window.ShowModal([&](TBlxModalResult r) { result = r; }))
        return TBlxModalResult::Cancel;
    IdleUntil([&] { return result.has_value(); });
    return result.value_or(TBlxModalResult::Cancel);
}

} // namespace tumblet::test
