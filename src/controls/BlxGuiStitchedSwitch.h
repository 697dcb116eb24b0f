#pragma once

#include "controls/BlxControlEvents.h"
#include "controls/BlxSkinned.h"
#include "controls/GuiCustomStitchedControl.h"

#include <functional>
#include <string>

namespace tumblet
{

/// The product's on/off switch: a two-frame strip of its own (off above on), chosen by the
/// skin it was handed when it is loaded, toggled by a left or right press. The stepping layer of
/// the generic switch is folded in. All members: Thread: UI.
class TBlxGuiStitchedSwitch : public TGuiCustomStitchedControl, public TBlxSkinned
{
public:
    TBlxGuiStitchedSwitch();
    ~TBlxGuiStitchedSwitch() override;

    /// The strip resource shown under a skin: the dark strip for "Carbon" and "Zuzereda", the
    /// bright one otherwise.
    static const char* StripFor(const std::string& skinName);

    bool Value() const { return FrameIndex() == 1; }
    void SetValue(bool on);
    /// The resource the own image list shows.
    const std::string& StripName() const { return FStripName; }

    /// Picks the strip for its skin; a later change of skin shows after reloading.
    void Loaded() override;
    bool MouseDown(const TBlxMouseEvent& e) override;

    std::function<void(TBlxGuiStitchedSwitch& sender)> OnChange;
    /// The press filter (hides the base control's two-argument hook).
    TBlxBeforeMouseDownEvent OnBeforeMouseDown;

private:
    void LoadStrip(const std::string& resource);
    void ShowFrame(int index);

    TGuiStitchedPNGList FOwnImages;
    std::string FStripName;
    bool FDestroying = false;
};

} // namespace tumblet
