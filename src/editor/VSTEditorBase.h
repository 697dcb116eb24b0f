#pragma once

#include "controls/BlxGuiPanel.h"
#include "controls/BlxScaledArtwork.h"
#include "ui/BlxPixelBuffer.h"
#include "ui/BlxTimer.h"
#include "ui/BlxWindow.h"
#include "vst2/VSTEditorForm.h"

#include <memory>
#include <string>

namespace tumblet
{

class TVSTPluginBase;

/// The editor window every Brindlex editor is built on: a borderless window embedded into the
/// host's window, with the tiled background, the focus rules, the one-shot activation timer and
/// the main panel. It is the module's editor form: the module reaches it only through
/// TVstEditorForm. Everything here runs on the thread that opened the editor. Thread: UI.
class TfrmVSTEditorBase : public TBlxWindow, public TVstEditorForm
{
public:
    explicit TfrmVSTEditorBase(TVSTPluginBase& module);
    ~TfrmVSTEditorBase() override;

    TVSTPluginBase& Module() const { return FModule; }

    // ---- The module's view of the form ----------------------------------------------------
    // The host sees device pixels; the form lays out in logical pixels drawn at its scale.
    std::int32_t Width() const override { return ToDevice(ClientRect()).Width; }
    std::int32_t Height() const override { return ToDevice(ClientRect()).Height; }
    std::int32_t ClientWidth() const override { return Width(); }
    std::int32_t ClientHeight() const override { return Height(); }
    void SetParentWindow(std::uintptr_t parentWindow) override;
    /// Maps the window inside the host's window; throws when no window can be made.
    void Show() override;
    void RemoveBorder() override {}
    void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                   std::int32_t height) override;
    /// Repaints the whole form at once: the host shows the window as soon as effEditOpen
    /// returns, and may call effEditIdle only much later.
    void Invalidate() override;
    void RefreshControls() override {}
    void FocusControlUnderMouse() override;
    void ShowInfo(const std::string&) override {}
    void UpdatePresetName() override {}
    void SetInfoText(const std::string&) override {}
    void DeliverKey(const VstKeyCode& key, bool down) override;
    /// The heartbeat: window-system events, due timers, the module's messages, then painting.
    void Idle() override;

    /// The skin the module selected before the form was made, or null for the plain look; every
    /// control of the form takes its colours from it.
    const TBlxPalette* Skin() const { return FSkin; }

    /// Takes the size the user, the host or the desktop asks for (first that says something),
    /// and tells the host when an open editor changes size.
    void ApplyEditorScale();

    /// True while UpdateControl writes parameter values into controls.
    bool Updating() const { return FUpdating; }

    /// Where the dialog or browser open over the editor lives: it closes unanswered with the
    /// editor, so that no answer reaches a form or module that is gone.
    std::unique_ptr<TBlxWindow>& DialogHolder() { return FDialog; }

    TBlxGuiPanel* panMain = nullptr;
    TBlxTimer timFormActivated;

protected:
    /// Takes what the processing thread left for the editor; runs before painting.
    virtual void DrainMailbox() {}
    /// The layers' show handlers, base first.
    virtual void FormShow();
    void FormPaint(TBlxCanvas& canvas);
    void FormClick();

    void Paint(TBlxCanvas& canvas) override;

    bool FUpdating = false;
    std::unique_ptr<TBlxWindow> FDialog;

private:
    void timFormActivatedTimer();

    TVSTPluginBase& FModule;
    const TBlxPalette* FSkin = nullptr;
    // What the scale was chosen from, so that idle calls notice a change without asking again.
    std::int32_t FScaleUserSize = -1;
    float FScaleHostScale = -1.0f;
    double FDesktopScale = 0;
    TBlxScaledArtwork FBackground{"EditorBackground"};
};

/// Sets FUpdating for its lifetime, so a control's change raised while the editor writes a
/// parameter's value into it is not sent back to the module.
class TEditorUpdatingScope
{
public:
    explicit TEditorUpdatingScope(bool& flag) : FFlag(flag), FOld(flag) { FFlag = true; }
    ~TEditorUpdatingScope() { FFlag = FOld; }
    TEditorUpdatingScope(const TEditorUpdatingScope&) = delete;
    TEditorUpdatingScope& operator=(const TEditorUpdatingScope&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

} // namespace tumblet
