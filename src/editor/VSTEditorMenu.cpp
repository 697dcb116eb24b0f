#include "editor/VSTEditorMenu.h"
#include "base/TextOrder.h"

#include "controls/BlxControlEvents.h"
#include "controls/BlxGuiStitchedSwitch.h"
#include "controls/BlxMenuButton.h"
#include "controls/BlxNumericInput.h"
#include "controls/BlxSlider.h"
#include "controls/BlxSpTBXSpeedButton.h"
#include "controls/CustomGuiStitchedDial.h"
#include "editor/Dialogs.h"
#include "editor/PresetsForm.h"
#include "plugin/BlxCommon.h"
#include "plugin/VSTPluginBaseDM.h"
#include "ui/BlxLabel.h"
#include "ui/BlxScale.h"
#include "ui/BlxShell.h"
#include "ui/BlxText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <dlfcn.h>
#include <locale.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <vector>

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

// The longest preset name the save dialog takes, in characters.
constexpr int kPresetNameMaxLength = 50;
// The Lowest Octave items, in menu order, with the octave number each stands for.
constexpr std::int32_t kLowestOctaves[] = {0, -1, -2};

/// One line of the mapping removal submenu.
struct TMappingEntry
{
    std::string Key;
    std::string Caption;
    std::int32_t Index = 0;
};

/// The last change of the file this code was loaded from (the plug-in's library), written in
/// the user's short date format; empty when it cannot be found out.
std::string LibraryDateText()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LibraryDateText), &info) == 0 || info.dli_fname == nullptr)
        return {};
    struct stat file
    {
    };
    if (::stat(info.dli_fname, &file) != 0)
        return {};
    std::tm local{};
    if (localtime_r(&file.st_mtime, &local) == nullptr)
        return {};
    // The host's own locale is left alone: the user's date format is read from the
    // environment into a locale object of our own.
    locale_t user = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr))
        user = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr))
        return {};
    char text[128] = {};
    const std::size_t length = strftime_l(text, sizeof text, "%x", &local, user);
    freelocale(user);
    return std::string(text, length);
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
    CreateMainMenu();
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

void TfrmVSTEditorMenu::CreateMainMenu()
{
    TBlxMenuItem& items = ddmMenu.Items();
    const auto add = [](TBlxMenuItem& parent, const char* name, const char* caption,
                        std::function<void(TBlxMenuItem&)> click, int tag = 0)
    {
        TBlxMenuItem& item = parent.Add(caption, tag);
        item.SetName(name);
        item.OnClick = std::move(click);
        return &item;
    };
    ddmMenu_Init =
        add(items, "ddmMenu_Init", "Init", [this](TBlxMenuItem&) { ddmMenu_InitClick(); });
    items.AddSeparator();
    ddmMenu_LoadPreset = add(items, "ddmMenu_LoadPreset", "Load Preset",
                             [this](TBlxMenuItem&) { ddmMenu_LoadPresetClick(); });
    ddmMenu_SavePreset = add(items, "ddmMenu_SavePreset", "Save Preset",
                             [this](TBlxMenuItem&) { ddmMenu_SavePresetClick(); });
    items.AddSeparator();
    ddmMenu_MidiCCLearn = add(items, "ddmMenu_MidiCCLearn", "MIDI CC Learn",
                              [this](TBlxMenuItem&) { ddmMenu_MidiCCLearnClick(); });
    ddmMenu_MidiSetCC = add(items, "ddmMenu_MidiSetCC", "MIDI Set CC",
                            [this](TBlxMenuItem&) { ddmMenu_MidiSetCCClick(); });
    ddmMenu_MidiCCRemove = add(items, "ddmMenu_MidiCCRemove", "MIDI CC Remove", nullptr);
    items.AddSeparator();
    ddmMain_LowestOctave = add(items, "ddmMain_LowestOctave", "Lowest Octave", nullptr);
    ddmMain_LowestOctave_0 = add(*ddmMain_LowestOctave, "ddmMain_LowestOctave_0", "0",
                                 [this](TBlxMenuItem&) { ddmMain_LowestOctave_0Click(); });
    ddmMain_LowestOctave_min1 = add(*ddmMain_LowestOctave, "ddmMain_LowestOctave_min1", "-1",
                                    [this](TBlxMenuItem&) { ddmMain_LowestOctave_min1Click(); });
    ddmMain_LowestOctave_min2 = add(*ddmMain_LowestOctave, "ddmMain_LowestOctave_min2", "-2",
                                    [this](TBlxMenuItem&) { ddmMain_LowestOctave_min2Click(); });
    ddmMain_Skin = add(items, "ddmMain_Skin", "Skin", nullptr);
    const auto skin = [this](TBlxMenuItem& sender) { ddmMain_Skin_CarbonClick(sender); };
    ddmMain_Skin_Carbon = add(*ddmMain_Skin, "ddmMain_Skin_Carbon", "Carbon", skin, 0);
    ddmMain_Skin_Black = add(*ddmMain_Skin, "ddmMain_Skin_Black", "Dark", skin, 1);
    ddmMain_Skin_Light = add(*ddmMain_Skin, "ddmMain_Skin_Light", "Light", skin, 2);
    ddmMain_Skin_Luna = add(*ddmMain_Skin, "ddmMain_Skin_Luna", "Luna", skin, 3);
    ddmMain_Skin_Smokey = add(*ddmMain_Skin, "ddmMain_Skin_Smokey", "Smokey", skin, 4);
    ddmMain_EditorSize = add(items, "ddmMain_EditorSize", "Editor Size", nullptr);
    const auto size = [this](TBlxMenuItem& sender) { ddmMain_EditorSizeClick(sender); };
    add(*ddmMain_EditorSize, "ddmMain_EditorSize_Automatic", "Automatic", size, 0);
    for (int percent : TBlxScale::kSteps)
    {
        TBlxMenuItem& item = ddmMain_EditorSize->Add(std::to_string(percent) + "%", percent);
        item.SetName("ddmMain_EditorSize_" + std::to_string(percent));
        item.OnClick = size;
    }
    for (TBlxMenuItem* submenu : {ddmMain_LowestOctave, ddmMain_Skin, ddmMain_EditorSize})
        for (int i = 0; i < submenu->Count(); ++i)
            submenu->Item(i).SetRadioItem(true);
    items.AddSeparator();
    ddmMenu_OpenUserGuide = add(items, "ddmMenu_OpenUserGuide", "Open User Guide",
                                [this](TBlxMenuItem&) { ddmMenu_OpenUserGuideClick(); });
    items.AddSeparator();
    ddmMenu_About =
        add(items, "ddmMenu_About", "About", [this](TBlxMenuItem&) { ddmMenu_AboutClick(); });
}

