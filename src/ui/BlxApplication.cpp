#include "ui/BlxApplication.h"
#include "base/MonotonicClock.h"

#include "ui/BlxOffscreenPlatform.h"
#include "ui/BlxTimer.h"
#include "ui/BlxWindow.h"
#include "ui/X11Platform.h"

#include <algorithm>

namespace tumblet
{

namespace
{

/// Longest sleep between rounds of a pump that has nothing due, in ms: keeps repaints
/// responsive.
constexpr int kMaxSleepMs = 10;

template <typename T> void Erase(std::vector<T*>& v, T* item)
{
    v.erase(std::remove(v.begin(), v.end(), item), v.end());
}

} // namespace

TBlxApplication& TBlxApplication::Instance()
{
    static TBlxApplication instance;
    return instance;
}

void TBlxApplication::SetBackend(TBlxBackend backend)
{
    FBackend = backend;
    if (backend == TBlxBackend::Offscreen && !FOffscreen)
    {
        FOffscreen = std::make_shared<TBlxOffscreenPlatform>();
    }
    else if (backend == TBlxBackend::Auto)
    {
        FOffscreen.reset();
        FX11Failed = false;
    }
}

std::shared_ptr<TBlxPlatform> TBlxApplication::AcquirePlatform()
{
    if (FOffscreen)
    {
        return FOffscreen;
    }
    if (auto running = FX11.lock())
    {
        return running;
    }
    if (FX11Failed)
    {
        return nullptr;
    }
    std::shared_ptr<TBlxPlatform> x11 = CreateX11Platform();
    if (!x11)
    {
        // Do not retry on every dialog: the display stays unavailable for this process.
        FX11Failed = true;
        return nullptr;
    }
    FX11 = x11;
    return x11;
}

bool TBlxApplication::CanShowWindows()
{
    return AcquirePlatform() != nullptr;
}

TBlxPlatform* TBlxApplication::CurrentPlatform() const
{
    if (FOffscreen)
    {
        return FOffscreen.get();
    }
    return FX11.lock().get();
}

int TBlxApplication::EventDescriptor() const
{
    const TBlxPlatform* platform = CurrentPlatform();
    return platform != nullptr ? platform->EventDescriptor() : -1;
}

void TBlxApplication::ProcessMessages()
{
    if (TBlxPlatform* p = CurrentPlatform())
    {
        // Keep the backend alive while it delivers: a handler may close the last window.
        std::shared_ptr<TBlxPlatform> keep = FOffscreen ? FOffscreen : FX11.lock();
        p->ProcessEvents();
    }
    FinishModals();
    FireTimers();
    FinishModals();
    PaintWindows();
}

void TBlxApplication::FinishModals()
{
    // A completion may close or open other modal windows: look again after each one.
    bool finished = true;
    while (finished)
    {
        finished = false;
        for (size_t i = FModalStack.size(); i > 0 && !finished; --i)
        {
            finished = FModalStack[i - 1]->FinishModal();
        }
    }
}

int64_t TBlxApplication::NowMs()
{
    return FOffscreen ? FOffscreen->NowMs() : MonotonicMilliseconds();
}

int TBlxApplication::NextTimerDelay()
{
    int64_t now = NowMs();
    int64_t delay = kMaxSleepMs;
    for (TBlxTimer* t : FTimers)
    {
        int64_t due = t->DueIn(now);
        if (due >= 0)
        {
            delay = std::min(delay, due);
        }
    }
    return int(std::max<int64_t>(1, delay));
}

TBlxPoint TBlxApplication::PointerPos()
{
    TBlxPlatform* p = CurrentPlatform();
    return p ? p->PointerPos() : TBlxPoint{};
}

unsigned TBlxApplication::PointerButtons()
{
    TBlxPlatform* p = CurrentPlatform();
    return p ? p->PointerButtons() : 0;
}

double TBlxApplication::DesktopScale()
{
    std::shared_ptr<TBlxPlatform> p = AcquirePlatform();
    return p ? p->DesktopScale() : 0;
}

TBlxRect TBlxApplication::ScreenRect()
{
    TBlxPlatform* p = CurrentPlatform();
    return p ? p->ScreenRect() : TBlxRect{0, 0, 1920, 1080};
}

std::optional<TBlxRect> TBlxApplication::ActiveWindowRect()
{
    TBlxPlatform* p = CurrentPlatform();
    return p ? p->ActiveWindowRect() : std::nullopt;
}

void TBlxApplication::SetClipboardText(const std::string& text)
{
    if (TBlxPlatform* p = CurrentPlatform())
    {
        p->SetClipboardText(text);
    }
    else
    {
        FLocalClipboard = text;
    }
}

std::string TBlxApplication::ClipboardText()
{
    TBlxPlatform* p = CurrentPlatform();
    return p ? p->ClipboardText() : FLocalClipboard;
}

void TBlxApplication::RegisterWindow(TBlxWindow& window)
{
    FWindows.push_back(&window);
}

void TBlxApplication::UnregisterWindow(TBlxWindow& window)
{
    // The windows that stay above this one (its dialogs and menus, and theirs) close and forget
    // it: the host may close the editor while one is open.
    for (TBlxWindow* w : FWindows)
    {
        bool above = false;
        for (TBlxWindow* p = w->PopupParent(); p && !above; p = p->PopupParent())
        {
            above = p == &window;
        }
        if (above && w->InModalLoop())
        {
            w->SetModalResult(TBlxModalResult::Cancel);
        }
    }
    for (TBlxWindow* w : FWindows)
    {
        if (w->PopupParent() == &window)
        {
            w->SetPopupParent(nullptr);
        }
    }
    Erase(FWindows, &window);
    Erase(FModalStack, &window);
}

void TBlxApplication::PushModal(TBlxWindow& window)
{
    FModalStack.push_back(&window);
    // The press that opened it (a dial clicked for MIDI Set CC) sees its release dropped, as the
    // window below takes no input now: without this its control would keep the capture and take
    // the next click anywhere. Menus keep theirs: a submenu opens while its parent tracks.
    for (TBlxWindow* w : FWindows)
        if (w->FKind != TBlxWindowKind::Popup && !AcceptsInput(*w))
            w->CancelPress();
}

void TBlxApplication::PopModal(TBlxWindow& window)
{
    Erase(FModalStack, &window);
}

TBlxWindow* TBlxApplication::TopModal() const
{
    return FModalStack.empty() ? nullptr : FModalStack.back();
}

TBlxWindow* TBlxApplication::TopModalFor(const TBlxWindow& window) const
{
    auto rootOf = [](const TBlxWindow* w)
    {
        while (w->PopupParent())
        {
            w = w->PopupParent();
        }
        return w;
    };
    const TBlxWindow* root = rootOf(&window);
    for (auto it = FModalStack.rbegin(); it != FModalStack.rend(); ++it)
    {
        // A modal window that belongs to no window holds them all.
        if (!(*it)->PopupParent() || rootOf(*it) == root)
        {
            return *it;
        }
    }
    return nullptr;
}

void TBlxApplication::EndAllModalLoops()
{
    for (auto it = FModalStack.rbegin(); it != FModalStack.rend(); ++it)
    {
        (*it)->SetModalResult(TBlxModalResult::Cancel);
    }
}

bool TBlxApplication::AcceptsInput(const TBlxWindow& window) const
{
    const TBlxWindow* top = TopModalFor(window);
    if (!top)
    {
        return true;
    }
    // A modal window's own popups (menus, submenus) share its input.
    for (const TBlxWindow* w = &window; w; w = w->PopupParent())
    {
        if (w == top)
        {
            return true;
        }
    }
    return false;
}

void TBlxApplication::Dispatch(TBlxWindow& window, const TBlxPlatformEvent& e)
{
    using K = TBlxPlatformEvent::TKind;
    bool input = e.Kind == K::MouseDown || e.Kind == K::MouseUp || e.Kind == K::MouseMove ||
                 e.Kind == K::Wheel || e.Kind == K::KeyDown || e.Kind == K::CloseRequest;
    if (input && !AcceptsInput(window))
    {
        // Keys typed while a modal window is up are meant for it, wherever the window system's
        // keyboard focus happens to be.
        TBlxWindow* top = TopModalFor(window);
        if (e.Kind == K::KeyDown)
        {
            top->HandleEvent(e);
            return;
        }
        // A press outside an open menu closes the menu and is swallowed, as menus do.
        if (e.Kind == K::MouseDown && top->Kind() == TBlxWindowKind::Popup)
        {
            top->Close();
        }
        return;
    }
    window.HandleEvent(e);
}

void TBlxApplication::RegisterTimer(TBlxTimer& timer)
{
    FTimers.push_back(&timer);
}

void TBlxApplication::UnregisterTimer(TBlxTimer& timer)
{
    Erase(FTimers, &timer);
}

void TBlxApplication::FireTimers()
{
    int64_t now = NowMs();
    bool due = false;
    for (TBlxTimer* t : FTimers)
    {
        due = due || t->DueIn(now) == 0;
    }
    // Idle rounds with nothing due allocate nothing; a handler may add or remove timers, so
    // the rounds that fire work on a copy.
    if (!due)
    {
        return;
    }
    std::vector<TBlxTimer*> snapshot = FTimers;
    for (TBlxTimer* t : snapshot)
    {
        // A handler may have destroyed later timers.
        if (std::find(FTimers.begin(), FTimers.end(), t) != FTimers.end())
        {
            t->Poll(now);
        }
    }
}

void TBlxApplication::PaintWindows()
{
    bool needed = false;
    for (TBlxWindow* w : FWindows)
    {
        needed = needed || (w->IsShown() && w->NeedsPaint());
    }
    if (!needed)
    {
        return;
    }
    // Painting may run handlers that close windows: work on a copy.
    std::vector<TBlxWindow*> snapshot = FWindows;
    for (TBlxWindow* w : snapshot)
    {
        if (std::find(FWindows.begin(), FWindows.end(), w) != FWindows.end() && w->IsShown() &&
            w->NeedsPaint())
        {
            w->PaintNow();
        }
    }
}

} // namespace tumblet
