#include "editor/VSTEditorMenu.h"

#include "controls/BlxControlEvents.h"
#include "controls/BlxGuiStitchedSwitch.h"
#include "controls/BlxMenuButton.h"
#include "controls/BlxNumericInput.h"
#include "controls/BlxSlider.h"
#include "controls/BlxSpTBXSpeedButton.h"
#include "controls/CustomGuiStitchedDial.h"
#include "plugin/VSTPluginBaseDM.h"
#include "ui/BlxLabel.h"
#include "ui/BlxText.h"

#include <cmath>

namespace tumblet
{

namespace
{
constexpr int kInfoShowMs = 3000;
// The presets browser leaves this margin around itself inside the editor, pixels.
constexpr int kPresetsBrowserMargin = 32;
// Room the presets button keeps free around its caption, pixels.
constexpr int kPresetsCaptionMargin = 8;

std::int64_t RoundedInt(float value)
{
    return static_cast<std::int64_t>(std::nearbyint(value));
}

/// Drops the last code point of a UTF-8 text.
void DropLastCharacter(std::string& text)
{
    std::size_t end = text.size();
    while (end > 0)
    {
        --end;
        if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80)
            break;
    }
    text.resize(end);
}
} // namespace

TfrmVSTEditorMenu::TfrmVSTEditorMenu(TVSTPluginBase& module) : TfrmVSTEditorBase(module)
{
    SetName("frmVSTEditorMenu");
    CreateHeading();
    timInfo.SetInterval(kInfoShowMs);
    timInfo.SetEnabled(false);
    timInfo.OnTimer = [this](TBlxTimer&) { timInfoTimer(); };
    ddmMenu.OnPopup = [this](TBlxMenu&) { ddmMenuPopup(); };
    panMain->OnMouseUp = [this](TBlxControl&, const TBlxMouseEvent& e)
    {
        if (e.Button == TBlxMouseButton::Left)
            panMainClick();
    };
    FUserGuideFile = module.UserGuidePath();
}

TfrmVSTEditorMenu::~TfrmVSTEditorMenu()
{
    timInfo.SetEnabled(false);
}

void TfrmVSTEditorMenu::CreateHeading()
{
    panHeading = &Add<TBlxGuiPanel>();
    panHeading->SetName("panHeading");
    panHeading->SetPalette(Skin());
    panHeading->SetBounds(0, 0, 712, 41);
    panHeading->SetBorderRadius(2);
    panHeading->SetBorderWidth(1);
    panHeading->SetBorderColor(BlxColors::White);
    panHeading->SetPanelColor(BlxColors::White);
    panHeading->SetTransparent(true);
    panHeading->OnMouseUp = [this](TBlxControl&, const TBlxMouseEvent& e)
    {
        if (e.Button == TBlxMouseButton::Left)
            FocusControlUnderMouse();
    };

    btnMenu = &panHeading->Add<TBlxMenuButton>();
    btnMenu->SetName("btnMenu");
    btnMenu->SetPalette(Skin());
    btnMenu->SetBounds(6, 8, 26, 26);
    btnMenu->SetDropDownMenu(&ddmMenu);
    btnMenu->SetDropDownArrow(false);
    btnMenu->SetTag(-1);
    btnMenu->SetFont({kBlxFontSegoeUI, 12, true, BlxColors::Black});

    lblName = &panHeading->Add<TBlxLabel>();
    lblName->SetName("lblName");
    lblName->SetFont({kBlxFontTahoma, 21, true, BlxColors::Black});
    lblName->SetBounds(40, 9, 62, 25);
    lblName->SetAutoSize(true);
    lblName->SetCaption(Module().ProductName());

    btnPresets = &panHeading->Add<TBlxSpTBXSpeedButton>();
    btnPresets->SetName("btnPresets");
    btnPresets->SetPalette(Skin());
    btnPresets->SetBounds(244, 8, 225, 26);
    btnPresets->SetCaption("-");
    btnPresets->SetDropDownArrow(false);
    btnPresets->SetTag(-1);
    btnPresets->SetFont({kBlxFontSegoeUI, 13, true, BlxColors::Black});
    btnPresets->OnClick = [this](TBlxControl&) { btnPresetsClick(); };

    panInfo = &panHeading->Add<TBlxGuiPanel>();
    panInfo->SetName("panInfo");
    panInfo->SetPalette(Skin());
    panInfo->SetBounds(483, 8, 222, 26);
    panInfo->SetBorderRadius(6);
    panInfo->SetBorderWidth(1);
    panInfo->SetBorderColor(BlxColors::White);
    panInfo->SetPanelColor(BlxColors::Silver);
    panInfo->SetPanelGroupColor(true);
    panInfo->SetTransparent(true);

    lblInfo = &panInfo->Add<TBlxLabel>();
    lblInfo->SetName("lblInfo");
    lblInfo->SetBounds(6, 6, 210, 14);
    lblInfo->SetAlignment(TBlxAlignment::Center);
    lblInfo->SetFont({kBlxFontTahoma, 11, false, BlxColors::Black});

    panHeading->Loaded();
    panInfo->Loaded();
    btnMenu->Loaded();
}

void TfrmVSTEditorMenu::ShowInfo(const std::string& text)
{
    timInfo.SetEnabled(false);
    if (!text.empty())
    {
        lblInfo->SetCaption(text);
        timInfo.SetEnabled(true);
    }
    else
    {
        lblInfo->SetCaption("");
    }
    lblInfo->Invalidate();
}

void TfrmVSTEditorMenu::SetInfoText(const std::string& text)
{
    lblInfo->SetCaption(text);
}