void TfrmVSTEditorMenu::ddmMenuPopup()
{
    TVSTPluginBase& module = Module();
    const std::uint8_t state = module.LearnState();
    const bool learning = state == TVSTPluginBase::lsLearning;
    const bool settingCC = state == TVSTPluginBase::lsSettingCC;
    ddmMenu_MidiCCLearn->SetChecked(learning);
    ddmMenu_MidiCCLearn->SetBold(learning);
    ddmMenu_MidiSetCC->SetChecked(settingCC);
    ddmMenu_MidiSetCC->SetBold(settingCC);

    FillMidiCCRemove();

    ddmMain_LowestOctave->SetVisible(true);
    const std::int32_t octave = module.LowestOctave();
    for (int i = 0; i < ddmMain_LowestOctave->Count(); ++i)
        ddmMain_LowestOctave->Item(i).SetChecked(kLowestOctaves[i] == octave);
    TBlxPopupMenu::CheckMenuItemByTag(ddmMenu, module.Style(), ddmMain_Skin, false);
    TBlxPopupMenu::CheckMenuItemByTag(ddmMenu, TVSTPluginBase::EditorSize(), ddmMain_EditorSize,
                                      false);

    ddmMenu_OpenUserGuide->SetVisible(FileExists(FUserGuideFile));
    UpdateMenuSeparators();
}

void TfrmVSTEditorMenu::FillMidiCCRemove()
{
    TVSTPluginBase& module = Module();
    std::vector<TMappingEntry> entries;
    {
        std::lock_guard<std::recursive_mutex> lock(module.InstanceLock());
        const TMidiCCList& list = module.MidiCCList();
        entries.reserve(static_cast<std::size_t>(list.Count()));
        for (std::int32_t i = 0; i < list.Count(); ++i)
        {
            const TMidiCCItem& item = list.Items(i);
            char number[16] = {};
            std::snprintf(number, sizeof number, "%03d", static_cast<int>(item.CC));
            entries.push_back(
                {number + item.Name, "CC# " + std::to_string(item.CC) + " - " + item.Name, i});
        }
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return LessIgnoringCase(a.Key, b.Key); });
    ddmMenu_MidiCCRemove->Clear();
    for (const TMappingEntry& entry : entries)
    {
        TBlxMenuItem& item = ddmMenu_MidiCCRemove->Add(entry.Caption, entry.Index);
        item.OnClick = [this](TBlxMenuItem& sender) { ddmMenu_MidiCCRemoveItemClick(sender); };
    }
    ddmMenu_MidiCCRemove->SetEnabled(!entries.empty());
}

void TfrmVSTEditorMenu::UpdateMenuSeparators()
{
    // A separator shows only between two groups that both have something to show.
    TBlxMenuItem& items = ddmMenu.Items();
    TBlxMenuItem* pending = nullptr;
    bool anyBefore = false;
    for (int i = 0; i < items.Count(); ++i)
    {
        TBlxMenuItem& item = items.Item(i);
        if (item.IsSeparator())
        {
            item.SetVisible(false);
            if (anyBefore)
                pending = &item;
        }
        else if (item.Visible())
        {
            if (pending != nullptr)
                pending->SetVisible(true);
            pending = nullptr;
            anyBefore = true;
        }
    }
}

