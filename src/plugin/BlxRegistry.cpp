#include "plugin/BlxRegistry.h"

#include "plugin/BlxCommon.h"

namespace tumblet
{

std::int32_t TBlxRegistry::ReadInteger(const std::string& key, const std::string& name,
                                       std::int32_t defaultValue)
{
    std::string text;
    if (!ReadString(key, name, text))
        return defaultValue;
    return TextToIntDef(text, defaultValue);
}

} // namespace tumblet
