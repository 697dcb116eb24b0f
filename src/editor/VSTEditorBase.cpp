#include "editor/VSTEditorBase.h"

#include "controls/BlxSpeedButton.h"
#include "plugin/VSTPluginBaseDM.h"
#include "ui/BlxApplication.h"
#include "ui/BlxCanvas.h"
#include "ui/BlxScale.h"
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
    // The window exists before it is mapped, so that it appears at its scaled size at once.
    if (CreateHandle())
    {
        FDesktopScale = TBlxApplication::Instance().DesktopScale();
        ApplyEditorScale();
    }
    if (!TBlxWindow::Show())
        throw std::runtime_error("no window system to show the editor in");
}

void TfrmVSTEditorBase::ApplyEditorScale()
{
    FScaleUserSize = TVSTPluginBase::EditorSize();
    FScaleHostScale = FModule.HostEditorScale();
    const double scale =
        TBlxScale::ChoosePercent(FScaleUserSize, FScaleHostScale, FDesktopScale) / 100.0;
    if (scale == Scale())
        return;
    SetScale(scale);
    if (IsShown())
        FModule.ReportEditorSize(Width(), Height());
}

void TfrmVSTEditorBase::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                                  std::int32_t height)
{
    // The host speaks device pixels; the form keeps its logical size when they are its own.
    const TBlxRect device = ToDevice(ClientRect());
    const int logicalWidth = width == device.Width ? TBlxControl::Width() : int(width / Scale());
    const int logicalHeight =
        height == device.Height ? TBlxControl::Height() : int(height / Scale());
    TBlxControl::SetBounds(int(left / Scale()), int(top / Scale()), logicalWidth, logicalHeight);
}

void TfrmVSTEditorBase::Invalidate()
{
    TBlxControl::Invalidate();
    if (IsShown())
        PaintNow();
}

void TfrmVSTEditorBase::FocusControlUnderMouse()
{
    TBlxControl* c = ControlUnderPointer();
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
    if (TVSTPluginBase::EditorSize() != FScaleUserSize ||
        FModule.HostEditorScale() != FScaleHostScale)
        ApplyEditorScale();
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
    const TBlxPixelBuffer* tile = FBackground.At(canvas.Scale());
    if (tile == nullptr || tile->Width() <= 0 || tile->Height() <= 0)
    {
        TBlxWindow::Paint(canvas);
        return;
    }
    // The tile repeats from the window's top-left corner, whatever part is being repainted.
    canvas.TileImage(*tile, FBackground.Scale());
}

} // namespace tumblet