void TfrmVSTEditorMenu::ddmMenu_InitClick()
{
    ShowMessageDialogLater(FDialog, this, "Initialize preset?", "Init", TMsgDlgButtons::YesNo,
                           TMsgDlgType::Confirmation,
                           [this](TBlxModalResult answer)
                           {
                               if (answer == TBlxModalResult::Yes)
                                   InitPreset();
                           });
}

void TfrmVSTEditorMenu::InitPreset()
{
    Module().LoadInitPreset();
    AfterInit();
    RefreshControls();
    ShowInfo("");
}

void TfrmVSTEditorMenu::ddmMenu_LoadPresetClick()
{
    btnPresetsClick();
}

void TfrmVSTEditorMenu::btnPresetsClick()
{
    TVSTPluginBase& module = Module();
    ShowPresetsBrowser(*this, GetPresetsBrowserSize(), module.PresetsFolder(), module.PresetName(),
                       [this](std::optional<std::string> path) { PresetsBrowserClosed(path); });
}

void TfrmVSTEditorMenu::PresetsBrowserClosed(const std::optional<std::string>& path)
{
    // The host may close the editor, or the module, while a message about the load is up:
    // afterwards only the flag is read until it is known that this form still lives.
    const std::shared_ptr<bool> alive = AliveFlag();
    TVSTPluginBase& module = Module();
    if (path)
    {
        module.LoadPresetFile(*path, this);
        if (!*alive)
            return;
    }
    else
    {
        // The browser may have deleted the current preset's file.
        const std::string name = module.PresetName();
        if (!name.empty() && !module.PresetExists(name))
            module.SetPresetName("");
    }
    AfterPresetsBrowser();
}

void TfrmVSTEditorMenu::ddmMenu_SavePresetClick()
{
    InputTextDialog(FDialog, this, "Save Preset", "Name", true, kPresetNameMaxLength,
                    Module().PresetName(),
                    [this](std::optional<std::string> name)
                    {
                        if (name)
                            Module().SavePresetFile(*name, this);
                    });
}

void TfrmVSTEditorMenu::ddmMenu_MidiCCLearnClick()
{
    Module().ToggleLearn();
}

void TfrmVSTEditorMenu::ddmMenu_MidiSetCCClick()
{
    Module().ToggleSetCC();
}

void TfrmVSTEditorMenu::ddmMenu_MidiCCRemoveItemClick(TBlxMenuItem& sender)
{
    Module().RemoveMapping(sender.Tag());
}

void TfrmVSTEditorMenu::ChooseLowestOctave(std::int32_t value)
{
    Module().SetLowestOctave(value);
    LowestOctaveChanged();
}

void TfrmVSTEditorMenu::ddmMain_LowestOctave_0Click()
{
    ChooseLowestOctave(0);
}

void TfrmVSTEditorMenu::ddmMain_LowestOctave_min1Click()
{
    ChooseLowestOctave(-1);
}

void TfrmVSTEditorMenu::ddmMain_LowestOctave_min2Click()
{
    ChooseLowestOctave(-2);
}

void TfrmVSTEditorMenu::ddmMain_Skin_CarbonClick(TBlxMenuItem& sender)
{
    const std::int32_t style = sender.Tag();
    if (Module().Style() == style)
        return;
    Module().SetStyle(style);
    ShowMessageDialogLater(
        FDialog, this,
        "Please close and re-open the plugin window for skin changes to take effect.",
        "Change Skin", TMsgDlgButtons::OK, TMsgDlgType::Information);
}

void TfrmVSTEditorMenu::ddmMain_EditorSizeClick(TBlxMenuItem& sender)
{
    Module().SetEditorSize(sender.Tag());
    ApplyEditorScale();
}

void TfrmVSTEditorMenu::ddmMenu_OpenUserGuideClick()
{
    const std::string path = FUserGuideFile;
    if (!BlxShellOpen(path))
        ShowMessageDialogLater(FDialog, this, MessageWithDetail("Error opening file.", path),
                               "Open User Guide", TMsgDlgButtons::OK, TMsgDlgType::Information);
}

std::string TfrmVSTEditorMenu::AboutText() const
{
    TVSTPluginBase& module = Module();
    return module.ProductName() + " v" + module.StateVersion() +
           "\r\rBuild date: " + LibraryDateText();
}

void TfrmVSTEditorMenu::ddmMenu_AboutClick()
{
    ShowMessageDialogLater(FDialog, this, AboutText(), "About", TMsgDlgButtons::OK,
                           TMsgDlgType::Information);
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
    // Logical pixels: the browser is drawn at the editor's scale (ClientWidth is the host's
    // device pixels).
    return {ClientRect().Width - kPresetsBrowserMargin,
            ClientRect().Height - kPresetsBrowserMargin};
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
