#include "engine/BlxValueList.h"

#include "engine/IntText.h"

#include <stdexcept>

namespace tumblet
{

TBlxValueListItem& TBlxValueList::Add(std::string name, std::int32_t tag)
{
    std::unique_ptr<TBlxValueListItem> item = NewItem();
    item->Name = std::move(name);
    item->Tag = tag;
    FItems.push_back(std::move(item));
    return *FItems.back();
}

int TBlxValueList::FindByName(std::string_view name) const
{
    for (std::size_t i = 0; i < FItems.size(); ++i)
    {
        if (FItems[i]->Name == name)
        {
            return static_cast<int>(i);
        }
    }
    throw std::out_of_range("TBlxValueList.FindByName - No match: " + std::string(name));
}

int TBlxValueList::FindByTag(std::int32_t tag) const
{
    for (std::size_t i = 0; i < FItems.size(); ++i)
    {
        if (FItems[i]->Tag == tag)
        {
            return static_cast<int>(i);
        }
    }
    throw std::out_of_range("TBlxValueList.FindByTag - No match: " + IntText(tag));
}

TBlxValueListItem& TBlxValueList::Items(int index) const
{
    if (index < 0 || index >= Count())
    {
        throw std::out_of_range("TBlxValueList.Items - Index out of range: " + IntText(index));
    }
    return *FItems[static_cast<std::size_t>(index)];
}

TBlxValueListItem& TBlxValueList::Items(std::string_view name) const
{
    return Items(FindByName(name));
}

void TBlxValueList::Delete(int index)
{
    if (index < 0 || index >= Count())
    {
        throw std::out_of_range("TBlxValueList.Delete - Index out of range: " + IntText(index));
    }
    FItems.erase(FItems.begin() + index);
}

std::unique_ptr<TBlxValueListItem> TBlxValueList::NewItem() const
{
    return std::make_unique<TBlxValueListItem>();
}

} // namespace tumblet
