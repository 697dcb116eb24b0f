#pragma once

// The module's parameter categories: a small item class and the collection that owns the items.
// They live in one file pair because the item only makes sense inside its collection.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tumblet
{

class TVSTModuleWithPrograms;

/// One category name that parameter properties can name. Thread: configuration.
class TCustomVstParameterCategory
{
public:
    TCustomVstParameterCategory(TVSTModuleWithPrograms& module, std::int32_t number);

    /// At most 24 UTF-16 units; "Category <number>" at creation.
    const std::string& DisplayName() const { return FDisplayName; }
    void SetDisplayName(const std::string& value);
    /// How many parameter properties name this category.
    std::int32_t ParametersInCategory() const;

private:
    TVSTModuleWithPrograms& FModule;
    std::string FDisplayName;
};

/// The ordered collection of categories; owns its items. Thread: configuration.
class TCustomVstParameterCategories
{
public:
    explicit TCustomVstParameterCategories(TVSTModuleWithPrograms& module);
    ~TCustomVstParameterCategories();

    TCustomVstParameterCategory& Add();
    /// Removes a category; the properties that named it lose their category.
    void Remove(std::int32_t index);
    std::int32_t Count() const { return static_cast<std::int32_t>(FItems.size()); }
    TCustomVstParameterCategory& operator[](std::int32_t index) { return *FItems.at(index); }
    const TCustomVstParameterCategory& operator[](std::int32_t index) const
    {
        return *FItems.at(index);
    }
    /// Position of the first category with this name, or -1.
    std::int32_t IndexOf(const std::string& name) const;

private:
    TVSTModuleWithPrograms& FModule;
    std::vector<std::unique_ptr<TCustomVstParameterCategory>> FItems;
};

} // namespace tumblet
