#pragma once

#include "controls/BlxGuiStitchedDial.h"
#include "controls/BlxGuiStitchedSwitch.h"
#include "controls/BlxNumericInput.h"
#include "controls/BlxPopupMenu.h"
#include "controls/BlxSlider.h"
#include "controls/BlxSpTBXSpeedButton.h"
#include "controls/GuiStitchedPNGList.h"
#include "editor/VSTEditorMenu.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tumblet
{

class TBlxLabel;
class TCustomVSTModule;
class TVSTPlugin;

/// The arpeggiator's editor: the heading bar and the 22 parameter controls, each bound to its
/// parameter by name. Thread: UI.
class TfrmEditor : public TfrmVSTEditorMenu
{
public:
    /// The editor's size in pixels, known before any editor exists (hosts size their window
    /// first).
    static constexpr int kWidth = 712;
    static constexpr int kHeight = 341;

    explicit TfrmEditor(TVSTPlugin& module);
    ~TfrmEditor() override;

    /// Every control takes its parameter's current value, in a fixed order.
    void RefreshControls() override;
    /// An empty text shows the held notes.
    void ShowInfo(const std::string& text) override;
    void ShowParameterInfo(const std::string& name) override;
    /// Every change made in the editor reaches the host inside an edit gesture: a drag's
    /// changes share the drag's gesture, any other change gets one of its own.
    void ControlChanged(const std::string& name, TBlxControl& control, float value) override;

    /// The control bound to a parameter, or null.
    TBlxControl* ControlFor(const std::string& name) const;
    /// How often RefreshControls ran (tests and benchmarks).
    int RefreshCount() const { return FRefreshCount; }

    // Components, by their published names.
    TBlxGuiPanel* panControls = nullptr;
    TBlxSpTBXSpeedButton *btnRate = nullptr, *btnType = nullptr, *btnNoteOrder = nullptr,
                         *btnOctaveOrder = nullptr, *btnVelocityMode = nullptr;
    TBlxGuiStitchedDial *dialSpeed = nullptr, *dialOctaves = nullptr, *dialOctavesRandom = nullptr,
                        *dialVelocity = nullptr, *dialVelocityRandom = nullptr, *dialGate = nullptr,
                        *dialGateRandom = nullptr, *dialShift = nullptr, *dialShiftRandom = nullptr,
                        *dialSwing = nullptr, *dialSwingRandom = nullptr,
                        *dialNoteProbability = nullptr;
    TBlxSlider* sliderVelocityFixed = nullptr;
    TBlxNumericInput *inputTranspose = nullptr, *inputRest = nullptr;
    TBlxGuiStitchedSwitch *switchRestart = nullptr, *switchLatch = nullptr;
    TBlxPopupMenu ddmRate, ddmType, ddmNoteOrder, ddmOctaveOrder, ddmVelocityMode;

    /// A caption of the layout: name, text, designed position and width (pixels).
    struct TLabelRow
    {
        const char* Name;
        const char* Caption;
        int Left, Top, Width;
    };

private:
    struct TBinding
    {
        std::string Name;
        TBlxControl* Control;
    };
    /// A drag on a dial or the slider, from the press to the release.
    struct TGesture
    {
        TBlxControl* Control = nullptr;
        std::string Name;
        std::int32_t Index = -1;
        float PressValue = 0; ///< the parameter's value at the press, real units
    };

    TVSTPlugin& Plugin() const { return FPlugin; }
    void CreateListButtons();
    void CreateDials();
    void CreateValueControls();
    static TBlxFont LabelFontFor(std::span<const TLabelRow> rows);
    TBlxLabel& AddLabel(TBlxControl& parent, const TLabelRow& row, const TBlxFont& font,
                        bool centred);
    void Bind(const std::string& name, TBlxControl& control, TBlxBeforeMouseDownEvent& filter);
    void FillValueMenu(TBlxPopupMenu& menu, const std::string& name, TBlxSpTBXSpeedButton& button);
    int DialValue(const TCustomGuiStitchedDial& dial) const;
    int ModuleValue(const std::string& name) const;
    void BeginGesture(const std::string& name, TBlxControl& control);
    /// Ends the drag of control; a cancelled drag puts the value of the press back first.
    void EndGesture(const TBlxControl& control, bool cancelled);

    TVSTPlugin& FPlugin;
    TGuiStitchedPNGList FDialImages;
    std::vector<TBinding> FBindings;
    TGesture FGesture;
    int FRefreshCount = 0;
};

/// The editor form class of the arpeggiator module: a new TfrmEditor, or null when no window
/// can be shown (no X display), so that effEditOpen answers 0 and the host carries on.
std::unique_ptr<TVstEditorForm> CreateEditorForm(TCustomVSTModule& owner);

} // namespace tumblet
