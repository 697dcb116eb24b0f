#include "controls/BlxSpTBXSpeedButton.h"

namespace tumblet
{

void TBlxSpTBXSpeedButton::Click()
{
    if (!FClickAllowed)
    {
        FClickAllowed = true;
        return;
    }
    TBlxSpeedButton::Click();
}

bool TBlxSpTBXSpeedButton::MouseDown(const TBlxMouseEvent& e)
{
    FClickAllowed = BlxRaiseBeforeMouseDown(OnBeforeMouseDown, *this, e);
    if (!FClickAllowed)
    {
        return true;
    }
    return TBlxSpeedButton::MouseDown(e);
}

bool TBlxSpTBXSpeedButton::MouseUp(const TBlxMouseEvent& e)
{
    if (!FClickAllowed && e.Button == TBlxMouseButton::Left)
    {
        // The click of a vetoed press: dropped, and the next one goes through.
        Click();
        return true;
    }
    return TBlxSpeedButton::MouseUp(e);
}

} // namespace tumblet
