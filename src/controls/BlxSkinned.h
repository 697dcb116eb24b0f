#pragma once

#include "ui/BlxStyle.h"

#include <string>

namespace tumblet
{

/// The skin a control is handed by its owner, instead of reading the process-wide selection:
/// the owner decides which look its controls take. Thread: UI.
class TBlxSkinned
{
public:
    /// The skin's palette, or null for the plain look. Not owned: palettes live as long as the
    /// process.
    void SetPalette(const TBlxPalette* palette) { FPalette = palette; }
    const TBlxPalette* Skin() const { return FPalette; }

protected:
    /// The skin's colours, or the plain ones.
    const TBlxPalette& SkinColors() const
    {
        return FPalette != nullptr ? *FPalette : TBlxStyle::PlainPalette();
    }
    /// The skin's name; empty for the plain look.
    std::string SkinName() const { return FPalette != nullptr ? FPalette->Name : std::string(); }

private:
    const TBlxPalette* FPalette = nullptr;
};

} // namespace tumblet
