#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tumblet
{

/// An ini file in memory: read whole with inih, written whole (and atomically) as section
/// header lines followed by key=value lines. Section and key names compare without case, as
/// the platform's ini routines did. Thread: whoever owns it.
class TIniFile
{
public:
    /// Reads path; a missing or unreadable file reads as empty.
    void Load(const std::string& path);

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    /// The value as a decimal integer, or defaultValue when it is missing or not one.
    std::int32_t ReadInteger(const std::string& section, const std::string& key,
                             std::int32_t defaultValue) const;
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);

    /// The file's lines, sections and keys in the order they were first written.
    std::string Text() const;
    /// Writes Text() to path through a temporary file. Throws std::runtime_error.
    void Save(const std::string& path) const;

private:
    struct TEntry
    {
        std::string Section;
        std::string Key;
        std::string Value;
    };
    TEntry* Find(const std::string& section, const std::string& key);
    const TEntry* Find(const std::string& section, const std::string& key) const;

    std::vector<TEntry> FEntries;
};

} // namespace tumblet
