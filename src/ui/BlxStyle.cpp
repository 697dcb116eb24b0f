#include "ui/BlxStyle.h"

#include "ui/BlxSkinData.h"

#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace tumblet
{

namespace
{

using TField = TBlxColor TBlxPalette::*;

const std::map<std::string, TField>& Fields()
{
    static const std::map<std::string, TField> fields = {
        {"ButtonFace", &TBlxPalette::ButtonFace},
        {"ButtonText", &TBlxPalette::ButtonText},
        {"ButtonTextPressed", &TBlxPalette::ButtonTextPressed},
        {"ButtonNormal", &TBlxPalette::ButtonNormal},
        {"ButtonHot", &TBlxPalette::ButtonHot},
        {"ButtonPressed", &TBlxPalette::ButtonPressed},
        {"ButtonBorder", &TBlxPalette::ButtonBorder},
        {"Panel", &TBlxPalette::Panel},
        {"CategoryPanelGroup", &TBlxPalette::CategoryPanelGroup},
        {"GenericBackground", &TBlxPalette::GenericBackground},
        {"HintGradientBase", &TBlxPalette::HintGradientBase},
        {"Border", &TBlxPalette::Border},
        {"Window", &TBlxPalette::Window},
        {"WindowText", &TBlxPalette::WindowText},
        {"Selection", &TBlxPalette::Selection},
        {"SelectionText", &TBlxPalette::SelectionText},
        {"FocusBorder", &TBlxPalette::FocusBorder},
        {"DisabledText", &TBlxPalette::DisabledText},
        {"MenuBackground", &TBlxPalette::MenuBackground},
        {"MenuText", &TBlxPalette::MenuText},
        {"MenuHighlight", &TBlxPalette::MenuHighlight},
        {"MenuHighlightText", &TBlxPalette::MenuHighlightText},
        {"MenuDisabledText", &TBlxPalette::MenuDisabledText},
        {"MenuSeparator", &TBlxPalette::MenuSeparator},
        {"MenuBorder", &TBlxPalette::MenuBorder},
    };
    return fields;
}

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
    {
        return {};
    }
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

/// The embedded palettes, parsed once; a broken one is a build fault caught by the tests.
const std::vector<TBlxPalette>& Embedded()
{
    static const std::vector<TBlxPalette> palettes = []
    {
        std::vector<TBlxPalette> list;
        for (const TBlxSkinResource& r : BlxSkinResources())
        {
            TBlxPalette p;
            std::string error;
            if (TBlxStyle::ParsePalette(r.Text, p, error))
            {
                list.push_back(p);
            }
        }
        return list;
    }();
    return palettes;
}

std::optional<size_t>& Selected()
{
    static std::optional<size_t> selected;
    return selected;
}

} // namespace

bool TBlxStyle::ParsePalette(const std::string& text, TBlxPalette& out, std::string& error)
{
    std::istringstream in(text);
    std::string line;
    std::map<std::string, bool> seen;
    int number = 0;
    while (std::getline(in, line))
    {
        ++number;
        line = Trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';')
        {
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos)
        {
            error = "line " + std::to_string(number) + ": no '='";
            return false;
        }
        std::string key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
        if (key == "Name")
        {
            out.Name = value;
            continue;
        }
        auto it = Fields().find(key);
        if (it == Fields().end())
        {
            error = "line " + std::to_string(number) + ": unknown key " + key;
            return false;
        }
        if (!TBlxColor::Parse(value, out.*(it->second)))
        {
            error = "line " + std::to_string(number) + ": bad colour " + value;
            return false;
        }
        seen[key] = true;
    }
    for (const auto& [key, field] : Fields())
    {
        if (!seen.count(key))
        {
            error = "missing " + key;
            return false;
        }
    }
    if (out.Name.empty())
    {
        error = "missing Name";
        return false;
    }
    return true;
}

void TBlxStyle::Select(const std::string& name)
{
    const auto& list = Embedded();
    for (size_t i = 0; i < list.size(); ++i)
    {
        if (list[i].Name == name)
        {
            Selected() = i;
            return;
        }
    }
    throw std::runtime_error("The style \"" + name + "\" does not exist.");
}

void TBlxStyle::SelectNone()
{
    Selected().reset();
}

const std::string& TBlxStyle::ActiveName()
{
    static const std::string none;
    return Selected() ? Embedded()[*Selected()].Name : none;
}

const TBlxPalette& TBlxStyle::Palette()
{
    return Selected() ? Embedded()[*Selected()] : PlainPalette();
}

const TBlxPalette& TBlxStyle::PlainPalette()
{
    // The look without a skin: the classic light desktop colours.
    static const TBlxPalette plain = []
    {
        TBlxPalette p;
        auto c = [](uint32_t rgb) { return TBlxColor{0xFF000000u | rgb}; };
        p.ButtonFace = c(0xF0F0F0), p.ButtonText = c(0x000000), p.ButtonTextPressed = c(0x000000);
        p.ButtonNormal = c(0xE1E1E1), p.ButtonHot = c(0xE5F1FB), p.ButtonPressed = c(0xCCE4F7);
        p.ButtonBorder = c(0xADADAD), p.Panel = c(0xF0F0F0), p.CategoryPanelGroup = c(0xE3E3E3);
        p.GenericBackground = c(0xFFFFFF), p.HintGradientBase = c(0xFFFFFF);
        p.Border = c(0xA0A0A0), p.Window = c(0xFFFFFF), p.WindowText = c(0x000000);
        p.Selection = c(0x0078D7), p.SelectionText = c(0xFFFFFF), p.FocusBorder = c(0x0078D7);
        p.DisabledText = c(0x6D6D6D), p.MenuBackground = c(0xF2F2F2), p.MenuText = c(0x000000);
        p.MenuHighlight = c(0x91C9F7), p.MenuHighlightText = c(0x000000);
        p.MenuDisabledText = c(0x6D6D6D), p.MenuSeparator = c(0xD7D7D7);
        p.MenuBorder = c(0xCCCCCC);
        return p;
    }();
    return plain;
}

std::vector<std::string> TBlxStyle::Names()
{
    std::vector<std::string> names;
    for (const TBlxPalette& p : Embedded())
    {
        names.push_back(p.Name);
    }
    return names;
}

} // namespace tumblet
