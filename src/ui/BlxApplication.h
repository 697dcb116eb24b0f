#pragma once

#include "ui/BlxPlatform.h"
#include "ui/BlxTypes.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tumblet
{

class TBlxOffscreenPlatform;
class TBlxTimer;
class TBlxWindow;

enum class TBlxBackend
{
    Auto,      ///< X11 when a display can be opened
    Offscreen, ///< images and synthetic events only (tests)
};

/// The process-wide side of the layer: the backend, the windows, timers, the modal windows and
/// the event pump. The X11 display is opened when the first window needs it and closed when the
/// last window is gone. Every member: Thread: UI.
class TBlxApplication
{
public:
    static TBlxApplication& Instance();

    void SetBackend(TBlxBackend backend);
    TBlxBackend Backend() const { return FBackend; }
    /// The running backend, started on first use; null when none can be started.
    std::shared_ptr<TBlxPlatform> AcquirePlatform();
    /// True when windows can be shown (offscreen selected, or a display can be opened).
    bool CanShowWindows();
    /// True while a backend is running: with X11, while a display connection is open.
    bool BackendRunning() const { return FOffscreen || !FX11.expired(); }
    /// The offscreen backend while it is selected, else null.
    TBlxOffscreenPlatform* Offscreen() const { return FOffscreen.get(); }

    /// The running backend's event descriptor (BlxPlatform.h); -1 without one.
    int EventDescriptor() const;
    /// One round of the pump: window-system events, due timers, the completions of modal
    /// windows whose result is set, then painting. Never blocks.
    void ProcessMessages();
    /// Runs the completions of the modal windows whose result is set.
    void FinishModals();
    int64_t NowMs();
    /// How long a pump may sleep before the next timer is due, in ms (at least 1, at most 10).
    int NextTimerDelay();

    TBlxPoint PointerPos();
    unsigned PointerButtons();
    TBlxRect ScreenRect();
    /// The desktop's scale, read through the backend (starting it if needed); 0 when unknown.
    double DesktopScale();
    std::optional<TBlxRect> ActiveWindowRect();
    void SetClipboardText(const std::string& text);
    std::string ClipboardText();

    /// Routes an event to a window; while a modal window is open over its editor, only that
    /// window and its menus take the editor's input.
    void Dispatch(TBlxWindow& window, const TBlxPlatformEvent& e);
    /// The innermost modal window, or null.
    TBlxWindow* TopModal() const;
    /// The innermost modal window over this window's editor (the windows that share its
    /// top-most pop-up parent) or over every window (one without a parent), or null: a menu or
    /// dialog of another editor in the process does not hold this one.
    TBlxWindow* TopModalFor(const TBlxWindow& window) const;
    /// Cancels every modal window, innermost first (the editor is closing).
    void EndAllModalLoops();
    int WindowCount() const { return int(FWindows.size()); }

private:
    friend class TBlxWindow;
    friend class TBlxTimer;
    TBlxApplication() = default;
    void RegisterWindow(TBlxWindow& window);
    void UnregisterWindow(TBlxWindow& window);
    void PushModal(TBlxWindow& window);
    void PopModal(TBlxWindow& window);
    void RegisterTimer(TBlxTimer& timer);
    void UnregisterTimer(TBlxTimer& timer);
    void FireTimers();
    void PaintWindows();
    bool AcceptsInput(const TBlxWindow& window) const;
    TBlxPlatform* CurrentPlatform() const;

    TBlxBackend FBackend = TBlxBackend::Auto;
    std::shared_ptr<TBlxOffscreenPlatform> FOffscreen;
    std::weak_ptr<TBlxPlatform> FX11;
    bool FX11Failed = false;
    std::vector<TBlxWindow*> FWindows;
    std::vector<TBlxWindow*> FModalStack;
    std::vector<TBlxTimer*> FTimers;
    std::string FLocalClipboard;
};

} // namespace tumblet
