#include "ui/BlxMenu.h"

#include "ui/BlxApplication.h"
#include "ui/BlxHooks.h"
#include "ui/BlxMenuWindow.h"

#include <algorithm>

namespace tumblet
{

TBlxMenuItem::TBlxMenuItem(const std::string& caption, int tag) : FCaption(caption), FTag(tag) {}

TBlxMenuItem& TBlxMenuItem::Add(const std::string& caption, int tag)
{
    FItems.push_back(std::make_unique<TBlxMenuItem>(caption, tag));
    FItems.back()->FParent = this;
    return *FItems.back();
}

TBlxMenuItem& TBlxMenuItem::AddSeparator()
{
    TBlxMenuItem& item = Add("-");
    item.FSeparator = true;
    return item;
}

void TBlxMenuItem::Remove(int index)
{
    if (index >= 0 && index < Count())
    {
        FItems.erase(FItems.begin() + index);
    }
}

void TBlxMenuItem::Clear()
{
    FItems.clear();
}

void TBlxMenuItem::Click()
{
    Raise(OnClick, *this);
}

TBlxMenu::TBlxMenu() : FAlive(std::make_shared<bool>(true)) {}

TBlxMenu::~TBlxMenu()
{
    *FAlive = false;
    FLevels.clear();
    FClosedLevels.clear();
}

void TBlxMenu::Popup(TBlxWindow* owner, TBlxPoint screenPos)
{
    if (FOpen)
    {
        return;
    }
    Raise(OnPopup, *this);
    bool any = false;
    for (int i = 0; i < FItems.Count(); ++i)
    {
        any = any || FItems.Item(i).Visible();
    }
    if (!any)
    {
        return;
    }
    FOpen = true;
    FChosen = nullptr;
    TBlxMenuWindow& root = OpenLevel(FItems, owner, screenPos, screenPos.X);
    root.OnPressOutside = [this](TBlxWindow&) { CloseMenu(); };
    // The chosen item acts on a later round of the host's idle calls, once the menu is gone.
    if (!root.ShowModal([this](TBlxModalResult) { Closed(); }))
    {
        FLevels.clear();
        FOpen = false;
    }
}

void TBlxMenu::Closed()
{
    std::shared_ptr<bool> alive = FAlive;
    CloseLevelsAbove(-1);
    FClosedLevels.clear();
    FOpen = false;
    TBlxMenuItem* chosen = FChosen;
    FChosen = nullptr;
    if (chosen && *alive)
    {
        chosen->Click();
    }
}

TBlxMenuWindow& TBlxMenu::OpenLevel(TBlxMenuItem& level, TBlxWindow* parent, TBlxPoint pos,
                                    int flipLeftEdge)
{
    auto window = std::make_unique<TBlxMenuWindow>(*this, level, int(FLevels.size()));
    TBlxMenuWindow& w = *window;
    FLevels.push_back(std::move(window));
    w.SetPopupParent(parent);
    TBlxSize size = w.PreferredSize();
    TBlxRect screen = w.LogicalScreenRect();
    // Keep the menu on the screen: a submenu flips to the left of its parent level.
    if (pos.X + size.Width > screen.Right())
    {
        pos.X = std::max(screen.Left, flipLeftEdge - size.Width);
    }
    if (pos.Y + size.Height > screen.Bottom())
    {
        pos.Y = std::max(screen.Top, screen.Bottom() - size.Height);
    }
    w.SetBounds(pos.X, pos.Y, size.Width, size.Height);
    if (w.Show() && FLevels.size() == 1)
    {
        w.GrabInput(true);
    }
    return w;
}

void TBlxMenu::OpenSubmenu(TBlxMenuWindow& from, int index)
{
    CloseLevelsAbove(from.Depth());
    TBlxMenuItem& item = from.LevelItem().Item(index);
    if (!item.IsSubmenu() || !item.Enabled())
    {
        return;
    }
    TBlxRect r = from.ItemRect(index);
    TBlxPoint origin = from.ClientOriginOnScreen();
    // Overlap the parent level by its frame so the two read as one.
    TBlxPoint pos{origin.X + from.Width() - 3, origin.Y + r.Top - 3};
    OpenLevel(item, &from, pos, origin.X + 3);
}

void TBlxMenu::CloseLevelsAbove(int depth)
{
    // Closed levels are hidden now and destroyed when the menu closes: the level being closed
    // may be the one whose event handler is running.
    while (int(FLevels.size()) > std::max(0, depth + 1))
    {
        FLevels.back()->Hide();
        FClosedLevels.push_back(std::move(FLevels.back()));
        FLevels.pop_back();
    }
}

void TBlxMenu::CloseMenu()
{
    if (!FLevels.empty())
    {
        FLevels.front()->SetModalResult(TBlxModalResult::Cancel);
    }
}

void TBlxMenu::Choose(TBlxMenuItem& item)
{
    if (!item.Enabled() || !item.Selectable() || item.IsSubmenu())
    {
        return;
    }
    FChosen = &item;
    if (!FLevels.empty())
    {
        FLevels.front()->SetModalResult(TBlxModalResult::OK);
    }
}

void TBlxMenu::HandleKey(const TBlxKeyEvent& e)
{
    if (FLevels.empty())
    {
        return;
    }
    TBlxMenuWindow& level = *FLevels.back();
    int hot = level.HotIndex();
    TBlxMenuItem* item = hot >= 0 ? &level.LevelItem().Item(hot) : nullptr;
    switch (e.Key)
    {
    case TBlxKey::Up:
    case TBlxKey::Down:
        level.MoveHot(e.Key == TBlxKey::Down ? 1 : -1);
        break;
    case TBlxKey::Right:
    case TBlxKey::Enter:
        if (item && item->IsSubmenu() && item->Enabled())
        {
            OpenSubmenu(level, hot);
            FLevels.back()->MoveHot(1);
        }
        else if (item && e.Key == TBlxKey::Enter)
        {
            Choose(*item);
        }
        break;
    case TBlxKey::Left:
    case TBlxKey::Escape:
        if (level.Depth() > 0)
        {
            CloseLevelsAbove(level.Depth() - 1);
        }
        else if (e.Key == TBlxKey::Escape)
        {
            CloseMenu();
        }
        break;
    default:
        break;
    }
}

} // namespace tumblet
