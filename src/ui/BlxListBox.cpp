#include "ui/BlxListBox.h"

#include "ui/BlxCanvas.h"
#include "ui/BlxHooks.h"
#include "ui/BlxStyle.h"

#include <algorithm>

namespace tumblet
{

namespace
{

/// Frame width around the entries, in pixels.
constexpr int kFrame = 1;
/// Horizontal text inset of the default entry look, in pixels.
constexpr int kTextInset = 4;
/// Thickness of the scroll bar and the shortest its thumb gets, in pixels.
constexpr int kBar = 12;
constexpr int kMinThumb = 16;

} // namespace

TBlxListBox::TBlxListBox()
{
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

void TBlxListBox::AddItem(const std::string& text, int data)
{
    FItems.push_back({text, data});
    Invalidate();
}

void TBlxListBox::Clear()
{
    FItems.clear();
    FItemIndex = -1;
    FTopIndex = 0;
    Invalidate();
}

void TBlxListBox::SetItemIndex(int index)
{
    index = index < 0 || index >= Count() ? -1 : index;
    if (index != FItemIndex)
    {
        FItemIndex = index;
        Invalidate();
    }
    if (index >= 0)
    {
        ScrollIntoView(index);
    }
}

void TBlxListBox::SetItemHeight(int h)
{
    FItemHeight = std::max(1, h);
    Invalidate();
}

void TBlxListBox::SetColumns(int columns)
{
    FColumns = std::max(0, columns);
    Invalidate();
}

TBlxRect TBlxListBox::InnerRect() const
{
    TBlxRect r = ClientRect().Inflate(-kFrame);
    if (HasScrollBar())
    {
        (FColumns > 1 ? r.Height : r.Width) -= kBar;
    }
    return r;
}

bool TBlxListBox::HasScrollBar() const
{
    TBlxRect r = ClientRect().Inflate(-kFrame);
    int rows = std::max(1, r.Height / FItemHeight);
    return Count() > rows * std::max(1, FColumns);
}

TBlxRect TBlxListBox::ScrollBarRect() const
{
    TBlxRect r = ClientRect().Inflate(-kFrame);
    return FColumns > 1 ? TBlxRect{r.Left, r.Bottom() - kBar, r.Width, kBar}
                        : TBlxRect{r.Right() - kBar, r.Top, kBar, r.Height};
}

TBlxListBox::TScrollUnits TBlxListBox::ScrollUnits() const
{
    if (FColumns > 1)
    {
        int rows = RowsPerColumn();
        return {(Count() + rows - 1) / rows, FColumns, FTopIndex / rows};
    }
    return {Count(), VisibleCount(), FTopIndex};
}

TBlxRect TBlxListBox::ThumbRect() const
{
    TBlxRect bar = ScrollBarRect();
    TScrollUnits u = ScrollUnits();
    bool horizontal = FColumns > 1;
    int length = horizontal ? bar.Width : bar.Height;
    int thumb = std::clamp(length * u.Visible / std::max(1, u.Total), kMinThumb, length);
    int offset = (length - thumb) * u.Position / std::max(1, u.Total - u.Visible);
    return horizontal ? TBlxRect{bar.Left + offset, bar.Top, thumb, bar.Height}
                      : TBlxRect{bar.Left, bar.Top + offset, bar.Width, thumb};
}

void TBlxListBox::SetScrollPosition(int units)
{
    SetTopIndex(FColumns > 1 ? units * RowsPerColumn() : units);
}

bool TBlxListBox::ScrollBarMouseDown(TBlxPoint p)
{
    if (!HasScrollBar() || !ScrollBarRect().Contains(p))
    {
        return false;
    }
    TBlxRect thumb = ThumbRect();
    int along = FColumns > 1 ? p.X : p.Y;
    if (thumb.Contains(p))
    {
        FThumbDrag = {along, ScrollUnits().Position};
    }
    else
    {
        int thumbStart = FColumns > 1 ? thumb.Left : thumb.Top;
        TScrollUnits u = ScrollUnits();
        SetScrollPosition(u.Position + (along < thumbStart ? -u.Visible : u.Visible));
    }
    return true;
}

void TBlxListBox::DragThumb(TBlxPoint p)
{
    TBlxRect bar = ScrollBarRect(), thumb = ThumbRect();
    TScrollUnits u = ScrollUnits();
    int free = FColumns > 1 ? bar.Width - thumb.Width : bar.Height - thumb.Height;
    int delta = (FColumns > 1 ? p.X : p.Y) - FThumbDrag->StartPixel;
    int units = free > 0 ? delta * (u.Total - u.Visible) / free : 0;
    SetScrollPosition(FThumbDrag->StartPosition + units);
}

void TBlxListBox::PaintScrollBar(TBlxCanvas& canvas)
{
    const TBlxPalette& p = TBlxStyle::Palette();
    canvas.FillRect(ScrollBarRect(), p.Window.Blend(p.Border, 0.15));
    canvas.FillRoundRect(ThumbRect().Inflate(-2), 3, FThumbDrag ? p.FocusBorder : p.Border);
}

int TBlxListBox::RowsPerColumn() const
{
    return std::max(1, InnerRect().Height / FItemHeight);
}

int TBlxListBox::VisibleCount() const
{
    return RowsPerColumn() * std::max(1, FColumns);
}

void TBlxListBox::SetTopIndex(int index)
{
    int rows = RowsPerColumn();
    int maxTop = std::max(0, Count() - VisibleCount());
    if (FColumns > 1)
    {
        // Whole columns scroll; the last column may be partly filled.
        maxTop = std::max(0, ((Count() + rows - 1) / rows - FColumns) * rows);
        index = index / rows * rows;
    }
    index = std::clamp(index, 0, maxTop);
    if (index != FTopIndex)
    {
        FTopIndex = index;
        Invalidate();
    }
}

void TBlxListBox::ScrollIntoView(int index)
{
    if (index < FTopIndex)
    {
        SetTopIndex(index);
    }
    else if (index >= FTopIndex + VisibleCount())
    {
        int rows = RowsPerColumn();
        SetTopIndex(FColumns > 1 ? (index / rows - FColumns + 1) * rows
                                 : index - VisibleCount() + 1);
    }
}

TBlxRect TBlxListBox::ItemRect(int index) const
{
    TBlxRect inner = InnerRect();
    int offset = index - FTopIndex;
    if (FColumns > 1)
    {
        int rows = RowsPerColumn();
        int colWidth = inner.Width / FColumns;
        int col = offset >= 0 ? offset / rows : -((-offset + rows - 1) / rows);
        int row = offset - col * rows;
        return {inner.Left + col * colWidth, inner.Top + row * FItemHeight, colWidth, FItemHeight};
    }
    return {inner.Left, inner.Top + offset * FItemHeight, inner.Width, FItemHeight};
}

int TBlxListBox::ItemAtPos(TBlxPoint p) const
{
    if (!InnerRect().Contains(p))
    {
        return -1;
    }
    int last = std::min(Count(), FTopIndex + VisibleCount());
    for (int i = FTopIndex; i < last; ++i)
    {
        if (ItemRect(i).Contains(p))
        {
            return i;
        }
    }
    return -1;
}

void TBlxListBox::Paint(TBlxCanvas& canvas)
{
    const TBlxPalette& p = TBlxStyle::Palette();
    TBlxColor background = Color().A() != 0 ? Color() : p.Window;
    canvas.FillRect(ClientRect(), background);
    canvas.Save();
    canvas.ClipRect(InnerRect());
    int last = std::min(Count(), FTopIndex + VisibleCount());
    for (int i = FTopIndex; i < last; ++i)
    {
        TBlxRect r = ItemRect(i);
        bool selected = i == FItemIndex;
        canvas.Save();
        canvas.ClipRect(r);
        if (OnDrawItem)
        {
            OnDrawItem(*this, canvas, i, r, selected);
        }
        else
        {
            canvas.FillRect(r, selected ? p.Selection : background);
            TBlxFont font = Font();
            font.Color = selected ? p.SelectionText : p.WindowText;
            TBlxRect textRect{r.Left + kTextInset, r.Top, r.Width - 2 * kTextInset, r.Height};
            canvas.DrawText(textRect, FItems[size_t(i)].Text, font,
                            {TBlxAlignment::Left, TBlxVAlign::Center, false});
        }
        canvas.Restore();
    }
    canvas.Restore();
    if (HasScrollBar())
    {
        PaintScrollBar(canvas);
    }
    canvas.FrameRect(ClientRect(), Focused() ? p.FocusBorder : p.Border);
}

void TBlxListBox::SelectByUser(int index)
{
    if (index < 0 || index >= Count())
    {
        return;
    }
    bool changed = index != FItemIndex;
    SetItemIndex(index);
    if (changed)
    {
        Raise(OnChange, *this);
    }
}

bool TBlxListBox::MouseDown(const TBlxMouseEvent& e)
{
    if (e.Button == TBlxMouseButton::Left && ScrollBarMouseDown(e.Pos))
    {
        Invalidate();
        return true;
    }
    if (e.Button == TBlxMouseButton::Left)
    {
        SelectByUser(ItemAtPos(e.Pos));
    }
    return true;
}

bool TBlxListBox::MouseMove(const TBlxMouseEvent& e)
{
    if (FThumbDrag && HasCapture())
    {
        DragThumb(e.Pos);
        return true;
    }
    if (HasCapture() && (e.Shift & ssLeft))
    {
        SelectByUser(ItemAtPos(e.Pos));
    }
    return true;
}

bool TBlxListBox::MouseUp(const TBlxMouseEvent&)
{
    if (FThumbDrag)
    {
        FThumbDrag.reset();
        Invalidate();
    }
    return true;
}

void TBlxListBox::CaptureLost()
{
    FThumbDrag.reset();
    Invalidate();
}

bool TBlxListBox::MouseWheel(const TBlxWheelEvent& e)
{
    int step = FColumns > 1 ? RowsPerColumn() : 3;
    int delta = e.DeltaY != 0 ? -e.DeltaY : e.DeltaX;
    SetTopIndex(FTopIndex + delta * step);
    return true;
}

bool TBlxListBox::KeyDown(const TBlxKeyEvent& e)
{
    int rows = RowsPerColumn();
    int current = std::max(0, FItemIndex);
    int target;
    switch (e.Key)
    {
    case TBlxKey::Up:
        target = current - 1;
        break;
    case TBlxKey::Down:
        target = FItemIndex < 0 ? 0 : current + 1;
        break;
    case TBlxKey::Left:
        target = FColumns > 1 ? current - rows : current - 1;
        break;
    case TBlxKey::Right:
        target = FColumns > 1 ? current + rows : current + 1;
        break;
    case TBlxKey::Home:
        target = 0;
        break;
    case TBlxKey::End:
        target = Count() - 1;
        break;
    case TBlxKey::PageUp:
        target = current - VisibleCount();
        break;
    case TBlxKey::PageDown:
        target = current + VisibleCount();
        break;
    default:
        return false;
    }
    SelectByUser(std::clamp(target, 0, Count() - 1));
    return true;
}

} // namespace tumblet
