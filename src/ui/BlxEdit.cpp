#include "ui/BlxEdit.h"

#include "ui/BlxApplication.h"
#include "ui/BlxCanvas.h"
#include "ui/BlxHooks.h"
#include "ui/BlxStyle.h"
#include "ui/BlxText.h"

namespace tumblet
{

namespace
{

/// Space between the frame and the text, in pixels.
constexpr int kTextInset = 4;

} // namespace

TBlxEdit::TBlxEdit()
{
    SetTabStop(true);
    SetCursor(TBlxCursor::IBeam);
    SetBounds(0, 0, 121, 23);
}

std::string TBlxEdit::Text() const
{
    return Utf32ToUtf8(FText);
}

void TBlxEdit::SetText(const std::string& text)
{
    SetText32(Utf8ToUtf32(text));
}

void TBlxEdit::SetText32(const std::u32string& text)
{
    SetSelection(0, 0);
    ReplaceText(text);
}

void TBlxEdit::ReplaceText(const std::u32string& text)
{
    if (text == FText)
    {
        return;
    }
    FText = text;
    SetSelection(std::min(FAnchor, int(FText.size())), std::min(FCaret, int(FText.size())));
    Invalidate();
    Changed();
}

void TBlxEdit::Changed()
{
    if (FChangeSuppressed == 0)
    {
        Raise(OnChange, *this);
    }
}

void TBlxEdit::SetSelection(int anchor, int caret)
{
    int n = int(FText.size());
    FAnchor = std::clamp(anchor, 0, n);
    FCaret = std::clamp(caret, 0, n);
    Invalidate();
}

void TBlxEdit::SetCaretPos(int pos)
{
    SetSelection(pos, pos);
}

void TBlxEdit::SetSelLength(int length)
{
    int start = SelStart();
    SetSelection(start, start + std::max(0, length));
}

void TBlxEdit::SelectAll()
{
    SetSelection(0, int(FText.size()));
}

std::string TBlxEdit::SelText() const
{
    return Utf32ToUtf8(FText.substr(size_t(SelStart()), size_t(SelLength())));
}

void TBlxEdit::ClearSelection()
{
    if (SelLength() == 0)
    {
        return;
    }
    int start = SelStart();
    std::u32string t = FText;
    t.erase(size_t(start), size_t(SelLength()));
    SetSelection(start, start);
    ReplaceText(t);
}

void TBlxEdit::InsertText(const std::u32string& text)
{
    std::u32string t = FText;
    int start = SelStart();
    t.erase(size_t(start), size_t(SelLength()));
    std::u32string insert = text;
    if (FMaxLength > 0)
    {
        int room = std::max(0, FMaxLength - int(t.size()));
        insert = insert.substr(0, size_t(room));
    }
    t.insert(size_t(start), insert);
    int caret = start + int(insert.size());
    FText.swap(t);
    SetSelection(caret, caret);
    if (FText != t)
    {
        Invalidate();
        Changed();
    }
}

void TBlxEdit::SetReadOnly(bool readOnly)
{
    FReadOnly = readOnly;
    Invalidate();
}

void TBlxEdit::SetAlignment(TBlxAlignment a)
{
    FAlignment = a;
    Invalidate();
}

void TBlxEdit::CopyToClipboard()
{
    if (SelLength() > 0)
    {
        TBlxApplication::Instance().SetClipboardText(SelText());
    }
}

void TBlxEdit::CutToClipboard()
{
    if (FReadOnly)
    {
        return;
    }
    CopyToClipboard();
    ClearSelection();
}

void TBlxEdit::PasteFromClipboard()
{
    if (FReadOnly)
    {
        return;
    }
    std::u32string text = Utf8ToUtf32(TBlxApplication::Instance().ClipboardText());
    // One line only: the paste stops at the first line break.
    size_t eol = text.find_first_of(U"\r\n");
    InsertText(text.substr(0, eol));
}

int TBlxEdit::TextOriginX() const
{
    if (FAlignment == TBlxAlignment::Left)
    {
        return kTextInset - FScrollX;
    }
    int w = BlxText::Extent(Font(), Text()).Width;
    int room = Width() - 2 * kTextInset;
    if (w > room)
    {
        return kTextInset - FScrollX;
    }
    return FAlignment == TBlxAlignment::Right ? Width() - kTextInset - w
                                              : kTextInset + (room - w) / 2;
}

int TBlxEdit::IndexAtX(int x) const
{
    return BlxText::XToIndex(Font(), FText, x - TextOriginX());
}

void TBlxEdit::Paint(TBlxCanvas& canvas)
{
    const TBlxPalette& p = TBlxStyle::Palette();
    bool enabled = EffectivelyEnabled();
    TBlxColor own = Color().A() != 0 ? Color() : p.Window;
    canvas.FillRect(ClientRect(), (FReadOnly || !enabled) ? p.ButtonFace : own);
    canvas.FrameRect(ClientRect(), Focused() ? p.FocusBorder : p.Border);
    TBlxFont font = Font();
    font.Color = enabled ? p.WindowText : p.DisabledText;
    // Keep the caret inside the visible part.
    int caretX = BlxText::IndexToX(font, FText, FCaret);
    int room = Width() - 2 * kTextInset;
    if (caretX - FScrollX > room)
    {
        FScrollX = caretX - room;
    }
    else if (caretX < FScrollX)
    {
        FScrollX = caretX;
    }
    int lineHeight = BlxText::LineHeight(font);
    TBlxPoint origin{TextOriginX(), (Height() - lineHeight) / 2};
    canvas.Save();
    canvas.ClipRect({2, 2, Width() - 4, Height() - 4});
    PaintText(canvas, font, origin, lineHeight);
    if (Focused() && !FReadOnly)
    {
        canvas.FillRect({origin.X + caretX, origin.Y, 1, lineHeight}, p.WindowText);
    }
    canvas.Restore();
}

void TBlxEdit::PaintText(TBlxCanvas& canvas, const TBlxFont& font, TBlxPoint origin, int lineHeight)
{
    const TBlxPalette& p = TBlxStyle::Palette();
    std::string text = Text();
    TBlxRect textRect{origin.X, origin.Y, BlxText::Extent(font, text).Width + 1, lineHeight};
    bool selection = SelLength() > 0 && Focused();
    TBlxRect selRect;
    if (selection)
    {
        int a = BlxText::IndexToX(font, FText, SelStart());
        int b = BlxText::IndexToX(font, FText, SelStart() + SelLength());
        selRect = {origin.X + a, origin.Y, b - a, lineHeight};
        canvas.FillRect(selRect, p.Selection);
    }
    canvas.DrawText(textRect, text, font);
    if (selection)
    {
        // The selected part again, in the selection's text colour.
        TBlxFont selFont = font;
        selFont.Color = p.SelectionText;
        canvas.Save();
        canvas.ClipRect(selRect);
        canvas.DrawText(textRect, text, selFont);
        canvas.Restore();
    }
}

bool TBlxEdit::MouseDown(const TBlxMouseEvent& e)
{
    if (e.Button != TBlxMouseButton::Left)
    {
        return false;
    }
    if (e.ClickCount == 2)
    {
        SelectAll();
        return true;
    }
    int index = IndexAtX(e.Pos.X);
    SetSelection((e.Shift & ssShift) ? FAnchor : index, index);
    FSelecting = true;
    return true;
}

bool TBlxEdit::MouseMove(const TBlxMouseEvent& e)
{
    if (FSelecting && HasCapture())
    {
        SetSelection(FAnchor, IndexAtX(e.Pos.X));
    }
    return true;
}

bool TBlxEdit::MouseUp(const TBlxMouseEvent&)
{
    FSelecting = false;
    return true;
}

bool TBlxEdit::KeyDown(const TBlxKeyEvent& e)
{
    bool shift = e.Shift & ssShift;
    int n = int(FText.size());
    auto move = [&](int to)
    {
        SetSelection(shift ? FAnchor : to, to);
        return true;
    };
    switch (e.Key)
    {
    case TBlxKey::Left:
        return move(!shift && SelLength() > 0 ? SelStart() : FCaret - 1);
    case TBlxKey::Right:
        return move(!shift && SelLength() > 0 ? SelStart() + SelLength() : FCaret + 1);
    case TBlxKey::Home:
        return move(0);
    case TBlxKey::End:
        return move(n);
    case TBlxKey::Delete:
        if (FReadOnly)
        {
            return true;
        }
        if (SelLength() == 0)
        {
            SetSelection(FCaret, FCaret + 1);
        }
        ClearSelection();
        return true;
    default:
        return false;
    }
}

bool TBlxEdit::KeyPress(char32_t& ch)
{
    Raise(OnKeyPress, *this, ch);
    if (ch == 0)
    {
        return true;
    }
    return DefaultKeyPress(ch);
}

bool TBlxEdit::DefaultKeyPress(char32_t ch)
{
    switch (ch)
    {
    case 1: // Ctrl+A
        SelectAll();
        return true;
    case 3: // Ctrl+C
        CopyToClipboard();
        return true;
    case 22: // Ctrl+V
        PasteFromClipboard();
        return true;
    case 24: // Ctrl+X
        CutToClipboard();
        return true;
    case 8: // backspace
        if (!FReadOnly)
        {
            if (SelLength() == 0)
            {
                SetSelection(FCaret - 1, FCaret);
            }
            ClearSelection();
        }
        return true;
    default:
        break;
    }
    if (ch < 32 || ch == 127)
    {
        return false;
    }
    if (!FReadOnly)
    {
        InsertText(std::u32string(1, ch));
    }
    return true;
}

void TBlxEdit::FocusIn()
{
    // A press that gives the focus places the caret itself; keyboard focus selects all.
    if (FAutoSelect && !(TBlxApplication::Instance().PointerButtons() & ssLeft))
    {
        SelectAll();
    }
}

} // namespace tumblet
