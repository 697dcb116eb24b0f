#pragma once

#include "controls/BlxControlEvents.h"
#include "controls/BlxPopupMenu.h"
#include "controls/BlxSkinned.h"
#include "ui/BlxControl.h"

#include <functional>
#include <memory>
#include <string>

namespace tumblet
{

/// A horizontal bar filled from the left up to the value, with an optional random range to its
/// right and the value text centred on it. The value follows the pointer along the bar; Shift
/// makes the drag finer and Alt edits the random range. All members: Thread: UI.
class TBlxSlider : public TBlxControl, public TBlxSkinned
{
public:
    /// The state of one press, from press to release.
    struct TMouseDownInfo
    {
        bool RandomDrag = false; ///< pressed with Alt: the drag edits Random
        bool Moved = false;
        int AnchorX = -1; ///< x of the press, then of the first move made with Shift
        bool Fine = false;
    };

    using TGetTextEvent =
        std::function<void(TBlxSlider& sender, std::string& text, float random, float value)>;
    using TGetPopupGroupEvent =
        std::function<void(TBlxSlider& sender, int value, std::string& caption)>;
    using TPopulatePopupMenuEvent = std::function<void(TBlxSlider& sender, TBlxPopupMenu& menu)>;

    TBlxSlider();
    ~TBlxSlider() override;

    int MinValue() const { return FMinValue; }
    void SetMinValue(int value);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int value);
    float Value() const { return FValue; }
    /// Clamped into MinValue..MaxValue; shrinks Random (firing OnChangeRandom) when the two
    /// together pass MaxValue, then fires OnChange.
    void SetValue(float value);
    /// Width of the random range; never below 0, Value + Random never above MaxValue.
    float Random() const { return FRandom; }
    void SetRandom(float value);
    bool UseRandom() const { return FUseRandom; }
    void SetUseRandom(bool use);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool show);
    bool ShowPopup() const { return FShowPopup; }
    void SetShowPopup(bool show) { FShowPopup = show; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int width);
    TBlxColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TBlxColor color);
    TBlxColor ValueColor() const { return FValueColor; }
    void SetValueColor(TBlxColor color);
    TBlxColor RandomColor() const { return FRandomColor; }
    void SetRandomColor(TBlxColor color);

    /// Applies the skin colours and builds the value pop-up when ShowPopup is set.
    void Loaded();
    /// The owned pop-up menu, or null without ShowPopup.
    TBlxPopupMenu* Popup() const { return FPopup.get(); }
    /// The value under client x for the drag in progress, before clamping.
    int ValueAt(int x) const;
    const TMouseDownInfo& MouseDownInfo() const { return FMouseDownInfo; }
    /// The text drawn on the bar.
    std::string DisplayText();

    void Paint(TBlxCanvas& canvas) override;
    bool MouseDown(const TBlxMouseEvent& e) override;
    bool MouseMove(const TBlxMouseEvent& e) override;
    bool MouseUp(const TBlxMouseEvent& e) override;
    bool MouseWheel(const TBlxWheelEvent& e) override;
    void CaptureLost() override;

    std::function<void(TBlxSlider& sender)> OnChange;
    std::function<void(TBlxSlider& sender)> OnChangeRandom;
    TGetTextEvent OnGetText;
    TGetTextEvent OnGetTextMenu;
    TGetPopupGroupEvent OnGetPopupGroup;
    TPopulatePopupMenuEvent OnPopulatePopupMenu;
    /// The press filter (hides the base control's two-argument hook).
    TBlxBeforeMouseDownEvent OnBeforeMouseDown;

private:
    void BuildPopup();
    int BarRight(double value) const;

    int FMinValue = 0;
    int FMaxValue = 100;
    float FValue = 0;
    float FRandom = 0;
    bool FUseRandom = false;
    bool FShowText = true;
    bool FShowPopup = false;
    int FBorderWidth = 1;
    TBlxColor FBorderColor;
    TBlxColor FValueColor;
    TBlxColor FRandomColor;
    bool FAccepted = true;
    bool FPainting = false;
    TMouseDownInfo FMouseDownInfo;
    std::unique_ptr<TBlxPopupMenu> FPopup;
};

} // namespace tumblet
