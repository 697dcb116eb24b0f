#pragma once

#include "controls/BlxPopupMenu.h"
#include "editor/VSTEditorBase.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tumblet
{

class TBlxLabel;
class TBlxMenuButton;
class TBlxSpTBXSpeedButton;

/// The editor window with its heading bar (main-menu button, product name, presets button,
/// information line) and the protocol that keeps parameter controls and parameters in step.
/// Thread: UI.
class TfrmVSTEditorMenu : public TfrmVSTEditorBase
{
public:
    explicit TfrmVSTEditorMenu(TVSTPluginBase& module);
    ~TfrmVSTEditorMenu() override;

    // ---- The module's view of the form ----------------------------------------------------
    /// Shows a text on the information line for three seconds; empty clears the line.
    void ShowInfo(const std::string& text) override;
    /// The presets button shows the current preset name, cut to fit without an ellipsis.
    void UpdatePresetName() override;
    void SetInfoText(const std::string& text) override;

    // ---- Operations the editor layers refine ----------------------------------------------
    virtual void CancelMidiLearn();
    virtual void ShowParameterInfo(const std::string&) {}
    virtual void LowestOctaveChanged();
    virtual void AfterInit() {}
    virtual void AfterPresetsBrowser() {}
    virtual std::string GetParameterName(const std::string& name) { return name; }
    virtual TBlxSize GetPresetsBrowserSize();
    /// The common press filter of every parameter control; false stops the press.
    virtual bool ControlBeforeMouseDown(const std::string& name, unsigned shift,
                                        const std::function<void()>& update);
    /// Pushes a control's value to its parameter (value: the chosen menu item's tag).
    virtual void ControlChanged(const std::string& name, TBlxControl& control, float value);
    /// Pulls a parameter's value into its control, without sending it back.
    virtual void UpdateControl(const std::string& name, TBlxControl& control);

    /// The presets button's command: the presets browser, then the chosen preset is loaded.
    virtual void btnPresetsClick();
    /// Runs before the main menu drops down: checks, the removal submenu, visibility.
    virtual void ddmMenuPopup();
    /// Back to the init preset, after asking.
    void InitPreset();

    // ---- Main menu commands ---------------------------------------------------------------
    void ddmMenu_InitClick();
    void ddmMenu_LoadPresetClick();
    void ddmMenu_SavePresetClick();
    void ddmMenu_MidiCCLearnClick();
    void ddmMenu_MidiSetCCClick();
    void ddmMenu_MidiCCRemoveItemClick(TBlxMenuItem& sender);
    void ddmMain_LowestOctave_0Click();
    void ddmMain_LowestOctave_min1Click();
    void ddmMain_LowestOctave_min2Click();
    void ddmMain_Skin_CarbonClick(TBlxMenuItem& sender);
    void ddmMain_EditorSizeClick(TBlxMenuItem& sender);
    void ddmMenu_OpenUserGuideClick();
    void ddmMenu_AboutClick();

    /// The text of the about box.
    std::string AboutText() const;
    const std::string& UserGuideFile() const { return FUserGuideFile; }

    TBlxGuiPanel* panHeading = nullptr;
    TBlxMenuButton* btnMenu = nullptr;
    TBlxLabel* lblName = nullptr;
    TBlxSpTBXSpeedButton* btnPresets = nullptr;
    TBlxGuiPanel* panInfo = nullptr;
    TBlxLabel* lblInfo = nullptr;
    TBlxTimer timInfo;
    TBlxPopupMenu ddmMenu;
    TBlxMenuItem* ddmMenu_Init = nullptr;
    TBlxMenuItem* ddmMenu_LoadPreset = nullptr;
    TBlxMenuItem* ddmMenu_SavePreset = nullptr;
    TBlxMenuItem* ddmMenu_MidiCCLearn = nullptr;
    TBlxMenuItem* ddmMenu_MidiSetCC = nullptr;
    TBlxMenuItem* ddmMenu_MidiCCRemove = nullptr;
    TBlxMenuItem* ddmMain_LowestOctave = nullptr;
    TBlxMenuItem* ddmMain_LowestOctave_0 = nullptr;
    TBlxMenuItem* ddmMain_LowestOctave_min1 = nullptr;
    TBlxMenuItem* ddmMain_LowestOctave_min2 = nullptr;
    TBlxMenuItem* ddmMain_Skin = nullptr;
    TBlxMenuItem* ddmMain_Skin_Carbon = nullptr;
    TBlxMenuItem* ddmMain_Skin_Black = nullptr;
    TBlxMenuItem* ddmMain_Skin_Light = nullptr;
    TBlxMenuItem* ddmMain_Skin_Luna = nullptr;
    TBlxMenuItem* ddmMain_Skin_Smokey = nullptr;
    /// "Automatic" (tag 0), then one item per size with its percent as tag.
    TBlxMenuItem* ddmMain_EditorSize = nullptr;
    TBlxMenuItem* ddmMenu_OpenUserGuide = nullptr;
    TBlxMenuItem* ddmMenu_About = nullptr;

protected:
    void DrainMailbox() override;
    void panMainClick();

    std::string FUserGuideFile;

private:
    void CreateHeading();
    void CreateMainMenu();
    void FillMidiCCRemove();
    void UpdateMenuSeparators();
    void ChooseLowestOctave(std::int32_t value);
    void PresetsBrowserClosed(const std::optional<std::string>& path);
    void timInfoTimer();

    std::string FMailText; ///< reused, so draining an empty mailbox allocates nothing
};

} // namespace tumblet
