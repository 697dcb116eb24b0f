#include "ui/BlxMenuWindow.h"

#include "ui/BlxApplication.h"
#include "ui/BlxCanvas.h"
#include "ui/BlxMenu.h"
#include "ui/BlxStyle.h"
#include "ui/BlxText.h"

#include <algorithm>

namespace tumblet
{

namespace
{

// Geometry of a menu level, in pixels.
constexpr int kFrame = 3; // border and padding around the entries
constexpr int kItemHeight = 22;
constexpr int kSeparatorHeight = 9;
constexpr int kCheckColumn = 26; // room for the tick or dot left of the caption
constexpr int kArrowColumn = 22; // room for the submenu arrow
constexpr int kMinWidth = 120;

} // namespace

TBlxMenuWindow::TBlxMenuWindow(TBlxMenu& menu, TBlxMenuItem& level, int depth)
    : TBlxWindow(TBlxWindowKind::Popup), FMenu(menu), FLevel(level), FDepth(depth)
{
    TBlxFont font;
    font.SizePx = 12;
    SetFont(font);
    SetColor(TBlxStyle::Palette().MenuBackground);
}

TBlxSize TBlxMenuWindow::PreferredSize() const
{
    int width = kMinWidth, height = 2 * kFrame;
    for (int i = 0; i < FLevel.Count(); ++i)
    {
        const TBlxMenuItem& item = FLevel.Item(i);
        if (!item.Visible())
        {
            continue;
        }
        if (item.IsSeparator())
        {
            height += kSeparatorHeight;
            continue;
        }
        TBlxFont font = Font();
        font.Bold = item.Bold();
        int w = BlxText::Extent(font, item.Caption()).Width;
        width = std::max(width, 2 * kFrame + kCheckColumn + w + kArrowColumn + 8);
        height += kItemHeight;
    }
    return {width, height};
}

TBlxRect TBlxMenuWindow::ItemRect(int index) const
{
    int y = kFrame;
    for (int i = 0; i < FLevel.Count(); ++i)
    {
        const TBlxMenuItem& item = FLevel.Item(i);
        if (!item.Visible())
        {
            if (i == index)
            {
                return {};
            }
            continue;
        }
        int h = item.IsSeparator() ? kSeparatorHeight : kItemHeight;
        if (i == index)
        {
            return {kFrame, y, Width() - 2 * kFrame, h};
        }
        y += h;
    }
    return {};
}

int TBlxMenuWindow::ItemAt(TBlxPoint p) const
{
    for (int i = 0; i < FLevel.Count(); ++i)
    {
        if (FLevel.Item(i).Selectable() && ItemRect(i).Contains(p))
        {
            return i;
        }
    }
    return -1;
}

void TBlxMenuWindow::SetHotIndex(int index)
{
    if (index != FHot)
    {
        FHot = index;
        Invalidate();
    }
}

void TBlxMenuWindow::MoveHot(int direction)
{
    int n = FLevel.Count();
    if (n == 0)
    {
        return;
    }
    int i = FHot < 0 ? (direction > 0 ? -1 : n) : FHot;
    for (int step = 0; step < n; ++step)
    {
        i = (i + direction + n) % n;
        if (FLevel.Item(i).Selectable())
        {
            SetHotIndex(i);
            return;
        }
    }
}

void TBlxMenuWindow::Paint(TBlxCanvas& canvas)
{
    const TBlxPalette& p = TBlxStyle::Palette();
    canvas.FillRect(ClientRect(), p.MenuBackground);
    canvas.FrameRect(ClientRect(), p.MenuBorder);
    for (int i = 0; i < FLevel.Count(); ++i)
    {
        if (FLevel.Item(i).Visible())
        {
            PaintItem(canvas, i);
        }
    }
}

void TBlxMenuWindow::PaintItem(TBlxCanvas& canvas, int index)
{
    const TBlxPalette& p = TBlxStyle::Palette();
    const TBlxMenuItem& item = FLevel.Item(index);
    TBlxRect r = ItemRect(index);
    if (item.IsSeparator())
    {
        int y = r.Top + r.Height / 2;
        canvas.FillRect({r.Left + kCheckColumn - 4, y, r.Width - kCheckColumn, 1}, p.MenuSeparator);
        return;
    }
    bool hot = index == FHot;
    if (hot)
    {
        TBlxColor h =
            item.Enabled() ? p.MenuHighlight : p.MenuHighlight.Blend(p.MenuBackground, 0.6);
        canvas.FillRoundRect(r, 3, h);
    }
    TBlxColor text = !item.Enabled() ? p.MenuDisabledText : hot ? p.MenuHighlightText : p.MenuText;
    double cx = r.Left + kCheckColumn / 2.0, cy = r.Top + r.Height / 2.0;
    if (item.Checked() && item.RadioItem())
    {
        canvas.FillEllipse({int(cx) - 3, int(cy) - 3, 7, 7}, text);
    }
    else if (item.Checked())
    {
        cairo_t* cr = canvas.Cairo();
        canvas.SetColor(text);
        cairo_set_line_width(cr, 1.8);
        cairo_move_to(cr, cx - 4.5, cy + 0.5);
        cairo_line_to(cr, cx - 1.5, cy + 3.5);
        cairo_line_to(cr, cx + 4.5, cy - 3.5);
        cairo_stroke(cr);
    }
    TBlxFont font = Font();
    font.Bold = item.Bold();
    font.Color = text;
    TBlxRect textRect{r.Left + kCheckColumn, r.Top, r.Width - kCheckColumn - kArrowColumn,
                      r.Height};
    canvas.DrawText(textRect, item.Caption(), font,
                    {TBlxAlignment::Left, TBlxVAlign::Center, false});
    if (item.IsSubmenu())
    {
        double ax = r.Right() - kArrowColumn / 2.0;
        canvas.FillPolygon({{ax - 2, cy - 4}, {ax + 2, cy}, {ax - 2, cy + 4}}, text);
    }
}

void TBlxMenuWindow::HoverAt(TBlxPoint windowPos)
{
    int index = ItemAt(windowPos);
    if (index < 0 || index == FHot)
    {
        return;
    }
    SetHotIndex(index);
    if (FLevel.Item(index).IsSubmenu())
    {
        FMenu.OpenSubmenu(*this, index);
    }
    else
    {
        FMenu.CloseLevelsAbove(FDepth);
    }
}

TBlxMenuWindow* TBlxMenuWindow::LevelAtScreen(TBlxPoint screen, TBlxPoint& local) const
{
    for (int i = FMenu.LevelCount() - 1; i >= 0; --i)
    {
        TBlxMenuWindow& level = FMenu.Level(i);
        TBlxPoint o = level.ClientOriginOnScreen();
        local = {screen.X - o.X, screen.Y - o.Y};
        if (level.ClientRect().Contains(local))
        {
            return &level;
        }
    }
    return nullptr;
}

bool TBlxMenuWindow::MouseMove(const TBlxMouseEvent& e)
{
    // While a button is held the capture stays here: find the level under the pointer.
    TBlxPoint o = ClientOriginOnScreen(), local;
    if (TBlxMenuWindow* level = LevelAtScreen({o.X + e.Pos.X, o.Y + e.Pos.Y}, local))
    {
        level->HoverAt(local);
    }
    return true;
}

bool TBlxMenuWindow::MouseDown(const TBlxMouseEvent& e)
{
    if (!ClientRect().Contains(e.Pos))
    {
        FMenu.CloseMenu();
        return true;
    }
    HoverAt(e.Pos);
    return true;
}

bool TBlxMenuWindow::MouseUp(const TBlxMouseEvent& e)
{
    TBlxPoint o = ClientOriginOnScreen(), local;
    TBlxMenuWindow* level = LevelAtScreen({o.X + e.Pos.X, o.Y + e.Pos.Y}, local);
    if (!level)
    {
        return true;
    }
    int index = level->ItemAt(local);
    if (index >= 0 && !level->FLevel.Item(index).IsSubmenu())
    {
        FMenu.Choose(level->FLevel.Item(index));
    }
    return true;
}

void TBlxMenuWindow::MouseLeave()
{
    // Keep the highlight on an open submenu's item so the path stays visible.
    if (FHot >= 0 && !FLevel.Item(FHot).IsSubmenu())
    {
        SetHotIndex(-1);
    }
}

bool TBlxMenuWindow::KeyDown(const TBlxKeyEvent& e)
{
    FMenu.HandleKey(e);
    return true;
}

} // namespace tumblet
