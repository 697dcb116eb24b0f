#pragma once

// The controller mappings: which parameter follows which MIDI controller.

#include <cstdint>
#include <string>
#include <vector>

namespace tumblet
{

/// One mapping: a parameter name and a controller number (0 to 127).
struct TMidiCCItem
{
    std::int32_t CC = 0;
    std::string Name;
    /// The parameter the name resolves to, -1 when it names none. Kept with the item so that
    /// the processing thread never looks names up.
    std::int32_t ParameterIndex = -1;
};

/// The module's mappings in list order: at most one item per name (compared exactly); several
/// items may share a controller. Thread: changed and read under the instance lock.
class TMidiCCList
{
public:
    std::int32_t Count() const noexcept { return static_cast<std::int32_t>(FItems.size()); }
    /// Callers keep index within Count().
    TMidiCCItem& Items(std::int32_t index) { return FItems[static_cast<std::size_t>(index)]; }
    const TMidiCCItem& Items(std::int32_t index) const
    {
        return FItems[static_cast<std::size_t>(index)];
    }

    /// Index of the item with exactly this name, or -1. Allocates nothing.
    std::int32_t IndexOfName(const std::string& name) const noexcept;
    /// Changes the number of the item with that name, or appends a new item. Returns it.
    TMidiCCItem& SetCC(const std::string& name, std::int32_t cc);
    /// Appends an item whose name is not in the list, moving it in. Allocates nothing while
    /// the room kept by ReserveSpare lasts; returns false (and keeps nothing) otherwise.
    bool AppendWithoutAllocation(TMidiCCItem& item) noexcept;
    /// Keeps room for one more item, so that a learn on the processing thread can append.
    void ReserveSpare();
    /// Removes the item at index (the list closes the gap); an index outside does nothing.
    void Delete(std::int32_t index);
    void Clear() noexcept { FItems.clear(); }

private:
    std::vector<TMidiCCItem> FItems;
};

} // namespace tumblet
