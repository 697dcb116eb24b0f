#pragma once

// Plain value types shared by every part of the platform layer. Nothing here knows about X11.

#include <algorithm>
#include <cstdint>
#include <string>

namespace tumblet
{

struct TBlxPoint
{
    int X = 0;
    int Y = 0;
    friend bool operator==(const TBlxPoint&, const TBlxPoint&) = default;
};

struct TBlxSize
{
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TBlxSize&, const TBlxSize&) = default;
};

/// A rectangle in pixels; Right and Bottom are exclusive.
struct TBlxRect
{
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
    bool Contains(TBlxPoint p) const
    {
        return p.X >= Left && p.Y >= Top && p.X < Right() && p.Y < Bottom();
    }
    TBlxRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Width, Height}; }
    TBlxRect Inflate(int d) const { return {Left - d, Top - d, Width + 2 * d, Height + 2 * d}; }
    TBlxRect Intersect(const TBlxRect& r) const
    {
        int l = std::max(Left, r.Left), t = std::max(Top, r.Top);
        int rr = std::min(Right(), r.Right()), b = std::min(Bottom(), r.Bottom());
        if (rr <= l || b <= t)
        {
            return {};
        }
        return {l, t, rr - l, b - t};
    }
    TBlxRect Union(const TBlxRect& r) const
    {
        if (IsEmpty())
        {
            return r;
        }
        if (r.IsEmpty())
        {
            return *this;
        }
        int l = std::min(Left, r.Left), t = std::min(Top, r.Top);
        return {l, t, std::max(Right(), r.Right()) - l, std::max(Bottom(), r.Bottom()) - t};
    }
    friend bool operator==(const TBlxRect&, const TBlxRect&) = default;
};

/// A colour as 0xAARRGGBB (straight, not premultiplied alpha).
struct TBlxColor
{
    uint32_t Argb = 0xFF000000;

    static constexpr TBlxColor Rgb(uint8_t r, uint8_t g, uint8_t b)
    {
        return {0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b};
    }
    constexpr uint8_t A() const { return uint8_t(Argb >> 24); }
    constexpr uint8_t R() const { return uint8_t(Argb >> 16); }
    constexpr uint8_t G() const { return uint8_t(Argb >> 8); }
    constexpr uint8_t B() const { return uint8_t(Argb); }
    constexpr TBlxColor WithAlpha(uint8_t a) const
    {
        return {(Argb & 0x00FFFFFFu) | (uint32_t(a) << 24)};
    }
    /// Each channel c becomes c - c * percent / 100, rounded to the nearest integer
    /// (ties to even).
    TBlxColor Darken(int percent) const;
    /// Each channel c becomes c + (255 - c) * percent / 100, rounded to the nearest integer
    /// (ties to even).
    TBlxColor Lighten(int percent) const;
    /// Mixes towards `other` by t (0 keeps this colour, 1 gives `other`).
    TBlxColor Blend(TBlxColor other, double t) const;
    /// "#RRGGBB" or "#AARRGGBB"; false when the text is not such a colour.
    static bool Parse(const std::string& text, TBlxColor& out);
    friend bool operator==(const TBlxColor&, const TBlxColor&) = default;
};

namespace BlxColors
{
inline constexpr TBlxColor Black = TBlxColor::Rgb(0, 0, 0);
inline constexpr TBlxColor White = TBlxColor::Rgb(255, 255, 255);
inline constexpr TBlxColor Silver = TBlxColor::Rgb(192, 192, 192);
inline constexpr TBlxColor Transparent = {0x00000000};
} // namespace BlxColors

/// Modifier keys and held mouse buttons at the time of an event.
enum TBlxShiftState : unsigned
{
    ssNone = 0,
    ssShift = 1,
    ssCtrl = 2,
    ssAlt = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
};

enum class TBlxMouseButton
{
    None,
    Left,
    Right,
    Middle,
};

/// Keys that are not text. Letters and digits arrive as TBlxKey::Character with their code point.
enum class TBlxKey
{
    None,
    Character,
    Backspace,
    Tab,
    Enter,
    Escape,
    Delete,
    Insert,
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    PageUp,
    PageDown,
    F1,
    Other,
};

enum class TBlxCursor
{
    Default,
    IBeam,
    Hand,
    SizeWE,
    SizeNS,
    Wait,
};

/// The result a modal window closes with.
enum class TBlxModalResult
{
    None,
    OK,
    Cancel,
    Yes,
    No,
};

enum class TBlxAlignment
{
    Left,
    Right,
    Center,
};

/// An opaque native window id (an X11 Window on the X11 backend).
using TBlxNativeId = uint64_t;

} // namespace tumblet
