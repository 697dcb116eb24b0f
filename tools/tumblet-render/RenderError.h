#pragma once

#include <stdexcept>
#include <string>

namespace tumblet
{

/// A failure that ends the tool with a message on stderr and a non-zero exit status.
class TRenderError : public std::runtime_error
{
public:
    enum class TKind
    {
        Usage,   ///< bad command line or input text: exit status 2
        Runtime, ///< a file, the plug-in or the system failed: exit status 1
    };

    TRenderError(TKind kind, const std::string& message) : std::runtime_error(message), FKind(kind)
    {
    }

    TKind Kind() const { return FKind; }
    int ExitStatus() const { return FKind == TKind::Usage ? 2 : 1; }

private:
    TKind FKind;
};

[[noreturn]] inline void ThrowUsage(const std::string& message)
{
    throw TRenderError(TRenderError::TKind::Usage, message);
}

[[noreturn]] inline void ThrowRuntime(const std::string& message)
{
    throw TRenderError(TRenderError::TKind::Runtime, message);
}

} // namespace tumblet
