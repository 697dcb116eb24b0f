#include "controls/BlxGuiStitchedDial.h"

namespace tumblet
{

bool TBlxGuiStitchedDial::MouseDown(const TBlxMouseEvent& e)
{
    // A vetoed press still focuses the dial; a drag with the button held still turns it,
    // because moves look only at the held button.
    if (!Focused())
    {
        SetFocus();
    }
    if (!BlxRaiseBeforeMouseDown(OnBeforeMouseDown, *this, e))
    {
        return true;
    }
    return TGuiStitchedDial::MouseDown(e);
}

bool TBlxGuiStitchedDial::MouseWheel(const TBlxWheelEvent& e)
{
    if (!BlxPointerOver(*this))
    {
        return false;
    }
    return TGuiStitchedDial::MouseWheel(e);
}

} // namespace tumblet
