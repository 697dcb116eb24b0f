#pragma once

#include "controls/BlxSkinned.h"
#include "ui/BlxControl.h"
#include "ui/BlxPixelBuffer.h"

#include <string>

namespace tumblet
{

class TBlxMenu;

/// A flat button that shows a caption or a glyph and, with a DropDownMenu, opens that menu
/// below itself when clicked. It never takes the keyboard focus. All members: Thread: UI.
class TBlxSpeedButton : public TBlxControl, public TBlxSkinned
{
public:
    TBlxSpeedButton();

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    /// The menu opened by a click (not owned).
    TBlxMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TBlxMenu* menu) { FDropDownMenu = menu; }
    bool DropDownArrow() const { return FDropDownArrow; }
    void SetDropDownArrow(bool arrow);
    /// True while the left button is held on the button.
    bool Down() const { return FDown; }
    bool Hot() const { return FHot; }

    /// Opens the drop-down menu below the button, or raises OnClick without one.
    void Click() override;
    void Paint(TBlxCanvas& canvas) override;
    bool MouseDown(const TBlxMouseEvent& e) override;
    bool MouseUp(const TBlxMouseEvent& e) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void CaptureLost() override;

protected:
    /// The image drawn centred instead of the caption, or null.
    virtual const TBlxPixelBuffer* Glyph() const { return nullptr; }
    /// Makes the glyph for a window of that scale before it is drawn.
    virtual void PrepareGlyph(double) {}
    /// Device pixels per logical pixel of the glyph.
    virtual double GlyphScale() const { return 1.0; }

private:
    void SetDown(bool down);

    std::string FCaption;
    TBlxMenu* FDropDownMenu = nullptr;
    bool FDropDownArrow = true;
    bool FDown = false;
    bool FHot = false;
};

} // namespace tumblet
