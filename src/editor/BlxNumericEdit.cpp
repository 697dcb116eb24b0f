#include "editor/BlxNumericEdit.h"

#include "ui/BlxApplication.h"
#include "ui/BlxHooks.h"
#include "ui/BlxLocale.h"
#include "ui/BlxText.h"
#include "ui/BlxWindow.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tumblet
{

namespace
{

constexpr char32_t kBackspace = 8;
constexpr char32_t kCtrlC = 3;
constexpr char32_t kCtrlV = 22;
constexpr char32_t kCtrlX = 24;
constexpr char32_t kEnter = 13;
constexpr char32_t kEscape = 27;
constexpr int kMaxDecimals = 9;
/// Character height of the system font, in pixels, for the minimum height rule.
constexpr int kSystemFontHeight = 16;

bool IsDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

/// The character at index i, or 0 past the end (the shorter texts have no second character).
char32_t At(const std::u32string& s, size_t i)
{
    return i < s.size() ? s[i] : 0;
}

} // namespace

TBlxNumericEdit::TBlxNumericEdit()
{
    SetAlignment(TBlxAlignment::Right);
    SetText32(Format(0));
}

char32_t TBlxNumericEdit::Separator() const
{
    std::u32string s = Utf8ToUtf32(TBlxLocale::DecimalSeparator());
    return s.empty() ? U'.' : s[0];
}

std::u32string TBlxNumericEdit::Format(double v) const
{
    if (!std::isfinite(v))
    {
        v = 0;
    }
    char buffer[400];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, FDecimals);
    std::string text = ec == std::errc() ? std::string(buffer, end) : std::string("0");
    // A number that rounds to zero shows no sign.
    if (text[0] == '-' && text.find_first_of("123456789") == std::string::npos)
    {
        text.erase(0, 1);
    }
    std::u32string out = Utf8ToUtf32(text);
    std::replace(out.begin(), out.end(), U'.', Separator());
    return out;
}

double TBlxNumericEdit::Value() const
{
    std::u32string t = Text32();
    if (t.empty())
    {
        return 0;
    }
    std::replace(t.begin(), t.end(), Separator(), U'.');
    std::string s = Utf32ToUtf8(t);
    double v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size() && std::isfinite(v) ? v : 0;
}

void TBlxNumericEdit::SetValue(double v)
{
    std::u32string text = Format(v);
    if (text != Text32())
    {
        SetText32(text);
    }
}

double TBlxNumericEdit::Clamped(double v) const
{
    if (!HasRange())
    {
        return v;
    }
    return v < FMinValue ? FMinValue : v > FMaxValue ? FMaxValue : v;
}

void TBlxNumericEdit::SetDecimals(int decimals)
{
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    if (decimals == FDecimals)
    {
        return;
    }
    double v = Clamped(Value());
    FDecimals = decimals;
    SetValue(v);
}

void TBlxNumericEdit::SetTextAndCaret(const std::u32string& text, int caret)
{
    ReplaceText(text);
    SetCaretPos(caret);
}

void TBlxNumericEdit::FocusOut()
{
    if (HasRange())
    {
        double v = Value();
        if (v < FMinValue)
        {
            SetValue(FMinValue);
        }
        else if (v > FMaxValue)
        {
            SetValue(FMaxValue);
        }
    }
}

bool TBlxNumericEdit::KeyDown(const TBlxKeyEvent& e)
{
    if (e.Key == TBlxKey::Delete && !ReadOnly())
    {
        if (SelLength() == 0)
        {
            DeleteOne(true);
        }
        else
        {
            ClearSelection();
            Changed();
        }
        return true;
    }
    if (e.Key == TBlxKey::Character && (e.Shift & ssCtrl) && (e.Char == U'a' || e.Char == U'A'))
    {
        // The character Ctrl+A produces next selects everything.
        FSelectAllNext = true;
        return false;
    }
    return TBlxEdit::KeyDown(e);
}

bool TBlxNumericEdit::KeyPress(char32_t& ch)
{
    if (FSelectAllNext)
    {
        SelectAll();
        FSelectAllNext = false;
        return true;
    }
    if ((ch == kEnter || ch == kEscape) && Window())
    {
        Window()->DialogKey(ch == kEnter ? TBlxKey::Enter : TBlxKey::Escape);
        if (ch == kEnter)
        {
            return true;
        }
    }
    Raise(OnKeyPress, *this, ch);
    if (ReadOnly())
    {
        return ch == kEscape || ch == 0 || DefaultKeyPress(ch);
    }
    if (ch == 0 || ch == kCtrlC || ch == kCtrlV || ch == kCtrlX)
    {
        return ch == 0 || DefaultKeyPress(ch);
    }
    return FilterCharacter(ch);
}

bool TBlxNumericEdit::FilterCharacter(char32_t ch)
{
    const char32_t sep = Separator();
    if (ch == sep)
    {
        SetCaretPos(SelStart());
    }
    else if (SelLength() > 0)
    {
        ClearSelection();
        // Backspace deletes the selection only, not one more character before it.
        if (ch == kBackspace)
        {
            return true;
        }
    }
    const bool minus = Text32().find(U'-') != std::u32string::npos;
    if (ch != kBackspace && ch != U'-' && !IsDigit(ch) && ch != sep)
    {
        return true;
    }
    int pos = CaretPos();
    if ((ch == U'0' && pos == 0) || (ch == sep && FDecimals == 0))
    {
        return true;
    }
    if (ch == U'-')
    {
        ToggleSign(minus, pos);
        return true;
    }
    return PlaceCharacter(ch, pos, minus);
}

