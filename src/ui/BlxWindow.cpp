#include "ui/BlxWindow.h"

#include "ui/BlxApplication.h"
#include "ui/BlxCanvas.h"
#include "ui/BlxHooks.h"
#include "ui/BlxMenu.h"
#include "ui/BlxStyle.h"

#include <cstdlib>
#include <vector>

namespace tumblet
{

namespace
{

/// Presses closer than this in time (ms) and distance (px) make a double click.
constexpr int kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 4;

unsigned ButtonBit(TBlxMouseButton b)
{
    switch (b)
    {
    case TBlxMouseButton::Left:
        return ssLeft;
    case TBlxMouseButton::Right:
        return ssRight;
    case TBlxMouseButton::Middle:
        return ssMiddle;
    default:
        return 0;
    }
}

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

/// The character a key produces: control codes as the classic edit boxes expect them.
char32_t CharFor(const TBlxKeyEvent& e)
{
    switch (e.Key)
    {
    case TBlxKey::Character:
        if ((e.Shift & ssCtrl) && e.Char < 128 && std::isalpha(int(e.Char)))
        {
            return char32_t(std::toupper(int(e.Char)) - 'A' + 1);
        }
        return (e.Shift & (ssCtrl | ssAlt)) ? 0 : e.Char;
    case TBlxKey::Backspace:
        return 8;
    case TBlxKey::Enter:
        return 13;
    case TBlxKey::Escape:
        return 27;
    default:
        return 0;
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
        FNative->SetBounds(Bounds());
    }
}

void TBlxWindow::Resized()
{
    FBackBuffer.Resize(Width(), Height());
    InvalidateWindowRect(ClientRect());
    if (FNative && !FApplyingConfigure)
    {
        FNative->SetBounds(Bounds());
    }
}

TBlxPoint TBlxWindow::ClientOriginOnScreen() const
{
    return FNative ? FNative->ClientOriginOnScreen() : Position();
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
    params.Bounds = Bounds();
    params.Caption = FCaption;
    FNative = FPlatform->CreateWindow(*this, params);
    FBackBuffer.Resize(Width(), Height());
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
    FBackBuffer.Resize(Width(), Height());
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

void TBlxWindow::Hide()
{
    if (!FShown)
    {
        return;
    }
    if (FCapture)
    {
        TBlxControl* c = FCapture;
        FCapture = nullptr;
        c->CaptureLost();
    }
    FHeldButtons = 0;
    UpdateHover(nullptr);
    FNative->Hide();
    FShown = false;
}

TBlxModalResult TBlxWindow::ShowModal()
{
    TBlxApplication& app = TBlxApplication::Instance();
    FModalResult = TBlxModalResult::None;
    if (!Show())
    {
        return TBlxModalResult::Cancel;
    }
    std::shared_ptr<bool> alive = FAlive;
    FInModal = true;
    app.PushModal(*this);
    app.RunModalLoop([&] { return !*alive || FModalResult != TBlxModalResult::None; });
    if (!*alive)
    {
        return TBlxModalResult::Cancel;
    }
    app.PopModal(*this);
    FInModal = false;
    Hide();
    if (FModalResult == TBlxModalResult::None)
    {
        FModalResult = TBlxModalResult::Cancel;
    }
    return FModalResult;
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

void TBlxWindow::SetFocusedControl(TBlxControl* control)
{
    if (control == FFocus || (control && control->Window() != this))
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

void TBlxWindow::FocusControlUnderPointer()
{
    TBlxPoint screen = TBlxApplication::Instance().PointerPos();
    TBlxPoint origin = ClientOriginOnScreen();
    TBlxControl* c = ControlAt({screen.X - origin.X, screen.Y - origin.Y});
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
    CollectFocusable(*this, list);
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
    }
    FCapture = control;
}

void TBlxWindow::ReleaseCapture()
{
    FCapture = nullptr;
}

bool TBlxWindow::DialogKey(TBlxKey key)
{
    TBlxControl* c = key == TBlxKey::Enter    ? FDefaultControl
                     : key == TBlxKey::Escape ? FCancelControl
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
                            &FCancelControl})
    {
        if (*p == &control)
        {
            *p = nullptr;
        }
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

void TBlxWindow::HandleEvent(const TBlxPlatformEvent& e)
{
    using K = TBlxPlatformEvent::TKind;
    switch (e.Kind)
    {
    case K::MouseDown:
        return DispatchMouseDown(e.Mouse);
    case K::MouseUp:
        return DispatchMouseUp(e.Mouse);
    case K::MouseMove:
        return DispatchMouseMove(e.Mouse);
    case K::MouseLeave:
        return UpdateHover(nullptr);
    case K::Wheel:
        return DispatchWheel(e.Wheel);
    case K::KeyDown:
        return DispatchKey(e.Key);
    case K::Expose:
        return ExposeRect(e.Rect);
    case K::Configure:
        return ApplyConfigure(e.Rect);
    case K::CloseRequest:
        return Close();
    case K::FocusIn:
    case K::FocusOut:
        return;
    }
}

void TBlxWindow::ExposeRect(const TBlxRect& r)
{
    // The back buffer still holds the pixels: copy them again instead of repainting.
    if (FPaintedOnce && FNative && FShown)
    {
        FNative->Present(FBackBuffer.Surface(), r.Intersect(ClientRect()));
    }
    else
    {
        InvalidateWindowRect(r);
    }
}

void TBlxWindow::ApplyConfigure(const TBlxRect& r)
{
    FApplyingConfigure = true;
    // Embedded windows keep their own idea of their position inside the host's parent.
    TBlxRect b = FKind == TBlxWindowKind::Embedded ? TBlxRect{Left(), Top(), r.Width, r.Height}
                                                   : r;
    SetBounds(b);
    FApplyingConfigure = false;
}

TBlxMouseEvent TBlxWindow::ToLocal(const TBlxMouseEvent& e, const TBlxControl& c) const
{
    TBlxMouseEvent local = e;
    local.Pos = c.WindowToClient(e.Pos);
    return local;
}

int TBlxWindow::ClickCountFor(const TBlxMouseEvent& e)
{
    int64_t now = TBlxApplication::Instance().NowMs();
    bool second = e.Button == FLastPressButton && now - FLastPressTime <= kDoubleClickMs &&
                  std::abs(e.Pos.X - FLastPressPos.X) <= kDoubleClickSlop &&
                  std::abs(e.Pos.Y - FLastPressPos.Y) <= kDoubleClickSlop;
    // A third press starts a new pair.
    FLastPressTime = second ? -kDoubleClickMs * 2 : now;
    FLastPressPos = e.Pos;
    FLastPressButton = e.Button;
    return second ? 2 : 1;
}

void TBlxWindow::DispatchMouseDown(const TBlxMouseEvent& e)
{
    FHeldButtons |= ButtonBit(e.Button);
    TBlxControl* target = FCapture ? FCapture : ControlAt(e.Pos);
    if (!target)
    {
        // Only a grabbing popup hears presses outside itself: they dismiss it.
        if (FKind == TBlxWindowKind::Popup)
        {
            Raise(OnPressOutside, *this);
        }
        return;
    }
    if (!target->EffectivelyEnabled() || !target->BeforeMouseDown())
    {
        return;
    }
    if (target->CanFocus())
    {
        SetFocusedControl(target);
        if (FNative && FKind == TBlxWindowKind::Embedded)
        {
            FNative->TakeFocus();
        }
    }
    SetCapture(target);
    TBlxMouseEvent local = ToLocal(e, *target);
    local.ClickCount = ClickCountFor(e);
    local.Shift |= FHeldButtons;
    target->MouseDown(local);
    Raise(target->OnMouseDown, *target, local);
    if (local.ClickCount == 2)
    {
        Raise(target->OnDblClick, *target);
    }
}

void TBlxWindow::DispatchMouseUp(const TBlxMouseEvent& e)
{
    FHeldButtons &= ~ButtonBit(e.Button);
    TBlxControl* target = FCapture ? FCapture : ControlAt(e.Pos);
    if (FHeldButtons == 0)
    {
        ReleaseCapture();
    }
    if (target && target->EffectivelyEnabled())
    {
        TBlxMouseEvent local = ToLocal(e, *target);
        local.Shift |= FHeldButtons;
        target->MouseUp(local);
        Raise(target->OnMouseUp, *target, local);
        if (e.Button == TBlxMouseButton::Right && target->ClientRect().Contains(local.Pos))
        {
            OpenContextMenu(*target, e.Pos);
        }
    }
    if (FHeldButtons == 0)
    {
        UpdateHover(ControlAt(e.Pos));
    }
}

void TBlxWindow::OpenContextMenu(TBlxControl& target, TBlxPoint windowPos)
{
    for (TBlxControl* c = &target; c; c = c->Parent())
    {
        if (TBlxMenu* menu = c->PopupMenu())
        {
            TBlxPoint origin = ClientOriginOnScreen();
            menu->Popup(this, {origin.X + windowPos.X, origin.Y + windowPos.Y});
            return;
        }
    }
}

void TBlxWindow::DispatchMouseMove(const TBlxMouseEvent& e)
{
    if (FCapture)
    {
        FCapture->MouseMove(ToLocal(e, *FCapture));
        return;
    }
    TBlxControl* c = ControlAt(e.Pos);
    UpdateHover(c);
    if (c && c->EffectivelyEnabled())
    {
        c->MouseMove(ToLocal(e, *c));
    }
}

void TBlxWindow::UpdateHover(TBlxControl* control)
{
    if (control != FHover)
    {
        TBlxControl* old = FHover;
        FHover = control;
        if (old)
        {
            old->MouseLeave();
        }
        if (control && FHover == control)
        {
            control->MouseEnter();
        }
    }
    TBlxCursor cursor = FHover && FHover->EffectivelyEnabled() ? FHover->Cursor()
                                                               : TBlxCursor::Default;
    if (cursor != FShownCursor && FNative)
    {
        FShownCursor = cursor;
        FNative->SetCursor(cursor);
    }
}

void TBlxWindow::DispatchWheel(const TBlxWheelEvent& e)
{
    for (TBlxControl* c = ControlAt(e.Pos); c; c = c->Parent())
    {
        TBlxWheelEvent local = e;
        local.Pos = c->WindowToClient(e.Pos);
        if (c->EffectivelyEnabled() && c->MouseWheel(local))
        {
            return;
        }
    }
}

void TBlxWindow::DispatchKey(const TBlxKeyEvent& e)
{
    TBlxControl* target = FFocus ? FFocus : this;
    if (target->KeyDown(e))
    {
        return;
    }
    if (e.Key == TBlxKey::Tab && !(e.Shift & (ssCtrl | ssAlt)))
    {
        SelectNext(!(e.Shift & ssShift));
        return;
    }
    char32_t ch = CharFor(e);
    bool handled = false;
    if (ch != 0)
    {
        TBlxControl* charTarget = FFocus ? FFocus : this;
        handled = charTarget->KeyPress(ch);
    }
    if (!handled && (e.Key == TBlxKey::Enter || e.Key == TBlxKey::Escape))
    {
        DialogKey(e.Key);
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
    FBackBuffer.Resize(Width(), Height());
    {
        TCairoContextHandle cr = FBackBuffer.CreateContext();
        TBlxCanvas canvas(cr.get());
        canvas.ClipRect(damage);
        PaintTree(*this, canvas, damage);
    }
    cairo_surface_flush(FBackBuffer.Surface());
    FPaintedOnce = true;
    if (FNative && FShown)
    {
        FNative->Present(FBackBuffer.Surface(), damage);
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
    cairo_identity_matrix(canvas.Cairo());
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
