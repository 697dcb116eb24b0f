#include "ui/BlxWindow.h"

#include "ui/BlxApplication.h"
#include "ui/BlxCanvas.h"
#include "ui/BlxHooks.h"
#include "ui/BlxMenu.h"
#include "ui/BlxStyle.h"
#include "ui/BlxText.h"

#include <cmath>
#include <vector>

namespace tumblet
{

namespace
{

bool IsInside(const TBlxControl* c, const TBlxControl& ancestor)
{
    for (; c; c = c->Parent())
    {
        if (c == &ancestor)
        {
            return true;
        }
    }
    return false;
}

void CollectFocusable(TBlxControl& c, std::vector<TBlxControl*>& out)
{
    if (!c.Visible() || !c.Enabled())
    {
        return;
    }
    if (c.CanFocus())
    {
        out.push_back(&c);
    }
    for (int i = 0; i < c.ChildCount(); ++i)
    {
        CollectFocusable(c.Child(i), out);
    }
}

} // namespace

TBlxWindow::TBlxWindow(TBlxWindowKind kind) : FKind(kind), FAlive(std::make_shared<bool>(true))
{
    SetWindowRecursive(this);
    SetColor(TBlxStyle::Palette().ButtonFace);
    TBlxApplication::Instance().RegisterWindow(*this);
}

TBlxWindow::~TBlxWindow()
{
    *FAlive = false;
    // Children go while the window is still whole: they report their destruction to it.
    DestroyChildren();
    FNative.reset();
    TBlxApplication::Instance().UnregisterWindow(*this);
    FPlatform.reset();
}

void TBlxWindow::SetCaption(const std::string& caption)
{
    FCaption = caption;
    if (FNative)
    {
        FNative->SetCaption(caption);
    }
}

void TBlxWindow::SetPopupParent(TBlxWindow* parent)
{
    FPopupParent = parent;
    if (parent)
    {
        SetScale(parent->Scale());
    }
}

void TBlxWindow::SetScale(double scale)
{
    if (!(scale > 0) || scale == FScale)
    {
        return;
    }
    FScale = scale;
    FBackBuffer.Resize(ToDevice(ClientRect()).Width, ToDevice(ClientRect()).Height);
    InvalidateWindowRect(ClientRect());
    if (FNative)
    {
        FNative->SetBounds(ToDevice(Bounds()));
    }
}

TBlxRect TBlxWindow::ToDevice(const TBlxRect& r) const
{
    if (FScale == 1.0)
    {
        return r;
    }
    const int left = int(std::floor(r.Left * FScale)), top = int(std::floor(r.Top * FScale));
    return {left, top, int(std::ceil(r.Right() * FScale)) - left,
            int(std::ceil(r.Bottom() * FScale)) - top};
}

TBlxRect TBlxWindow::ToLogical(const TBlxRect& r) const
{
    if (FScale == 1.0)
    {
        return r;
    }
    const int left = int(std::floor(r.Left / FScale)), top = int(std::floor(r.Top / FScale));
    return {left, top, int(std::ceil(r.Right() / FScale)) - left,
            int(std::ceil(r.Bottom() / FScale)) - top};
}

TBlxPoint TBlxWindow::ToLogical(TBlxPoint p) const
{
    if (FScale == 1.0)
    {
        return p;
    }
    return {int(std::floor(p.X / FScale)), int(std::floor(p.Y / FScale))};
}

void TBlxWindow::SetPosition(TBlxPoint p)
{
    SetBounds(p.X, p.Y, Width(), Height());
}

void TBlxWindow::SetClientSize(int width, int height)
{
    SetBounds(Left(), Top(), width, height);
}

void TBlxWindow::Moved()
{
    if (FNative && !FApplyingConfigure)
    {
        FNative->SetBounds(ToDevice(Bounds()));
    }
}

void TBlxWindow::Resized()
{
    const TBlxRect device = ToDevice(ClientRect());
    FBackBuffer.Resize(device.Width, device.Height);
    InvalidateWindowRect(ClientRect());
    if (FNative && !FApplyingConfigure)
    {
        FNative->SetBounds(ToDevice(Bounds()));
    }
}

TBlxPoint TBlxWindow::ClientOriginOnScreen() const
{
    return FNative ? ToLogical(FNative->ClientOriginOnScreen()) : Position();
}

TBlxPoint TBlxWindow::NativeOriginOnScreen() const
{
    if (FNative)
    {
        return FNative->ClientOriginOnScreen();
    }
    const TBlxRect device = ToDevice(Bounds());
    return {device.Left, device.Top};
}

bool TBlxWindow::ContainsNative(TBlxPoint p) const
{
    return ToDevice(ClientRect()).Contains(p);
}

TBlxRect TBlxWindow::LogicalScreenRect() const
{
    return ToLogical(TBlxApplication::Instance().ScreenRect());
}

void TBlxWindow::CentreOn(const TBlxRect& r)
{
    SetPosition({r.Left + (r.Width - Width()) / 2, r.Top + (r.Height - Height()) / 2});
}

bool TBlxWindow::EnsureNativeWindow()
{
    if (FNative)
    {
        return true;
    }
    FPlatform = TBlxApplication::Instance().AcquirePlatform();
    if (!FPlatform)
    {
        return false;
    }
    TBlxWindowParams params;
    params.Kind = FKind;
    params.ParentId = FParentNativeId;
    if (FPopupParent && FPopupParent->EnsureNativeWindow())
    {
        params.TransientFor = FPopupParent->NativeId();
    }
    params.Bounds = ToDevice(Bounds());
    params.Caption = FCaption;
    FNative = FPlatform->CreateWindow(*this, params);
    const TBlxRect device = ToDevice(ClientRect());
    FBackBuffer.Resize(device.Width, device.Height);
    return FNative != nullptr;
}

TBlxNativeId TBlxWindow::NativeId() const
{
    return FNative ? FNative->Id() : 0;
}

bool TBlxWindow::GrabInput(bool grab)
{
    return FNative && FShown && FNative->GrabInput(grab);
}

bool TBlxWindow::Show()
{
    if (!EnsureNativeWindow())
    {
        return false;
    }
    const TBlxRect device = ToDevice(ClientRect());
    FBackBuffer.Resize(device.Width, device.Height);
    InvalidateWindowRect(ClientRect());
    FNative->Show();
    FShown = true;
    if (!FFocus)
    {
        if (FActiveControl && FActiveControl->CanFocus())
        {
            SetFocusedControl(FActiveControl);
        }
        else
        {
            SelectNext(true);
        }
    }
    Raise(OnShow, *this);
    return true;
}

void TBlxWindow::CancelPress()
{
    if (FCapture)
    {
        TBlxControl* c = FCapture;
        FCapture = nullptr;
        c->CaptureLost();
        Raise(c->OnCaptureLost, *c);
    }
    FHeldButtons = 0;
    FSwallowedButtons = 0;
    UpdateHover(nullptr);
}

void TBlxWindow::Hide()
{
    if (!FShown)
    {
        return;
    }
    CancelPress();
    FNative->Hide();
    FShown = false;
}

bool TBlxWindow::ShowModal(std::function<void(TBlxModalResult)> done)
{
    FModalResult = TBlxModalResult::None;
    if (!Show())
    {
        return false;
    }
    FModalDone = std::move(done);
    FInModal = true;
    TBlxApplication::Instance().PushModal(*this);
    return true;
}

bool TBlxWindow::FinishModal()
{
    if (!FInModal || FModalResult == TBlxModalResult::None)
    {
        return false;
    }
    TBlxApplication::Instance().PopModal(*this);
    FInModal = false;
    Hide();
    // The completion may destroy this window: nothing of it is touched afterwards.
    std::function<void(TBlxModalResult)> done = std::move(FModalDone);
    FModalDone = nullptr;
    if (done)
    {
        done(FModalResult);
    }
    return true;
}

void TBlxWindow::Close()
{
    Raise(OnClose, *this);
    if (FInModal)
    {
        if (FModalResult == TBlxModalResult::None)
        {
            FModalResult = TBlxModalResult::Cancel;
        }
    }
    else
    {
        Hide();
    }
}

void TBlxWindow::SetModalControl(TBlxControl* control, TBlxControl* defaultControl,
                                 TBlxControl* cancelControl, std::function<void()> pressOutside)
{
    if (FModalControl && !control)
    {
        // A press that closed the modal form (a double click, say) is released over what lay
        // below it: that release is not a click there.
        FSwallowedButtons |= FHeldButtons;
    }
    FModalControl = control;
    FModalDefault = control ? defaultControl : nullptr;
    FModalCancel = control ? cancelControl : nullptr;
    FModalPressOutside = control ? std::move(pressOutside) : nullptr;
    if (FFocus && !TakesInput(FFocus))
    {
        SetFocusedControl(nullptr);
    }
    if (FHover && !TakesInput(FHover))
    {
        UpdateHover(nullptr);
    }
}

bool TBlxWindow::TakesInput(const TBlxControl* control) const
{
    return !FModalControl || IsInside(control, *FModalControl);
}

void TBlxWindow::SetFocusedControl(TBlxControl* control)
{
    if (control == FFocus || (control && control->Window() != this) ||
        (control && !TakesInput(control)))
    {
        return;
    }
    TBlxControl* old = FFocus;
    FFocus = control;
    if (old)
    {
        old->Invalidate();
        old->FocusOut();
        Raise(old->OnExit, *old);
    }
    if (control && FFocus == control)
    {
        control->Invalidate();
        control->FocusIn();
        Raise(control->OnEnter, *control);
    }
}

void TBlxWindow::TakeNativeFocus()
{
    if (FNative && FShown)
    {
        FNative->TakeFocus();
    }
}

TBlxPoint TBlxWindow::PointerInWindow() const
{
    TBlxPoint screen = TBlxApplication::Instance().PointerPos();
    TBlxPoint origin = NativeOriginOnScreen();
    return ToLogical(TBlxPoint{screen.X - origin.X, screen.Y - origin.Y});
}

TBlxControl* TBlxWindow::ControlUnderPointer()
{
    return ControlAt(PointerInWindow());
}

void TBlxWindow::FocusControlUnderPointer()
{
    TBlxControl* c = ControlUnderPointer();
    while (c && !c->CanFocus())
    {
        c = c->Parent();
    }
    if (c)
    {
        SetFocusedControl(c);
    }
}

void TBlxWindow::SelectNext(bool forward)
{
    std::vector<TBlxControl*> list;
    CollectFocusable(FModalControl ? *FModalControl : *this, list);
    if (list.empty())
    {
        return;
    }
    int n = int(list.size());
    int current = -1;
    for (int i = 0; i < n; ++i)
    {
        if (list[size_t(i)] == FFocus)
        {
            current = i;
        }
    }
    int next = current < 0 ? (forward ? 0 : n - 1) : (current + (forward ? 1 : n - 1)) % n;
    SetFocusedControl(list[size_t(next)]);
}

void TBlxWindow::SetCapture(TBlxControl* control)
{
    if (FCapture && FCapture != control)
    {
        TBlxControl* old = FCapture;
        FCapture = nullptr;
        old->CaptureLost();
        Raise(old->OnCaptureLost, *old);
    }
    FCapture = control;
}

void TBlxWindow::ReleaseCapture()
{
    FCapture = nullptr;
}

bool TBlxWindow::DialogKey(TBlxKey key)
{
    const bool modal = FModalControl != nullptr;
    TBlxControl* c = key == TBlxKey::Enter    ? (modal ? FModalDefault : FDefaultControl)
                     : key == TBlxKey::Escape ? (modal ? FModalCancel : FCancelControl)
                                              : nullptr;
    if (!c || !c->Showing() || !c->EffectivelyEnabled())
    {
        return false;
    }
    c->Click();
    return true;
}

void TBlxWindow::ControlDestroyed(TBlxControl& control)
{
    for (TBlxControl** p : {&FFocus, &FActiveControl, &FCapture, &FHover, &FDefaultControl,
                            &FCancelControl, &FModalDefault, &FModalCancel})
    {
        if (*p == &control)
        {
            *p = nullptr;
        }
    }
    if (FModalControl == &control)
    {
        SetModalControl(nullptr);
    }
}

void TBlxWindow::ControlHidden(TBlxControl& control)
{
    if (FFocus && IsInside(FFocus, control))
    {
        SetFocusedControl(nullptr);
    }
    if (FCapture && IsInside(FCapture, control))
    {
        SetCapture(nullptr);
    }
    if (FHover && IsInside(FHover, control))
    {
        UpdateHover(nullptr);
    }
}

void TBlxWindow::InvalidateWindowRect(const TBlxRect& r)
{
    FDamage = FDamage.Union(r.Intersect(ClientRect()));
}

void TBlxWindow::PaintAll()
{
    InvalidateWindowRect(ClientRect());
    PaintNow();
}

void TBlxWindow::PaintNow()
{
    if (FDamage.IsEmpty())
    {
        return;
    }
    TBlxRect damage = FDamage;
    FDamage = {};
    const TBlxRect device = ToDevice(ClientRect());
    FBackBuffer.Resize(device.Width, device.Height);
    {
        TCairoContextHandle cr = FBackBuffer.CreateContext();
        TBlxCanvas canvas(cr.get(), FScale);
        BlxText::PrepareScaledContext(cr.get(), FScale);
        canvas.ResetTransform();
        canvas.ClipRect(damage);
        PaintTree(*this, canvas, damage);
    }
    cairo_surface_flush(FBackBuffer.Surface());
    FPaintedOnce = true;
    if (FNative && FShown)
    {
        FNative->Present(FBackBuffer.Surface(), ToDevice(damage));
    }
}

void TBlxWindow::PaintTree(TBlxControl& control, TBlxCanvas& canvas, const TBlxRect& damage)
{
    TBlxRect wb = &control == this ? ClientRect() : control.BoundsInWindow();
    if (wb.Intersect(damage).IsEmpty())
    {
        return;
    }
    canvas.Save();
    canvas.ResetTransform();
    canvas.Translate(wb.Left, wb.Top);
    canvas.ClipRect(control.ClientRect());
    control.Paint(canvas);
    for (int i = 0; i < control.ChildCount(); ++i)
    {
        TBlxControl& child = control.Child(i);
        if (child.Visible())
        {
            PaintTree(child, canvas, damage);
        }
    }
    canvas.Restore();
}

void TBlxWindow::Paint(TBlxCanvas& canvas)
{
    canvas.FillRect(ClientRect(), Color().WithAlpha(255));
}

} // namespace tumblet
