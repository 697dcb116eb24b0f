#pragma once

#include "ui/BlxTypes.h"

#include <string>

namespace tumblet
{

/// Family lists with fall-backs for the faces the windows are designed in.
inline constexpr const char* kBlxFontSegoeUI = "Segoe UI, Noto Sans, DejaVu Sans, sans-serif";
inline constexpr const char* kBlxFontTahoma = "Tahoma, DejaVu Sans, sans-serif";

/// A font request: a comma-separated family list, a character height in pixels (96 dpi,
/// unscaled), weight and colour.
struct TBlxFont
{
    std::string Family = kBlxFontSegoeUI;
    int SizePx = 12;
    bool Bold = false;
    TBlxColor Color = BlxColors::Black;

    friend bool operator==(const TBlxFont&, const TBlxFont&) = default;
};

} // namespace tumblet
