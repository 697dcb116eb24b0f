#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tumblet
{

/// One entry of a value list: the text the user sees and the value its parameter carries.
class TBlxValueListItem
{
public:
    virtual ~TBlxValueListItem() = default;

    /// The engine's code for this entry (a rate index, an order code, ...); 0 for plain lists.
    virtual std::uint8_t EngineCode() const noexcept { return 0; }

    std::string Name; ///< UTF-8 display text
    std::int32_t Tag = 0;
};

/// A small fixed vocabulary for one list-valued parameter. Owns its items; an item's position
/// is its index. Lookups that succeed allocate nothing; a failed lookup throws
/// std::out_of_range carrying the list's message.
// Thread: built and changed at module creation; read-only afterwards, from any thread under the
// instance lock.
class TBlxValueList
{
public:
    TBlxValueList() = default;
    virtual ~TBlxValueList() = default;
    TBlxValueList(const TBlxValueList&) = delete;
    TBlxValueList& operator=(const TBlxValueList&) = delete;

    /// Appends a new item (of the list's own item class); duplicates are accepted.
    TBlxValueListItem& Add(std::string name, std::int32_t tag);

    /// Index of the first item with exactly this name.
    int FindByName(std::string_view name) const;
    /// Index of the first item with this tag.
    int FindByTag(std::int32_t tag) const;

    TBlxValueListItem& Items(int index) const;
    TBlxValueListItem& Items(std::string_view name) const;

    int Count() const noexcept { return static_cast<int>(FItems.size()); }
    void Delete(int index);

protected:
    /// Creates an empty item of the concrete list's item class.
    virtual std::unique_ptr<TBlxValueListItem> NewItem() const;

private:
    std::vector<std::unique_ptr<TBlxValueListItem>> FItems;
};

/// One standard row of a concrete list: its text, its tag and the engine code it carries.
struct TBlxValueListRow
{
    const char* Name;
    std::int32_t Tag;
    std::uint8_t Code;
};

/// Adds rows in order through the concrete list's own Add(name, tag, code).
template <class TList, std::size_t N> void AddRows(TList& list, const TBlxValueListRow (&rows)[N])
{
    for (const TBlxValueListRow& row : rows)
        list.Add(row.Name, row.Tag, row.Code);
}

/// Base of the five concrete lists: gives their items back typed as the list's own item class.
template <class TItem> class TBlxTypedValueList : public TBlxValueList
{
public:
    TItem& Items(int index) const { return static_cast<TItem&>(TBlxValueList::Items(index)); }
    TItem& Items(std::string_view name) const
    {
        return static_cast<TItem&>(TBlxValueList::Items(name));
    }

protected:
    std::unique_ptr<TBlxValueListItem> NewItem() const override
    {
        return std::make_unique<TItem>();
    }

    TItem& AddTyped(std::string name, std::int32_t tag)
    {
        return static_cast<TItem&>(TBlxValueList::Add(std::move(name), tag));
    }
};

} // namespace tumblet
