#pragma once

#include "ui/BlxEdit.h"

namespace tumblet
{

/// An edit box for a number with a fixed count of decimals. Its own key handling keeps the
/// text a well-formed number (optional "-", integer digits, the decimal separator and exactly
/// Decimals digits) at every keystroke. Thread: UI.
class TBlxNumericEdit : public TBlxEdit
{
public:
    TBlxNumericEdit();

    int Decimals() const { return FDecimals; }
    /// 0 to 9 (values outside are clamped); reformats the clamped current value.
    void SetDecimals(int decimals);
    double MinValue() const { return FMinValue; }
    void SetMinValue(double v) { FMinValue = v; }
    /// When MinValue equals MaxValue there is no range.
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double v) { FMaxValue = v; }
    /// The text read as a number in the user's locale; 0 when empty or not a number.
    double Value() const;
    /// Shows the number in the display format; the text changes only when it differs.
    void SetValue(double v);
    /// The text a value is shown as.
    std::u32string Format(double v) const;

    bool KeyDown(const TBlxKeyEvent& e) override;
    bool KeyPress(char32_t& ch) override;
    void FocusOut() override;
    void ClearSelection() override;
    void CutToClipboard() override;
    void PasteFromClipboard() override;

protected:
    void Resized() override;
    void AttachedToWindow() override;

private:
    bool HasRange() const { return FMinValue != FMaxValue; }
    double Clamped(double v) const;
    char32_t Separator() const;
    /// Deletes one character backward (backspace) or forward (Delete) by the box's rules.
    void DeleteOne(bool forward);
    void SetTextAndCaret(const std::u32string& text, int caret);
    /// The filtering steps after the dialog keys and the clipboard codes.
    bool FilterCharacter(char32_t ch);
    void ToggleSign(bool minus, int pos);
    bool PlaceCharacter(char32_t ch, int pos, bool minus);
    bool TypeDigit(char32_t ch, int pos, bool minus);
    void EnsureMinimumHeight();

    int FDecimals = 2;
    double FMinValue = 0;
    double FMaxValue = 0;
    bool FSelectAllNext = false;
};

} // namespace tumblet
