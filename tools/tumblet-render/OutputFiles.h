#pragma once

// Output files are written under temporary names beside their targets and renamed into place
// together at the end, so a failed run leaves no file written or half-written.

#include <cstdint>
#include <string>
#include <vector>

namespace tumblet
{

class TOutputFiles
{
public:
    TOutputFiles() = default;
    ~TOutputFiles();

    TOutputFiles(const TOutputFiles&) = delete;
    TOutputFiles& operator=(const TOutputFiles&) = delete;

    /// A temporary path in the target's folder. Throws a runtime error when the folder is missing.
    std::string Temporary(const std::string& target);
    /// Writes bytes to a temporary file for target.
    void WriteBytes(const std::string& target, const std::vector<std::uint8_t>& bytes);
    /// Renames every temporary file onto its target.
    void CommitAll();

private:
    struct TEntry
    {
        std::string Temporary;
        std::string Target;
    };
    std::vector<TEntry> FEntries;
};

/// The whole file. Throws a runtime error when it cannot be read.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path, const std::string& what);

} // namespace tumblet
