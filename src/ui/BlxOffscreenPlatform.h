#pragma once

#include "ui/BlxPlatform.h"

#include <deque>
#include <functional>
#include <string>

namespace tumblet
{

/// The backend without a window system: windows are their back buffers, time is virtual and
/// advances only while the pump waits, and input is what a test feeds in. Thread: UI.
class TBlxOffscreenPlatform : public TBlxPlatform
{
public:
    /// Virtual milliseconds a modal window may wait with nothing queued before it is cancelled,
    /// so a test that forgot to close a dialog fails instead of hanging.
    static constexpr int kStarvationMs = 60000;

    bool IsOffscreen() const override { return true; }
    std::unique_ptr<TBlxPlatformWindow> CreateWindow(TBlxWindow& owner,
                                                     const TBlxWindowParams& params) override;
    void ProcessEvents() override;
    void WaitForEvents(int timeoutMs) override;
    int64_t NowMs() override { return FNow; }
    TBlxPoint PointerPos() override { return FPointer; }
    unsigned PointerButtons() override { return FButtons; }
    TBlxRect ScreenRect() override { return FScreen; }
    double DesktopScale() override { return FDesktopScale; }
    std::optional<TBlxRect> ActiveWindowRect() override { return FActiveWindow; }
    void SetClipboardText(const std::string& text) override { FClipboard = text; }
    std::string ClipboardText() override { return FClipboard; }

    /// Queues an action for a later round of the pump. An action that returns false is not
    /// ready yet and is tried again on the next round.
    void Post(std::function<bool()> action);
    size_t PendingActions() const { return FActions.size(); }
    void SetPointer(TBlxPoint screenPos, unsigned buttons);
    void AdvanceClock(int ms) { FNow += ms; }
    void SetScreenRect(const TBlxRect& r) { FScreen = r; }
    void SetDesktopScale(double scale) { FDesktopScale = scale; }
    void SetActiveWindowRect(std::optional<TBlxRect> r) { FActiveWindow = r; }
    /// True once a modal window was cancelled for lack of input.
    bool Starved() const { return FStarved; }
    void ResetStarved() { FStarved = false; }

private:
    int64_t FNow = 1000;
    int64_t FIdleMs = 0;
    bool FStarved = false;
    TBlxPoint FPointer;
    unsigned FButtons = 0;
    double FDesktopScale = 0;
    TBlxRect FScreen{0, 0, 1920, 1080};
    std::optional<TBlxRect> FActiveWindow;
    std::string FClipboard;
    std::deque<std::function<bool()>> FActions;
    TBlxNativeId FNextId = 1;
};

} // namespace tumblet
