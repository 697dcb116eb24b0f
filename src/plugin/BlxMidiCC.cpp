#include "plugin/BlxMidiCC.h"

namespace tumblet
{

std::int32_t TMidiCCList::IndexOfName(const std::string& name) const noexcept
{
    for (std::size_t i = 0; i < FItems.size(); ++i)
    {
        if (FItems[i].Name == name)
            return static_cast<std::int32_t>(i);
    }
    return -1;
}

TMidiCCItem& TMidiCCList::SetCC(const std::string& name, std::int32_t cc)
{
    const std::int32_t index = IndexOfName(name);
    if (index >= 0)
    {
        Items(index).CC = cc;
        return Items(index);
    }
    FItems.push_back(TMidiCCItem{cc, name, -1});
    return FItems.back();
}

bool TMidiCCList::AppendWithoutAllocation(TMidiCCItem& item) noexcept
{
    if (FItems.size() >= FItems.capacity())
        return false;
    FItems.push_back(std::move(item));
    return true;
}

void TMidiCCList::ReserveSpare()
{
    FItems.reserve(FItems.size() + 1);
}

void TMidiCCList::Delete(std::int32_t index)
{
    if (index >= 0 && index < Count())
        FItems.erase(FItems.begin() + index);
}

} // namespace tumblet
