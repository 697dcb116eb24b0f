#include "controls/GuiStitchedPNGList.h"

namespace tumblet
{

TGuiStitchedPNGCollectionItem& TGuiStitchedPNGList::Add()
{
    FItems.push_back(std::make_unique<TGuiStitchedPNGCollectionItem>());
    return *FItems.back();
}

TGuiStitchedPNGCollectionItem& TGuiStitchedPNGList::AddResource(const std::string& name,
                                                                int glyphCount, TGuiStitchKind kind)
{
    TGuiStitchedPNGCollectionItem& item = Add();
    item.SetDisplayName(name);
    item.SetGlyphCount(glyphCount);
    item.SetStitchKind(kind);
    item.LoadFromResource(name);
    return item;
}

TGuiStitchedPNGCollectionItem* TGuiStitchedPNGList::Item(int index) const
{
    if (index < 0 || index >= Count())
    {
        return nullptr;
    }
    return FItems[size_t(index)].get();
}

int TGuiStitchedPNGList::IndexOf(const std::string& displayName) const
{
    for (int i = 0; i < Count(); ++i)
    {
        if (FItems[size_t(i)]->DisplayName() == displayName)
        {
            return i;
        }
    }
    return -1;
}

void TGuiStitchedPNGList::LoadDialStrips()
{
    // Frame counts: a value per percent (0..100), five octaves, and 0..200 in steps of one.
    AddResource("Dial100", 101);
    AddResource("Dial100_Center", 101);
    AddResource("Dial5", 5);
    AddResource("Dial200", 201);
}

} // namespace tumblet
