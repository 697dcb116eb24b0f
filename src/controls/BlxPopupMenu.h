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

    /// The value menu of a control with MinValue, MaxValue, SetValue and an OnGetPopupGroup
    /// hook: items over the control's range, grouped by the hook when it is assigned, with the
    /// texts `text` gives; choosing an item sets the control's value.
    template <typename TControl>
    static TValueMenuSpec ControlValueMenu(TControl& control, int submenuTag, int padTo,
                                           std::function<std::string(int, std::string)> text)
    {
        TValueMenuSpec spec;
        spec.MinValue = control.MinValue();
        spec.MaxValue = control.MaxValue();
        spec.SubmenuTag = submenuTag;
        spec.PadTo = padTo;
        if (control.OnGetPopupGroup)
        {
            spec.Group = [&control](int v)
            {
                std::string caption;
                control.OnGetPopupGroup(control, v, caption);
                return caption;
            };
        }
        spec.Text = std::move(text);
        spec.Choose = [&control](int v) { control.SetValue(float(v)); };
        return spec;
    }

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
