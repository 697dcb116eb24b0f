#include "ui/BlxOffscreenPlatform.h"

#include "ui/BlxApplication.h"

namespace tumblet
{

namespace
{

class TBlxOffscreenWindow : public TBlxPlatformWindow
{
public:
    TBlxOffscreenWindow(TBlxNativeId id, const TBlxWindowParams& params)
        : FId(id), FBounds(params.Bounds)
    {
    }
    TBlxNativeId Id() const override { return FId; }
    void Show() override {}
    void Hide() override {}
    void SetBounds(const TBlxRect& r) override { FBounds = r; }
    TBlxPoint ClientOriginOnScreen() const override
    {
        // An embedded window's foreign parent is taken to sit at the screen's origin.
        return {FBounds.Left, FBounds.Top};
    }
    void SetCaption(const std::string&) override {}
    void SetCursor(TBlxCursor) override {}
    void Present(cairo_surface_t*, const TBlxRect&) override {}
    bool GrabInput(bool) override { return true; }
    void TakeFocus() override {}

private:
    TBlxNativeId FId;
    TBlxRect FBounds;
};

} // namespace

std::unique_ptr<TBlxPlatformWindow>
TBlxOffscreenPlatform::CreateWindow(TBlxWindow&, const TBlxWindowParams& params)
{
    return std::make_unique<TBlxOffscreenWindow>(FNextId++, params);
}

void TBlxOffscreenPlatform::ProcessEvents()
{
    if (FActions.empty())
    {
        return;
    }
    std::function<bool()> action = FActions.front();
    FActions.pop_front();
    FIdleMs = 0;
    if (!action())
    {
        FActions.push_front(std::move(action));
    }
}

void TBlxOffscreenPlatform::WaitForEvents(int timeoutMs)
{
    FNow += std::max(1, timeoutMs);
    if (!FActions.empty())
    {
        return;
    }
    FIdleMs += std::max(1, timeoutMs);
    if (FIdleMs > kStarvationMs && TBlxApplication::Instance().TopModal())
    {
        FStarved = true;
        FIdleMs = 0;
        TBlxApplication::Instance().EndAllModalLoops();
    }
}

void TBlxOffscreenPlatform::Post(std::function<bool()> action)
{
    FActions.push_back(std::move(action));
}

void TBlxOffscreenPlatform::SetPointer(TBlxPoint screenPos, unsigned buttons)
{
    FPointer = screenPos;
    FButtons = buttons;
}

} // namespace tumblet
