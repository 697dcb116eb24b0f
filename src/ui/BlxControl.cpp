#include "ui/BlxControl.h"

#include "ui/BlxCanvas.h"
#include "ui/BlxHooks.h"
#include "ui/BlxWindow.h"

#include <algorithm>

namespace tumblet
{

TBlxControl::TBlxControl() = default;

TBlxControl::~TBlxControl()
{
    DestroyChildren();
    if (FWindow && FWindow != this)
    {
        FWindow->ControlDestroyed(*this);
    }
}

void TBlxControl::DestroyChildren()
{
    // Last created first, so that later siblings never outlive what they may point at.
    while (!FChildren.empty())
    {
        std::unique_ptr<TBlxControl> child = std::move(FChildren.back());
        FChildren.pop_back();
        child.reset();
    }
}

void TBlxControl::AdoptChild(std::unique_ptr<TBlxControl> child)
{
    child->FParent = this;
    TBlxControl* raw = child.get();
    FChildren.push_back(std::move(child));
    raw->SetWindowRecursive(FWindow);
    raw->Invalidate();
}

void TBlxControl::SetWindowRecursive(TBlxWindow* window)
{
    FWindow = window;
    for (auto& c : FChildren)
    {
        c->SetWindowRecursive(window);
    }
    if (window)
    {
        AttachedToWindow();
    }
}

void TBlxControl::RemoveChild(TBlxControl& child)
{
    auto it = std::find_if(FChildren.begin(), FChildren.end(),
                           [&](const auto& c) { return c.get() == &child; });
    if (it == FChildren.end())
    {
        return;
    }
    child.Invalidate();
    std::unique_ptr<TBlxControl> owned = std::move(*it);
    FChildren.erase(it);
    owned.reset();
}

void TBlxControl::SetBounds(const TBlxRect& r)
{
    if (r == FBounds)
    {
        return;
    }
    bool resized = r.Width != FBounds.Width || r.Height != FBounds.Height;
    bool moved = r.Left != FBounds.Left || r.Top != FBounds.Top;
    Invalidate();
    FBounds = r;
    Invalidate();
    if (moved)
    {
        Moved();
    }
    if (resized)
    {
        Resized();
        Raise(OnResize, *this);
    }
}

void TBlxControl::SetVisible(bool visible)
{
    if (visible == FVisible)
    {
        return;
    }
    if (!visible && FWindow)
    {
        Invalidate();
        FWindow->ControlHidden(*this);
    }
    FVisible = visible;
    Invalidate();
}

bool TBlxControl::Showing() const
{
    for (const TBlxControl* c = this; c; c = c->FParent)
    {
        if (!c->FVisible)
        {
            return false;
        }
    }
    return true;
}

void TBlxControl::SetEnabled(bool enabled)
{
    if (enabled == FEnabled)
    {
        return;
    }
    FEnabled = enabled;
    if (!enabled && FWindow)
    {
        FWindow->ControlHidden(*this);
    }
    EnabledChanged();
    Invalidate();
}

bool TBlxControl::EffectivelyEnabled() const
{
    for (const TBlxControl* c = this; c; c = c->FParent)
    {
        if (!c->FEnabled)
        {
            return false;
        }
    }
    return true;
}

TBlxFont TBlxControl::Font() const
{
    for (const TBlxControl* c = this; c; c = c->FParent)
    {
        if (c->FFont)
        {
            return *c->FFont;
        }
    }
    return {};
}

void TBlxControl::SetFont(const TBlxFont& font)
{
    FFont = font;
    Invalidate();
}

void TBlxControl::SetColor(TBlxColor color)
{
    if (color == FColor)
    {
        return;
    }
    FColor = color;
    Invalidate();
}

bool TBlxControl::Focused() const
{
    return FWindow && FWindow->FocusedControl() == this;
}

void TBlxControl::SetFocus()
{
    if (FWindow)
    {
        FWindow->SetFocusedControl(this);
    }
}

bool TBlxControl::HasCapture() const
{
    return FWindow && FWindow->CaptureControl() == this;
}

void TBlxControl::Invalidate()
{
    InvalidateRect(ClientRect());
}

void TBlxControl::InvalidateRect(const TBlxRect& localRect)
{
    if (!FWindow || !Showing())
    {
        return;
    }
    TBlxRect r = localRect.Intersect(ClientRect());
    TBlxPoint origin = ClientToWindow({0, 0});
    FWindow->InvalidateWindowRect(r.Offset(origin.X, origin.Y));
}

TBlxPoint TBlxControl::ClientToWindow(TBlxPoint p) const
{
    for (const TBlxControl* c = this; c && c->FParent; c = c->FParent)
    {
        p.X += c->FBounds.Left;
        p.Y += c->FBounds.Top;
    }
    return p;
}

TBlxPoint TBlxControl::WindowToClient(TBlxPoint p) const
{
    TBlxPoint origin = ClientToWindow({0, 0});
    return {p.X - origin.X, p.Y - origin.Y};
}

TBlxPoint TBlxControl::ClientToScreen(TBlxPoint p) const
{
    TBlxPoint w = ClientToWindow(p);
    if (!FWindow)
    {
        return w;
    }
    TBlxPoint origin = FWindow->ClientOriginOnScreen();
    return {origin.X + w.X, origin.Y + w.Y};
}

TBlxRect TBlxControl::BoundsInWindow() const
{
    TBlxPoint origin = ClientToWindow({0, 0});
    return {origin.X, origin.Y, FBounds.Width, FBounds.Height};
}

TBlxControl* TBlxControl::ControlAt(TBlxPoint local)
{
    if (!FVisible || !ClientRect().Contains(local) || !HitTest(local))
    {
        return nullptr;
    }
    // Later children lie above earlier ones.
    for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it)
    {
        TBlxControl& c = **it;
        if (TBlxControl* hit = c.ControlAt({local.X - c.FBounds.Left, local.Y - c.FBounds.Top}))
        {
            return hit;
        }
    }
    return this;
}

void TBlxControl::Paint(TBlxCanvas& canvas)
{
    if (FColor.A() != 0)
    {
        canvas.FillRect(ClientRect(), FColor);
    }
}

bool TBlxControl::HitTest(TBlxPoint) const
{
    return true;
}

void TBlxControl::Click()
{
    Raise(OnClick, *this);
}

bool TBlxControl::MouseDown(const TBlxMouseEvent&)
{
    return false;
}

bool TBlxControl::MouseUp(const TBlxMouseEvent&)
{
    return false;
}

bool TBlxControl::MouseMove(const TBlxMouseEvent&)
{
    return false;
}

bool TBlxControl::MouseWheel(const TBlxWheelEvent&)
{
    return false;
}

bool TBlxControl::KeyDown(const TBlxKeyEvent&)
{
    return false;
}

bool TBlxControl::KeyPress(char32_t&)
{
    return false;
}

bool TBlxControl::BeforeMouseDown()
{
    bool proceed = true;
    Raise(OnBeforeMouseDown, *this, proceed);
    return proceed;
}

} // namespace tumblet
