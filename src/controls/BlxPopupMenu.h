#pragma once

#include "ui/BlxMenu.h"

#include <functional>
#include <string>

namespace tumblet
{

/// The product's pop-up menu: the toolkit menu with the check-by-tag routine of the value
/// menus. Thread: UI.
class TBlxPopupMenu : public TBlxMenu
{
public:
    /// How a value menu lists the integers of a range.
    struct TValueMenuSpec
    {
        int MinValue = 0;
        int MaxValue = 0;
        /// Tag of the group submenus, one that no value of the range uses.
        int SubmenuTag = -1;
        /// Texts are padded on the left with U+2007 FIGURE SPACE to this many characters.
        int PadTo = 0;
        /// The group caption of a value; empty puts the value at the top level. Optional.
        std::function<std::string(int value)> Group;
        /// The item text of a value, given its decimal text.
        std::function<std::string(int value, std::string text)> Text;
        /// Runs when the value's item is chosen.
        std::function<void(int value)> Choose;
    };

    /// Appends one item per value, from MaxValue down to MinValue, tagged with the value, to
    /// the top level or to the group submenus; a new submenu starts whenever the group caption
    /// differs from the previous value's.
    static void FillValueMenu(TBlxMenu& menu, const TValueMenuSpec& spec);

    /// Checks every item of root (the menu's top level when null) whose tag equals `tag` and
    /// unchecks the others, submenus included. With markParents, the submenus above a checked
    /// item are checked too.
    static void CheckMenuItemByTag(TBlxMenu& menu, int tag, TBlxMenuItem* root, bool markParents);
};

} // namespace tumblet
