#pragma once

#include "controls/BlxSpeedButton.h"

#include <vector>

namespace tumblet
{

/// The icon button that opens the main menu: glyph 0 normally, glyph 1 while a mouse button is
/// held on it, both made from the "menu16" bars in the skin's button-text colours.
/// All members: Thread: UI.
class TBlxMenuButton : public TBlxSpeedButton
{
public:
    TBlxMenuButton();

    /// A copy of a glyph with pure black in `color` and pure magenta transparent; every other
    /// pixel is kept.
    static TBlxPixelBuffer RecolourGlyph(const TBlxPixelBuffer& source, TBlxColor color);

    /// Under a skin, builds the two glyphs from its button-text colours; without one the button
    /// shows no glyph.
    void Loaded();
    int GlyphCount() const { return int(FGlyphs.size()); }
    const TBlxPixelBuffer& GlyphAt(int index) const { return FGlyphs[size_t(index)]; }
    /// The glyph index shown now.
    int ShownGlyph() const { return FPressed ? 1 : 0; }

    bool MouseDown(const TBlxMouseEvent& e) override;
    bool MouseUp(const TBlxMouseEvent& e) override;
    void CaptureLost() override;

protected:
    const TBlxPixelBuffer* Glyph() const override;
    void PrepareGlyph(double scale) override;
    double GlyphScale() const override { return FGlyphScale; }

private:
    void BuildGlyphs(double scale);

    std::vector<TBlxPixelBuffer> FGlyphs;
    double FGlyphScale = 1.0;
    bool FPressed = false;
};

} // namespace tumblet
