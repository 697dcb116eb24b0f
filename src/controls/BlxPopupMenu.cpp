#include "controls/BlxPopupMenu.h"

#include "controls/BlxControlEvents.h"

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

constexpr const char* kFigureSpace = "\xE2\x80\x87"; // U+2007

} // namespace

void TBlxPopupMenu::FillValueMenu(TBlxMenu& menu, const TValueMenuSpec& spec)
{
    TBlxMenuItem& top = menu.Items();
    TBlxMenuItem* group = nullptr;
    std::string previousCaption;
    for (int v = spec.MaxValue; v >= spec.MinValue; --v)
    {
        TBlxMenuItem* level = &top;
        if (spec.Group)
        {
            std::string caption = spec.Group(v);
            if (caption.empty())
            {
                group = nullptr;
            }
            else if (!group || caption != previousCaption)
            {
                group = &top.Add(caption, spec.SubmenuTag);
            }
            level = group ? group : &top;
            previousCaption = caption;
        }
        std::string text = BlxIntText(v);
        if (spec.Text)
        {
            text = spec.Text(v, text);
        }
        for (int n = BlxCharCount(text); n < spec.PadTo; ++n)
        {
            text = kFigureSpace + text;
        }
        TBlxMenuItem& item = level->Add(text, v);
        if (spec.Choose)
        {
            item.OnClick = [choose = spec.Choose, v](TBlxMenuItem&) { choose(v); };
        }
    }
}

void TBlxPopupMenu::CheckMenuItemByTag(TBlxMenu& menu, int tag, TBlxMenuItem* root,
                                       bool markParents)
{
    CheckLevel(menu.Items(), root ? *root : menu.Items(), tag, markParents);
}

} // namespace tumblet
