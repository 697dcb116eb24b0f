#pragma once

#include "Options.h"
#include "RenderTypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace tumblet
{

/// Reads the command line into TRenderOptions. Every malformed option is a usage error.
class TOptionParser
{
public:
    static TRenderOptions Parse(const std::vector<std::string>& arguments);
    static const char* UsageText();

private:
    explicit TOptionParser(const std::vector<std::string>& arguments);

    void ParseAll();
    bool ParseInputOption(std::string_view option);
    bool ParseTransportOption(std::string_view option);
    bool ParseOtherOption(std::string_view option);
    void ParseTimeSignature(const std::string& text);
    void ParseLoop(const std::string& text);
    void FinishChords();
    void CheckCombinations() const;
    void CheckDistinctOutputs() const;

    std::string NextValue(std::string_view option);
    /// A value that names a file: never empty.
    std::string NextPath(std::string_view option);
    double NextNumber(std::string_view option, double min, double max);
    int NextInteger(std::string_view option, int min, int max);

    const std::vector<std::string>& FArguments;
    std::size_t FPosition = 0;
    TRenderOptions FOptions;
    std::optional<double> FPendingAt;
    std::optional<double> FPendingHold;
};

/// Parses a whole text as a finite decimal number; false when anything is left over.
bool ParseNumber(std::string_view text, double& value);

} // namespace tumblet
