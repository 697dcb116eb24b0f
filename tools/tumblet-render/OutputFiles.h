#pragma once

// Output files are written under temporary names beside their targets and renamed into place
// together at the end, so a failed run leaves no file written or half-written. A target that is
// a device or a FIFO (/dev/null, /dev/stdout on a pipe) is written through instead, never
// replaced; folders, block devices and sockets are refused.

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

    /// Throws a runtime error naming target when it cannot be written.
    static void Check(const std::string& target);
    /// Writes bytes to a new temporary file for target, or keeps them for a device or FIFO.
    void WriteBytes(const std::string& target, const std::vector<std::uint8_t>& bytes);
    /// Renames every temporary file onto its target and writes the kept bytes through.
    void CommitAll();

private:
    struct TEntry
    {
        std::string Target;      ///< as the user gave it, for messages
        std::string Destination; ///< what the temporary file is renamed onto
        std::string Temporary;   ///< empty when written through at the end
        std::vector<std::uint8_t> Bytes;
    };
    std::vector<TEntry> FEntries;
};

/// The whole file, at most maxBytes long. Throws a runtime error naming what and path, with the
/// reason, for a missing or unreadable file, a folder, a device or a file that is too large.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path, const std::string& what,
                                        std::size_t maxBytes);

} // namespace tumblet
