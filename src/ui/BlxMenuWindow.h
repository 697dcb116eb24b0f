#pragma once

#include "ui/BlxWindow.h"

namespace tumblet
{

class TBlxMenu;
class TBlxMenuItem;

/// The override-redirect window that shows one level of a TBlxMenu. Thread: UI.
class TBlxMenuWindow : public TBlxWindow
{
public:
    TBlxMenuWindow(TBlxMenu& menu, TBlxMenuItem& level, int depth);

    TBlxMenuItem& LevelItem() const { return FLevel; }
    int Depth() const { return FDepth; }
    /// The highlighted entry (index into the level's items), or -1.
    int HotIndex() const { return FHot; }
    void SetHotIndex(int index);
    /// Moves the highlight to the next selectable entry (wrapping).
    void MoveHot(int direction);
    /// An entry's rectangle in window coordinates; empty for hidden entries.
    TBlxRect ItemRect(int index) const;
    int ItemAt(TBlxPoint p) const;
    /// The size that fits the entries.
    TBlxSize PreferredSize() const;

    void Paint(TBlxCanvas& canvas) override;
    bool MouseMove(const TBlxMouseEvent& e) override;
    bool MouseDown(const TBlxMouseEvent& e) override;
    bool MouseUp(const TBlxMouseEvent& e) override;
    void MouseLeave() override;
    bool KeyDown(const TBlxKeyEvent& e) override;

private:
    void PaintItem(TBlxCanvas& canvas, int index);
    void HoverAt(TBlxPoint windowPos);
    TBlxMenuWindow* LevelAtScreen(TBlxPoint screen, TBlxPoint& local) const;

    TBlxMenu& FMenu;
    TBlxMenuItem& FLevel;
    int FDepth;
    int FHot = -1;
};

} // namespace tumblet
