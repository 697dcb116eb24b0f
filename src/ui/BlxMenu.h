#pragma once

#include "ui/BlxTypes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tumblet
{

class TBlxMenuWindow;
class TBlxWindow;
struct TBlxKeyEvent;

/// One entry of a pop-up menu: a command, a separator, or a submenu (an item with items).
/// Items own their children. Thread: UI.
class TBlxMenuItem
{
public:
    explicit TBlxMenuItem(const std::string& caption = "", int tag = 0);
    TBlxMenuItem(const TBlxMenuItem&) = delete;
    TBlxMenuItem& operator=(const TBlxMenuItem&) = delete;

    /// Appends an owned child; the item becomes a submenu.
    TBlxMenuItem& Add(const std::string& caption, int tag = 0);
    TBlxMenuItem& AddSeparator();
    void Remove(int index);
    void Clear();
    int Count() const { return int(FItems.size()); }
    TBlxMenuItem& Item(int index) const { return *FItems[size_t(index)]; }
    TBlxMenuItem* Parent() const { return FParent; }
    bool IsSubmenu() const { return !FItems.empty(); }

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption) { FCaption = caption; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }
    bool Checked() const { return FChecked; }
    void SetChecked(bool checked) { FChecked = checked; }
    /// A checked radio item shows a dot instead of a tick.
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool radio) { FRadioItem = radio; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled) { FEnabled = enabled; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible) { FVisible = visible; }
    bool Bold() const { return FBold; }
    void SetBold(bool bold) { FBold = bold; }
    bool IsSeparator() const { return FSeparator; }
    /// An item the user can land on: visible and not a separator.
    bool Selectable() const { return FVisible && !FSeparator; }

    void Click();
    std::function<void(TBlxMenuItem& sender)> OnClick;

private:
    TBlxMenuItem* FParent = nullptr;
    std::vector<std::unique_ptr<TBlxMenuItem>> FItems;
    std::string FCaption;
    std::string FName;
    int FTag = 0;
    bool FChecked = false;
    bool FRadioItem = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FBold = false;
    bool FSeparator = false;
};

/// A pop-up menu with submenus. Popup shows it and returns at once; it stays until an item is
/// chosen, or a press outside the menu or Escape closes it. The chosen item's click handler
/// runs on a later round of the pump, after the menu windows are gone. Thread: UI.
class TBlxMenu
{
public:
    TBlxMenu();
    virtual ~TBlxMenu();
    TBlxMenu(const TBlxMenu&) = delete;
    TBlxMenu& operator=(const TBlxMenu&) = delete;

    TBlxMenuItem& Items() { return FItems; }
    /// Shows the menu with its top-left corner at a screen point (kept on the screen) above
    /// `owner` and returns at once; the chosen item is clicked on a later round of the pump,
    /// after the menu closed. Does nothing while already open.
    void Popup(TBlxWindow* owner, TBlxPoint screenPos);
    bool IsOpen() const { return FOpen; }
    /// Closes every level without choosing.
    void CloseMenu();

    /// The open levels, the top level first.
    int LevelCount() const { return int(FLevels.size()); }
    TBlxMenuWindow& Level(int index) const { return *FLevels[size_t(index)]; }

    /// Runs each time before the menu opens, so that its owner can check and enable the items
    /// for the state of that moment rather than keep them in step all the time.
    std::function<void(TBlxMenu& sender)> OnPopup;

private:
    friend class TBlxMenuWindow;
    void OpenSubmenu(TBlxMenuWindow& from, int index);
    void CloseLevelsAbove(int depth);
    /// The root level's modal result is set: closes every level, then runs the chosen item.
    void Closed();
    void Choose(TBlxMenuItem& item);
    void HandleKey(const TBlxKeyEvent& e);
    TBlxMenuWindow& OpenLevel(TBlxMenuItem& level, TBlxWindow* parent, TBlxPoint screenPos,
                              int flipLeftEdge);

    TBlxMenuItem FItems;
    std::vector<std::unique_ptr<TBlxMenuWindow>> FLevels;
    std::vector<std::unique_ptr<TBlxMenuWindow>> FClosedLevels;
    TBlxMenuItem* FChosen = nullptr;
    bool FOpen = false;
    std::shared_ptr<bool> FAlive;
};

} // namespace tumblet
