#include "plugin/IniFile.h"

#include "plugin/BlxCommon.h"

#include <ini.h>
#include <strings.h>

namespace tumblet
{

namespace
{
bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

int HandleEntry(void* user, const char* section, const char* name, const char* value)
{
    auto& ini = *static_cast<TIniFile*>(user);
    // The first occurrence of a key wins, as with the platform's ini routines.
    if (ini.ReadString(section, name, "\x01") == "\x01")
        ini.WriteString(section, name, value);
    return 1;
}
} // namespace

void TIniFile::Load(const std::string& path)
{
    FEntries.clear();
    if (path.empty() || !FileExists(path))
        return;
    ini_parse(path.c_str(), &HandleEntry, this);
}

TIniFile::TEntry* TIniFile::Find(const std::string& section, const std::string& key)
{
    for (TEntry& entry : FEntries)
    {
        if (SameName(entry.Section, section) && SameName(entry.Key, key))
            return &entry;
    }
    return nullptr;
}

const TIniFile::TEntry* TIniFile::Find(const std::string& section, const std::string& key) const
{
    return const_cast<TIniFile*>(this)->Find(section, key);
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const
{
    const TEntry* entry = Find(section, key);
    return entry != nullptr ? entry->Value : defaultValue;
}

std::int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                                   std::int32_t defaultValue) const
{
    const TEntry* entry = Find(section, key);
    return entry != nullptr ? TextToIntDef(entry->Value, defaultValue) : defaultValue;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value)
{
    if (TEntry* entry = Find(section, key))
        entry->Value = value;
    else
        FEntries.push_back({section, key, value});
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value)
{
    WriteString(section, key, std::to_string(value));
}

std::string TIniFile::Text() const
{
    std::vector<std::string> sections;
    for (const TEntry& entry : FEntries)
    {
        bool known = false;
        for (const std::string& section : sections)
            known = known || SameName(section, entry.Section);
        if (!known)
            sections.push_back(entry.Section);
    }
    std::string text;
    for (const std::string& section : sections)
    {
        text += "[" + section + "]\n";
        for (const TEntry& entry : FEntries)
        {
            if (SameName(entry.Section, section))
                text += entry.Key + "=" + entry.Value + "\n";
        }
    }
    return text;
}

void TIniFile::Save(const std::string& path) const
{
    const std::string text = Text();
    WriteFileAtomically(path, text.data(), text.size());
}

} // namespace tumblet