void TBlxNumericEdit::ToggleSign(bool minus, int pos)
{
    if (FMinValue >= 0)
    {
        return;
    }
    std::u32string t = Text32();
    if (minus)
    {
        SetTextAndCaret(t.substr(1), std::max(0, pos - 1));
    }
    else
    {
        SetTextAndCaret(U"-" + t, pos + 1);
    }
}

bool TBlxNumericEdit::PlaceCharacter(char32_t ch, int pos, bool minus)
{
    const char32_t sep = Separator();
    const int length = int(Text32().size());
    if (pos == length && FDecimals > 0 && ch != kBackspace && ch != sep)
    {
        // The decimals are complete.
        return true;
    }
    if (ch == sep)
    {
        SetCaretPos(length - FDecimals);
        return true;
    }
    if (minus && pos == 0)
    {
        pos = 1;
        SetCaretPos(pos);
    }
    if (ch == kBackspace)
    {
        DeleteOne(false);
        return true;
    }
    return TypeDigit(ch, pos, minus);
}

bool TBlxNumericEdit::TypeDigit(char32_t ch, int pos, bool minus)
{
    const std::u32string t = Text32();
    const int length = int(t.size());
    const int d = FDecimals;
    if (pos <= 2 && At(t, 1) == U'0' && minus)
    {
        SetTextAndCaret(U"-" + std::u32string(1, ch) + (t.size() > 2 ? t.substr(2) : U""), 2);
        return true;
    }
    if (pos <= 1 && At(t, 0) == U'0')
    {
        SetTextAndCaret(std::u32string(1, ch) + t.substr(1), 1);
        return true;
    }
    if (d == 0 || pos == length - d - 1)
    {
        return DefaultKeyPress(ch);
    }
    if (pos < length - d - 1)
    {
        if (MaxLength() > 0 && length >= MaxLength())
        {
            return true;
        }
        std::u32string n = t;
        n.insert(size_t(pos), 1, ch);
        SetTextAndCaret(n, pos + 1);
        return true;
    }
    std::u32string n = t;
    n[size_t(pos)] = ch;
    SetTextAndCaret(n, pos + 1);
    return true;
}

void TBlxNumericEdit::DeleteOne(bool forward)
{
    const std::u32string t = Text32();
    const int length = int(t.size());
    const int d = FDecimals;
    const int b = CaretPos() + (forward ? 1 : 0);
    const bool minus = t.find(U'-') != std::u32string::npos;
    if (b == 0 || b == length + 1)
    {
        return;
    }
    auto removeAt = [&](int index)
    {
        std::u32string n = t;
        n.erase(size_t(index), 1);
        return n;
    };
    if (d > 0)
    {
        if (b > length - d)
        {
            SetTextAndCaret(removeAt(b - 1) + U"0", b - 1);
        }
        else if (b == length - d)
        {
            SetCaretPos(forward ? length - d : length - d - 1);
        }
        else if (b == 2 && length - d == 3 && minus)
        {
            SetTextAndCaret(U"-0" + t.substr(2), 1);
        }
        else if (b == 1 && length - d == 2)
        {
            SetTextAndCaret(U"0" + t.substr(1), 1);
        }
        else
        {
            SetTextAndCaret(removeAt(b - 1), b - 1);
        }
        return;
    }
    if (b == 2 && length == 2 && minus)
    {
        SetTextAndCaret(U"-0", 1);
    }
    else if (b == 1 && length == 1)
    {
        SetTextAndCaret(U"0", 1);
    }
    else
    {
        SetTextAndCaret(removeAt(b - 1), b - 1);
    }
}

void TBlxNumericEdit::ClearSelection()
{
    int count = SelLength();
    if (count == 0)
    {
        return;
    }
    int end = SelStart() + count;
    ++FChangeSuppressed;
    SetCaretPos(end);
    for (int i = 0; i < count; ++i)
    {
        DeleteOne(false);
    }
    --FChangeSuppressed;
    Changed();
}

void TBlxNumericEdit::CutToClipboard()
{
    if (ReadOnly())
    {
        return;
    }
    CopyToClipboard();
    ClearSelection();
}

void TBlxNumericEdit::PasteFromClipboard()
{
    if (ReadOnly())
    {
        return;
    }
    ClearSelection();
    for (char32_t c : Utf8ToUtf32(TBlxApplication::Instance().ClipboardText()))
    {
        // Control characters would re-enter the clipboard handling (Ctrl+V pasting again
        // without end) or press the dialog's buttons mid-paste: only printable ones are typed.
        if (c >= 32)
        {
            KeyPress(c);
        }
    }
}

void TBlxNumericEdit::Resized()
{
    TBlxEdit::Resized();
    EnsureMinimumHeight();
}

void TBlxNumericEdit::AttachedToWindow()
{
    TBlxEdit::AttachedToWindow();
    EnsureMinimumHeight();
}

void TBlxNumericEdit::EnsureMinimumHeight()
{
    // Four border heights (1 px each), the character height, a quarter of the smaller of it
    // and the system font's, and 2 pixels.
    int h = BlxText::LineHeight(Font());
    int minimum = 4 + h + std::min(h, kSystemFontHeight) / 4 + 2;
    if (Height() < minimum)
    {
        SetBounds(Left(), Top(), Width(), minimum);
    }
}

} // namespace tumblet
