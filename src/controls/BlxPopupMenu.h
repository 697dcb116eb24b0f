#pragma once

#include "ui/BlxMenu.h"

namespace tumblet
{

/// The product's pop-up menu: the toolkit menu with the check-by-tag routine of the value
/// menus. Thread: UI.
class TBlxPopupMenu : public TBlxMenu
{
public:
    /// Checks every item of root (the menu's top level when null) whose tag equals `tag` and
    /// unchecks the others, submenus included. With markParents, the submenus above a checked
    /// item are checked too.
    static void CheckMenuItemByTag(TBlxMenu& menu, int tag, TBlxMenuItem* root, bool markParents);
};

} // namespace tumblet
