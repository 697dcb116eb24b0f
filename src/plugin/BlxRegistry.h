#pragma once

// The current user's registry, where earlier versions kept their settings. Key paths use "\"
// between their parts, as the registry does ("Software\Brindlex\Tumblet").

#include <memory>
#include <string>

namespace tumblet
{

/// The registry operations the settings migration needs. Thread: creation.
class TBlxRegistry
{
public:
    virtual ~TBlxRegistry() = default;

    virtual bool KeyExists(const std::string& key) = 0;
    /// A string value of a key; false when the key or value does not exist.
    virtual bool ReadString(const std::string& key, const std::string& name,
                            std::string& value) = 0;
    /// Deletes subKey of an existing key (which is not created), with everything below it.
    virtual bool DeleteKey(const std::string& key, const std::string& subKey) = 0;

    /// An integer value, or defaultValue when it is missing or not an integer.
    std::int32_t ReadInteger(const std::string& key, const std::string& name,
                             std::int32_t defaultValue);
};

/// Linux has no registry: no key ever exists.
class TBlxNoRegistry final : public TBlxRegistry
{
public:
    bool KeyExists(const std::string&) override { return false; }
    bool ReadString(const std::string&, const std::string&, std::string&) override { return false; }
    bool DeleteKey(const std::string&, const std::string&) override { return false; }
};

} // namespace tumblet