void TfrmVSTEditorMenu::timInfoTimer()
{
    timInfo.SetEnabled(false);
    const std::uint8_t state = Module().LearnState();
    // A learn prompt stays as long as its mode lasts.
    if (state == TVSTPluginBase::lsLearning || state == TVSTPluginBase::lsSettingCC)
        timInfo.SetEnabled(true);
    else
        ShowInfo("");
}

void TfrmVSTEditorMenu::UpdatePresetName()
{
    std::string caption = Module().PresetName();
    if (caption.empty())
    {
        btnPresets->SetCaption("-");
        return;
    }
    const int room = btnPresets->Width() - kPresetsCaptionMargin;
    const TBlxFont font = btnPresets->Font();
    while (!caption.empty() && BlxText::Extent(font, caption).Width > room)
        DropLastCharacter(caption);
    btnPresets->SetCaption(caption);
}

void TfrmVSTEditorMenu::CancelMidiLearn()
{
    Module().SetLearnState(TVSTPluginBase::lsNone);
    ShowInfo("");
}

void TfrmVSTEditorMenu::LowestOctaveChanged()
{
    ShowInfo("");
}

TBlxSize TfrmVSTEditorMenu::GetPresetsBrowserSize()
{
    return {ClientWidth() - kPresetsBrowserMargin, ClientHeight() - kPresetsBrowserMargin};
}

void TfrmVSTEditorMenu::panMainClick()
{
    FocusControlUnderMouse();
    CancelMidiLearn();
}

void TfrmVSTEditorMenu::DrainMailbox()
{
    TVSTPluginBase& module = Module();
    TEditorMailbox::TKind kind = TEditorMailbox::TKind::None;
    if (module.EditorMailbox().Take(kind, FMailText))
    {
        if (kind == TEditorMailbox::TKind::InfoLabel)
            SetInfoText(FMailText);
        else if (kind == TEditorMailbox::TKind::ShowInfo)
            ShowInfo(FMailText);
    }
    if (module.TakePresetNameChanged())
        UpdatePresetName();
}

bool TfrmVSTEditorMenu::ControlBeforeMouseDown(const std::string& name, unsigned shift,
                                               const std::function<void()>& update)
{
    TVSTPluginBase& module = Module();
    const std::uint8_t state = module.LearnState();
    if (state == TVSTPluginBase::lsLearning)
    {
        module.LearnControlPressed(name);
        return false;
    }
    if (state == TVSTPluginBase::lsSettingCC)
    {
        module.SetCCControlPressed(name);
        return false;
    }
    if ((shift & ssLeft) == 0)
        return true;
    const std::string parameter = GetParameterName(name);
    if ((shift & ssCtrl) != 0)
    {
        module.ParameterValues().Items(parameter).ResetToDefault(false);
        if (update)
            update();
        ShowParameterInfo(name);
        return false;
    }
    module.NotifyParameterTouched(parameter);
    ShowParameterInfo(name);
    return true;
}

void TfrmVSTEditorMenu::ControlChanged(const std::string& name, TBlxControl& control, float value)
{
    if (FUpdating)
        return;
    TVSTPluginBase& module = Module();
    const std::string parameter = GetParameterName(name);
    const float p = module.ParameterValues().Items(parameter).Value();
    if (auto* dial = dynamic_cast<TCustomGuiStitchedDial*>(&control))
    {
        if (p != dial->Value())
            module.SetParameterByName(parameter, dial->Value());
    }
    else if (auto* button = dynamic_cast<TBlxSpTBXSpeedButton*>(&control))
    {
        if (p != value)
        {
            const auto tag = static_cast<std::int32_t>(RoundedInt(value));
            std::string text;
            module.ValueListText(parameter, tag, text);
            button->SetSelectedValue(tag);
            button->SetCaption(text);
            module.SetParameterByName(parameter, value);
        }
    }
    else if (auto* slider = dynamic_cast<TBlxSlider*>(&control))
    {
        if (p != slider->Value())
            module.SetParameterByName(parameter, slider->Value());
    }
    else if (auto* input = dynamic_cast<TBlxNumericInput*>(&control))
    {
        if (p != input->Value())
            module.SetParameterByName(parameter, input->Value());
    }
    else if (auto* toggle = dynamic_cast<TBlxGuiStitchedSwitch*>(&control))
    {
        const float on = toggle->Value() ? 1.0f : 0.0f;
        if (RoundedInt(p) != RoundedInt(on))
            module.SetParameterByName(parameter, on);
    }
    ShowParameterInfo(name);
}

void TfrmVSTEditorMenu::UpdateControl(const std::string& name, TBlxControl& control)
{
    TEditorUpdatingScope updating(FUpdating);
    const float p = Module().ParameterValues().Items(GetParameterName(name)).Value();
    if (auto* dial = dynamic_cast<TCustomGuiStitchedDial*>(&control))
    {
        if (p != dial->Value())
            dial->SetValue(p);
    }
    else if (auto* button = dynamic_cast<TBlxSpTBXSpeedButton*>(&control))
    {
        const auto tag = static_cast<std::int32_t>(RoundedInt(p));
        if (tag != button->SelectedValue())
        {
            std::string text;
            Module().ValueListText(GetParameterName(name), tag, text);
            button->SetSelectedValue(tag);
            button->SetCaption(text);
        }
    }
    else if (auto* slider = dynamic_cast<TBlxSlider*>(&control))
    {
        if (p != slider->Value())
            slider->SetValue(p);
    }
    else if (auto* input = dynamic_cast<TBlxNumericInput*>(&control))
    {
        if (p != input->Value())
            input->SetValue(p);
    }
    else if (auto* toggle = dynamic_cast<TBlxGuiStitchedSwitch*>(&control))
    {
        const bool on = RoundedInt(p) != 0;
        if (on != toggle->Value())
            toggle->SetValue(on);
    }
}

} // namespace tumblet
