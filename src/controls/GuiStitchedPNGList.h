#pragma once

#include "controls/GuiStitchedPNGCollectionItem.h"

#include <memory>
#include <string>
#include <vector>

namespace tumblet
{

/// An owned collection of stitched strips, addressed by index. Thread: UI.
class TGuiStitchedPNGList
{
public:
    TGuiStitchedPNGCollectionItem& Add();
    /// Adds an item showing an embedded resource; its DisplayName is the resource name.
    TGuiStitchedPNGCollectionItem& AddResource(const std::string& name, int glyphCount,
                                               TGuiStitchKind kind = skVertical);
    int Count() const { return int(FItems.size()); }
    /// The item at index, or null when there is none.
    TGuiStitchedPNGCollectionItem* Item(int index) const;
    int IndexOf(const std::string& displayName) const;
    void Clear() { FItems.clear(); }

    /// The editor's four dial strips: "Dial100", "Dial100_Center", "Dial5", "Dial200".
    void LoadDialStrips();

private:
    std::vector<std::unique_ptr<TGuiStitchedPNGCollectionItem>> FItems;
};

} // namespace tumblet
