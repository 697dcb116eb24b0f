#pragma once

// Walks the tagged value stream inside a Tumblet state container the way the plug-in reads it,
// without applying anything. The plug-in answers a host's set-chunk call with success even when
// it rejects the state (it then resets itself and shows its own message), so the tool checks a
// preset file first to be able to refuse it with a clear error and a non-zero status.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tumblet
{

class TStateChecker
{
public:
    /// payload: the bytes after the 8-byte container header. Throws a runtime error carrying
    /// the plug-in's own reader message and the byte offset in the file.
    static void Check(const std::vector<std::uint8_t>& payload);

private:
    explicit TStateChecker(const std::vector<std::uint8_t>& payload) : FBytes(payload) {}

    void CheckHeader(std::string& version);
    void CheckParameters(const std::string& version);
    void CheckMappings();

    std::uint8_t Tag();
    bool AtListEnd();
    void Expect(std::uint8_t tag);
    void Skip(std::size_t count);
    std::uint32_t ReadLength();
    std::string ReadString();
    void ReadFloat();
    void ReadInteger();
    [[noreturn]] void Fail(const std::string& message) const;

    const std::vector<std::uint8_t>& FBytes;
    std::size_t FPosition = 0;
};

} // namespace tumblet
