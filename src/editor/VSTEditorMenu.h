#pragma once

#include "controls/BlxPopupMenu.h"
#include "editor/VSTEditorBase.h"

#include <functional>
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

    /// The presets button's command (the presets browser).
    virtual void btnPresetsClick() {}
    /// Runs before the main menu drops down, to build or update its items.
    virtual void ddmMenuPopup() {}

    TBlxGuiPanel* panHeading = nullptr;
    TBlxMenuButton* btnMenu = nullptr;
    TBlxLabel* lblName = nullptr;
    TBlxSpTBXSpeedButton* btnPresets = nullptr;
    TBlxGuiPanel* panInfo = nullptr;
    TBlxLabel* lblInfo = nullptr;
    TBlxTimer timInfo;
    TBlxPopupMenu ddmMenu;

protected:
    void DrainMailbox() override;
    void panMainClick();

    std::string FUserGuideFile;

private:
    void CreateHeading();
    void timInfoTimer();

    std::string FMailText; ///< reused, so draining an empty mailbox allocates nothing
};

} // namespace tumblet
