#pragma once

#include "ui/BlxTypes.h"

#include <string>
#include <vector>

namespace tumblet
{

/// The colours of one visual style, by the names the editor uses.
struct TBlxPalette
{
    std::string Name;
    TBlxColor ButtonFace;        ///< window and form background
    TBlxColor ButtonText;        ///< text on buttons and forms
    TBlxColor ButtonTextPressed; ///< text of a pressed button
    TBlxColor ButtonNormal;      ///< push-button fill
    TBlxColor ButtonHot;         ///< push-button fill under the pointer
    TBlxColor ButtonPressed;     ///< push-button fill while pressed
    TBlxColor ButtonBorder;
    TBlxColor Panel;
    TBlxColor CategoryPanelGroup;
    TBlxColor GenericBackground;
    TBlxColor HintGradientBase;
    TBlxColor Border;
    TBlxColor Window; ///< edit and list background
    TBlxColor WindowText;
    TBlxColor Selection;
    TBlxColor SelectionText;
    TBlxColor FocusBorder;
    TBlxColor DisabledText;
    TBlxColor MenuBackground;
    TBlxColor MenuText;
    TBlxColor MenuHighlight;
    TBlxColor MenuHighlightText;
    TBlxColor MenuDisabledText;
    TBlxColor MenuSeparator;
    TBlxColor MenuBorder;
};

/// The process-wide visual style. Thread: UI.
class TBlxStyle
{
public:
    /// Selects a style by name for the whole process; throws std::runtime_error when no style
    /// of that name exists (the current style then stays).
    static void Select(const std::string& name);
    /// Back to the plain look without a skin.
    static void SelectNone();
    /// The selected style's name; empty without a skin.
    static const std::string& ActiveName();
    static bool Active() { return !ActiveName().empty(); }
    /// The selected palette, or the plain one without a skin.
    static const TBlxPalette& Palette();
    static const TBlxPalette& PlainPalette();
    /// The names of the embedded styles, in their order.
    static std::vector<std::string> Names();
    /// Reads a palette text ("Key = #RRGGBB" lines, '#' or ';' comments); false with a message
    /// on an unknown key, a bad colour or a missing key.
    static bool ParsePalette(const std::string& text, TBlxPalette& out, std::string& error);
};

} // namespace tumblet
