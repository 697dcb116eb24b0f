#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
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

/// The one type behind the five concrete lists, which differ only in their item class (whose
/// field Code names the engine code) and in their table of standard rows. Gives the items back
/// typed as that item class.
template <class TItem, std::uint8_t TItem::*Code> class TBlxCodedValueList : public TBlxValueList
{
public:
    TItem& Items(int index) const { return static_cast<TItem&>(TBlxValueList::Items(index)); }
    TItem& Items(std::string_view name) const
    {
        return static_cast<TItem&>(TBlxValueList::Items(name));
    }

    TItem& Add(std::string name, std::int32_t tag, std::uint8_t code)
    {
        TItem& item = static_cast<TItem&>(TBlxValueList::Add(std::move(name), tag));
        item.*Code = code;
        return item;
    }

protected:
    /// With fillStandard the list fills itself with `rows`, in order; otherwise it starts empty.
    TBlxCodedValueList(bool fillStandard, std::span<const TBlxValueListRow> rows)
    {
        if (!fillStandard)
            return;
        for (const TBlxValueListRow& row : rows)
            Add(row.Name, row.Tag, row.Code);
    }

    std::unique_ptr<TBlxValueListItem> NewItem() const override
    {
        return std::make_unique<TItem>();
    }
};

} // namespace tumblet
