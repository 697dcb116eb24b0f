#pragma once

#include "controls/BlxValueControl.h"

#include <functional>
#include <string>

namespace tumblet
{

/// A horizontal bar filled from the left up to the value, with an optional random range to its
/// right and the value text centred on it. The value follows the pointer along the bar; Shift
/// makes the drag finer and Alt edits the random range. All members: Thread: UI.
class TBlxSlider : public TBlxValueControl
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

    /// Width of the random range; never below 0, Value + Random never above MaxValue.
    float Random() const { return FRandom; }
    void SetRandom(float value);
    bool UseRandom() const { return FUseRandom; }
    void SetUseRandom(bool use);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool show);
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
    void CaptureLost() override;

    std::function<void(TBlxSlider& sender)> OnChange;
    std::function<void(TBlxSlider& sender)> OnChangeRandom;
    TGetTextEvent OnGetText;
    TGetTextEvent OnGetTextMenu;
    TGetPopupGroupEvent OnGetPopupGroup;
    TPopulatePopupMenuEvent OnPopulatePopupMenu;

protected:
    /// A new value shrinks Random (firing OnChangeRandom) when the two together pass MaxValue,
    /// then fires OnChange.
    void ValueChanged() override;
    /// With Alt the wheel steps Random instead of the value.
    void WheelTurned(bool up, unsigned shift) override;

private:
    void BuildPopup();
    int BarRight(double value) const;

    float FRandom = 0;
    bool FUseRandom = false;
    bool FShowText = true;
    TBlxColor FValueColor;
    TBlxColor FRandomColor;
    bool FAccepted = true;
    bool FPainting = false;
    TMouseDownInfo FMouseDownInfo;
};

} // namespace tumblet
