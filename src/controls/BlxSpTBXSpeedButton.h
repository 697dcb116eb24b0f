#pragma once

#include "controls/BlxControlEvents.h"
#include "controls/BlxSpeedButton.h"

namespace tumblet
{

/// The product's list button: a speed button that can veto its own press and remembers the
/// value of the menu item it shows. A vetoed press shows no pressed look and its click is
/// dropped. All members: Thread: UI.
class TBlxSpTBXSpeedButton : public TBlxSpeedButton
{
public:
    /// Value of the menu item the button shows, -1 for none.
    int SelectedValue() const { return FSelectedValue; }
    void SetSelectedValue(int value) { FSelectedValue = value; }
    bool ClickAllowed() const { return FClickAllowed; }

    void Click() override;
    bool MouseDown(const TBlxMouseEvent& e) override;
    bool MouseUp(const TBlxMouseEvent& e) override;

    /// The press filter (hides the base control's two-argument hook).
    TBlxBeforeMouseDownEvent OnBeforeMouseDown;

private:
    int FSelectedValue = -1;
    bool FClickAllowed = true;
};

} // namespace tumblet
