#include "controls/BlxPopupMenu.h"

namespace tumblet
{

namespace
{

void CheckLevel(TBlxMenuItem& top, TBlxMenuItem& level, int tag, bool markParents)
{
    for (int i = 0; i < level.Count(); ++i)
    {
        TBlxMenuItem& item = level.Item(i);
        bool match = item.Tag() == tag;
        item.SetChecked(match);
        if (match && markParents)
        {
            // The menu's own top level is not an item anyone sees; stop below it.
            for (TBlxMenuItem* p = item.Parent(); p && p != &top; p = p->Parent())
            {
                p->SetChecked(true);
            }
        }
        if (item.IsSubmenu())
        {
            CheckLevel(top, item, tag, markParents);
        }
    }
}

} // namespace

void TBlxPopupMenu::CheckMenuItemByTag(TBlxMenu& menu, int tag, TBlxMenuItem* root,
                                       bool markParents)
{
    CheckLevel(menu.Items(), root ? *root : menu.Items(), tag, markParents);
}

} // namespace tumblet
