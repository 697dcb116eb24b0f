#pragma once

// Text layout and measurement on pango. Thread: UI.

#include "ui/BlxCairo.h"
#include "ui/BlxFont.h"
#include "ui/BlxTypes.h"

#include <string>

namespace tumblet
{

enum class TBlxVAlign
{
    Top,
    Center,
    Bottom,
};

struct TBlxTextFormat
{
    TBlxAlignment Align = TBlxAlignment::Left;
    TBlxVAlign VAlign = TBlxVAlign::Top;
    bool WordWrap = false; ///< otherwise one line, clipped (never ellipsised)
};

namespace BlxText
{
/// Builds a layout for `cr` (or for the shared measuring context when null). A wrapWidth < 0
/// keeps the text on one line.
TPangoLayoutHandle CreateLayout(cairo_t* cr, const TBlxFont& font, const std::string& text,
                                int wrapWidth = -1);
/// A shared layout from the cache, updated for `cr` (or the measuring context when null). It
/// stays valid until the next call; callers must not keep it.
PangoLayout* CachedLayout(cairo_t* cr, const TBlxFont& font, const std::string& text,
                          int wrapWidth = -1);
/// Logical size of the text in pixels.
TBlxSize Extent(const TBlxFont& font, const std::string& text, int wrapWidth = -1);
/// Sets up a context that draws text at a scale: glyph advances are not rounded to device
/// pixels, so a line is as long at every scale as the layout allows for, only sharper.
void PrepareScaledContext(cairo_t* cr, double scale);
/// Logical size of the text as a window of that scale draws it, in logical pixels.
TBlxSize ExtentAtScale(const TBlxFont& font, const std::string& text, double scale);
/// Height of one line of the font (ascent + descent).
int LineHeight(const TBlxFont& font);
/// x offset of the caret before character `index` (characters are code points).
int IndexToX(const TBlxFont& font, const std::u32string& text, int index);
/// The caret index nearest to x.
int XToIndex(const TBlxFont& font, const std::u32string& text, int x);
} // namespace BlxText

/// UTF-8 and UTF-32 conversion; invalid input bytes become U+FFFD.
std::u32string Utf8ToUtf32(const std::string& text);
std::string Utf32ToUtf8(const std::u32string& text);

} // namespace tumblet
