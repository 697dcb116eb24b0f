#pragma once

#include "ui/BlxControl.h"

#include <string>

namespace tumblet
{

/// A single-line text box: caret, selection by mouse and keyboard, clipboard, maximum length,
/// read-only state and a change event. Positions count characters (code points) from 0 before
/// the first one. Thread: UI.
class TBlxEdit : public TBlxControl
{
public:
    TBlxEdit();

    std::string Text() const;
    /// Replaces the text; the caret goes to the start, nothing is selected.
    void SetText(const std::string& text);
    const std::u32string& Text32() const { return FText; }
    void SetText32(const std::u32string& text);

    /// The caret; the selection runs between the anchor and the caret.
    int CaretPos() const { return FCaret; }
    void SetCaretPos(int pos);
    int SelStart() const { return std::min(FCaret, FAnchor); }
    int SelLength() const { return std::abs(FCaret - FAnchor); }
    /// Collapses the selection at pos.
    void SetSelStart(int pos) { SetCaretPos(pos); }
    /// Selects from SelStart over length characters (caret at the end).
    void SetSelLength(int length);
    void SelectAll();
    std::string SelText() const;
    virtual void ClearSelection();
    /// Replaces the selection with text at the caret, as typing does (MaxLength applies).
    void InsertText(const std::u32string& text);

    int MaxLength() const { return FMaxLength; }
    /// 0 for no limit.
    void SetMaxLength(int length) { FMaxLength = std::max(0, length); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool autoSelect) { FAutoSelect = autoSelect; }
    TBlxAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TBlxAlignment a);

    virtual void CopyToClipboard();
    virtual void CutToClipboard();
    virtual void PasteFromClipboard();

    void Paint(TBlxCanvas& canvas) override;
    bool MouseDown(const TBlxMouseEvent& e) override;
    bool MouseMove(const TBlxMouseEvent& e) override;
    bool MouseUp(const TBlxMouseEvent& e) override;
    bool KeyDown(const TBlxKeyEvent& e) override;
    bool KeyPress(char32_t& ch) override;
    void FocusIn() override;

    std::function<void(TBlxControl& sender)> OnChange;
    /// Runs before a typed character is handled; setting it to 0 drops the character.
    std::function<void(TBlxControl& sender, char32_t& ch)> OnKeyPress;

protected:
    /// What the box does with a character by itself (backspace, control codes, insertion).
    bool DefaultKeyPress(char32_t ch);
    void Changed();
    /// While > 0, text changes raise no change event.
    int FChangeSuppressed = 0;
    /// Replaces the text without touching the caret; raises the change event when it differs.
    void ReplaceText(const std::u32string& text);
    /// Sets caret and anchor without range checks beyond the text length.
    void SetSelection(int anchor, int caret);

private:
    int IndexAtX(int x) const;
    void PaintText(TBlxCanvas& canvas, const TBlxFont& font, TBlxPoint origin, int lineHeight);
    int TextOriginX() const;

    std::u32string FText;
    int FCaret = 0;
    int FAnchor = 0;
    int FMaxLength = 0;
    bool FReadOnly = false;
    bool FAutoSelect = true;
    bool FSelecting = false;
    TBlxAlignment FAlignment = TBlxAlignment::Left;
    int FScrollX = 0;
};

} // namespace tumblet
