#include "editor/Dialogs.h"

#include "ui/BlxApplication.h"
#include "ui/BlxWindow.h"

namespace tumblet
{

void PlaceDialog(TBlxWindow& dialog, TBlxWindow* parentForm)
{
    TBlxApplication& app = TBlxApplication::Instance();
    if (parentForm)
    {
        TBlxPoint origin = parentForm->ClientOriginOnScreen();
        dialog.SetPosition({origin.X + (parentForm->Width() - dialog.Width()) / 2,
                            origin.Y + (parentForm->Height() - dialog.Height()) / 2});
        dialog.SetPopupParent(parentForm);
        return;
    }
    std::optional<TBlxRect> active = app.ActiveWindowRect();
    dialog.CentreOn(active ? *active : app.ScreenRect());
}

} // namespace tumblet
