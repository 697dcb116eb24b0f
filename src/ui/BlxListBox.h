#pragma once

#include "ui/BlxControl.h"

#include <optional>
#include <string>
#include <vector>

namespace tumblet
{

class TBlxCanvas;

/// A list of text entries with fixed item height, one selected entry, optional owner drawing
/// and several columns (entries fill a column top to bottom, then the next; the list then
/// scrolls sideways by whole columns). Thread: UI.
class TBlxListBox : public TBlxControl
{
public:
    struct TItem
    {
        std::string Text;
        int Data = 0;
    };

    TBlxListBox();

    int Count() const { return int(FItems.size()); }
    const TItem& Item(int index) const { return FItems[size_t(index)]; }
    void AddItem(const std::string& text, int data = 0);
    void Clear();
    /// The selected entry, or -1.
    int ItemIndex() const { return FItemIndex; }
    /// Selects an entry (-1 for none) and scrolls it into view; raises no change event.
    void SetItemIndex(int index);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int h);
    /// 0 or 1 for one column that scrolls vertically.
    int Columns() const { return FColumns; }
    void SetColumns(int columns);
    /// The first visible entry.
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int index);
    /// The entry at a point of the client area, or -1.
    int ItemAtPos(TBlxPoint p) const;
    /// The rectangle of an entry in client coordinates (may lie outside the visible area).
    TBlxRect ItemRect(int index) const;
    int RowsPerColumn() const;
    /// A scroll bar appears when not every entry fits: along the bottom for several columns,
    /// along the right edge for one.
    bool HasScrollBar() const;
    TBlxRect ScrollBarRect() const;
    TBlxRect ThumbRect() const;

    void Paint(TBlxCanvas& canvas) override;
    bool MouseDown(const TBlxMouseEvent& e) override;
    bool MouseMove(const TBlxMouseEvent& e) override;
    bool MouseUp(const TBlxMouseEvent& e) override;
    void CaptureLost() override;
    bool MouseWheel(const TBlxWheelEvent& e) override;
    bool KeyDown(const TBlxKeyEvent& e) override;

    /// Draws an entry instead of the default look (background then text inset 4 pixels).
    std::function<void(TBlxListBox& sender, TBlxCanvas& canvas, int index, const TBlxRect& rect,
                       bool selected)>
        OnDrawItem;
    /// The user changed the selection.
    std::function<void(TBlxControl& sender)> OnChange;

private:
    /// Scroll positions in whole columns (several columns) or entries (one column).
    struct TScrollUnits
    {
        int Total;
        int Visible;
        int Position;
    };
    struct TThumbDrag
    {
        int StartPixel;
        int StartPosition;
    };
    TScrollUnits ScrollUnits() const;
    void SetScrollPosition(int units);
    bool ScrollBarMouseDown(TBlxPoint p);
    void DragThumb(TBlxPoint p);
    void PaintScrollBar(TBlxCanvas& canvas);
    void SelectByUser(int index);
    void ScrollIntoView(int index);
    int VisibleCount() const;
    TBlxRect InnerRect() const;

    std::vector<TItem> FItems;
    int FItemIndex = -1;
    int FItemHeight = 16;
    int FColumns = 0;
    int FTopIndex = 0;
    std::optional<TThumbDrag> FThumbDrag;
};

} // namespace tumblet
