#include "editor/VSTEditorBase.h"

#include "controls/BlxArtwork.h"
#include "controls/BlxSpeedButton.h"
#include "plugin/VSTPluginBaseDM.h"
#include "ui/BlxApplication.h"
#include "ui/BlxCanvas.h"
#include "ui/BlxStyle.h"

#include <stdexcept>

namespace tumblet
{

namespace
{
// The one-shot delay after showing before the window asks for the keyboard focus, ms.
constexpr int kFormActivatedDelayMs = 100;
} // namespace

TfrmVSTEditorBase::TfrmVSTEditorBase(TVSTPluginBase& module)
    : TBlxWindow(TBlxWindowKind::Embedded), FModule(module)
{
    SetName("frmVSTEditorBase");
    FSkin = TBlxStyle::Active() ? &TBlxStyle::Palette() : nullptr;
    FBackground = TBlxArtwork::Image("EditorBackground");
    SetColor(TBlxStyle::Palette().ButtonFace);
    SetFont({kBlxFontSegoeUI, 12, true, BlxColors::Black});

    panMain = &Add<TBlxGuiPanel>();
    panMain->SetName("panMain");
    panMain->SetPalette(FSkin);
    panMain->SetTabStop(true);
    SetActiveControl(panMain);

    timFormActivated.SetInterval(kFormActivatedDelayMs);
    timFormActivated.SetEnabled(false);
    timFormActivated.OnTimer = [this](TBlxTimer&) { timFormActivatedTimer(); };

    OnShow = [this](TBlxWindow&) { FormShow(); };
    OnMouseUp = [this](TBlxControl&, const TBlxMouseEvent& e)
    {
        if (e.Button == TBlxMouseButton::Left)
            FormClick();
    };
    OnWheelHandled = [this](TBlxWindow&) { FocusControlUnderMouse(); };
}

TfrmVSTEditorBase::~TfrmVSTEditorBase()
{
    timFormActivated.SetEnabled(false);
    // A learn started in this editor ends with it: nothing would show its prompt any more.
    FModule.SetLearnState(TVSTPluginBase::lsNone);
}

void TfrmVSTEditorBase::SetParentWindow(std::uintptr_t parentWindow)
{
    SetParentNativeId(TBlxNativeId(parentWindow));
}

void TfrmVSTEditorBase::Show()
{
    if (!TBlxWindow::Show())
        throw std::runtime_error("no window system to show the editor in");
}

void TfrmVSTEditorBase::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                                  std::int32_t height)
{
    TBlxControl::SetBounds(left, top, width, height);
}

void TfrmVSTEditorBase::Invalidate()
{
    TBlxControl::Invalidate();
    if (IsShown())
        PaintNow();
}

void TfrmVSTEditorBase::FocusControlUnderMouse()
{
    TBlxPoint screen = TBlxApplication::Instance().PointerPos();
    TBlxPoint origin = ClientOriginOnScreen();
    TBlxControl* c = ControlAt({screen.X - origin.X, screen.Y - origin.Y});
    // Buttons never take the focus: the wheel keeps going to the control it was meant for.
    if (c == nullptr || dynamic_cast<TBlxSpeedButton*>(c) != nullptr)
        return;
    while (c != nullptr && !c->CanFocus())
        c = c->Parent();
    if (c != nullptr)
        SetFocusedControl(c);
}

void TfrmVSTEditorBase::DeliverKey(const VstKeyCode& key, bool down)
{
    if (!down)
        return;
    TBlxPlatformEvent e;
    e.Kind = TBlxPlatformEvent::TKind::KeyDown;
    e.Key.Key = key.character != 0 ? TBlxKey::Character : TBlxKey::Other;
    e.Key.Char = char32_t(key.character);
    TBlxApplication::Instance().Dispatch(*this, e);
}

void TfrmVSTEditorBase::Idle()
{
    TBlxApplication& app = TBlxApplication::Instance();
    DrainMailbox();
    app.ProcessMessages();
}

void TfrmVSTEditorBase::FormShow()
{
    RefreshControls();
    timFormActivated.SetEnabled(true);
    UpdatePresetName();
    ShowInfo("");
}

void TfrmVSTEditorBase::timFormActivatedTimer()
{
    timFormActivated.SetEnabled(false);
    TakeNativeFocus();
}

void TfrmVSTEditorBase::FormClick()
{
    FocusControlUnderMouse();
}

void TfrmVSTEditorBase::Paint(TBlxCanvas& canvas)
{
    FormPaint(canvas);
}

void TfrmVSTEditorBase::FormPaint(TBlxCanvas& canvas)
{
    if (!FBackground || FBackground->Width() <= 0 || FBackground->Height() <= 0)
    {
        TBlxWindow::Paint(canvas);
        return;
    }
    // The tile repeats from the window's top-left corner, whatever part is being repainted.
    cairo_t* cr = canvas.Cairo();
    cairo_save(cr);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(FBackground->Surface());
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_set_source(cr, pattern);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_pattern_destroy(pattern);
    cairo_restore(cr);
}

} // namespace tumblet
