#include "entry/ProductDescription.h"

#include "engine/BlxValueList.h"
#include "plugin/Plugin.h"
#include "vst2/CustomVstParameterProperties.h"
#include "vst2/CustomVstParameterProperty.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>

namespace tumblet
{

std::string ParameterSymbol(const std::string& name)
{
    std::string symbol;
    bool gap = false;
    for (unsigned char c : name)
    {
        if (std::isalnum(c))
        {
            if (gap && !symbol.empty())
                symbol += '_';
            symbol += static_cast<char>(std::tolower(c));
            gap = false;
        }
        else
            gap = true;
    }
    if (symbol.empty() || std::isdigit(static_cast<unsigned char>(symbol[0])))
        symbol.insert(0, "p_");
    return symbol;
}

float TProductParameter::Normalised(float real) const noexcept
{
    if (Max <= Min)
        return 0.0f;
    return std::clamp((real - Min) / (Max - Min), 0.0f, 1.0f);
}

float TProductParameter::Real(float normalised) const noexcept
{
    return Min + normalised * (Max - Min);
}

TProductDescription DescribeProduct()
{
    std::unique_ptr<TVSTModule> module = TVSTPlugin::Create();
    // Configured as for a host, but never connected to one.
    module->Initialize();
    auto& plugin = dynamic_cast<TVSTPlugin&>(*module);
    TProductDescription description;
    description.Name = plugin.EffectName();
    description.Vendor = plugin.VendorName();
    description.UniqueId = plugin.UniqueID();
    const TCustomVstParameterProperties& properties = plugin.ParameterProperties();
    for (std::int32_t i = 0; i < properties.Count(); ++i)
    {
        const TCustomVstParameterProperty& property = properties[i];
        TProductParameter parameter;
        parameter.Name = property.DisplayName();
        parameter.Symbol = ParameterSymbol(parameter.Name);
        parameter.Min = property.Min();
        parameter.Max = property.Max();
        parameter.Default = plugin.ParameterValues().Items(i).DefaultValue();
        if (const TBlxValueList* list = plugin.ValueList(parameter.Name))
        {
            parameter.Kind = TProductParameterKind::Enumeration;
            for (int item = 0; item < list->Count(); ++item)
            {
                const TBlxValueListItem& entry = list->Items(item);
                if (entry.Tag >= parameter.Min && entry.Tag <= parameter.Max)
                    parameter.ScalePoints.push_back({entry.Tag, entry.Name});
            }
        }
        else if (parameter.Min == 0 && parameter.Max == 1)
            parameter.Kind = TProductParameterKind::Toggle;
        description.Parameters.push_back(std::move(parameter));
    }
    if (description.Parameters.empty())
        throw std::runtime_error("the product declares no parameters");
    return description;
}

const TProductDescription& SharedProductDescription()
{
    static const TProductDescription description = DescribeProduct();
    return description;
}

} // namespace tumblet
