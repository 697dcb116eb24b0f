#include "controls/BlxValueControlColors.h"

#include <array>
#include <cstdint>

namespace tumblet
{

namespace
{

constexpr TBlxColor Hex(uint32_t rgb)
{
    return {0xFF000000u | rgb};
}

struct TEntry
{
    const char* Skin;
    TBlxValueControlColors Colors;
};

const std::array<TEntry, 5> kTable = {{
    {"Carbon", {Hex(0x808080), Hex(0x353535), Hex(0xECECEC), Hex(0x618D23), Hex(0x2C708E)}},
    {"Zuzereda", {Hex(0x454545), Hex(0x272727), Hex(0xECECEC), Hex(0x40BCAA), Hex(0x369E8E)}},
    {"Light", {Hex(0x939393), Hex(0xFDFDFD), Hex(0x333333), Hex(0xC9DFEF), Hex(0xA2C7E4)}},
    {"Luna", {Hex(0x939393), Hex(0xD2E0F1), Hex(0x333333), Hex(0xFAD56E), Hex(0xF8C12A)}},
    {"Divodo Vididi Vodov",
     {Hex(0x939393), Hex(0xE5E5E5), Hex(0x333333), Hex(0xF4A786), Hex(0xF28A60)}},
}};

} // namespace

std::optional<TBlxValueControlColors> TBlxValueControlColors::ForSkin(const std::string& skinName)
{
    for (const TEntry& e : kTable)
    {
        if (skinName == e.Skin)
        {
            return e.Colors;
        }
    }
    return std::nullopt;
}

} // namespace tumblet
