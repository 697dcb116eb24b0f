#pragma once

// Parameters by name and value as the user types them: a real value in the parameter's range
// or one of the texts the plug-in displays for it.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tumblet
{

class TPluginHost;

class TParameterResolver
{
public:
    explicit TParameterResolver(TPluginHost& host);

    /// "Name=VALUE": finds the parameter and sets it. Throws a usage error listing the valid
    /// names or values.
    void Apply(const std::string& setting);
    /// index, name, display (with label) and normalised value of every parameter.
    void List(std::ostream& out) const;

    /// Index of the parameter with exactly this name (or, failing that, the only one that
    /// matches ignoring case). Throws a usage error listing the names.
    std::int32_t FindIndex(const std::string& name) const;
    /// The normalised value for VALUE. Throws a usage error listing the valid values.
    float ResolveValue(std::int32_t index, const std::string& value);

private:
    struct TDisplayRun
    {
        std::string Text;
        float First = 0.0f; ///< normalised values where the text begins and ends
        float Last = 0.0f;
    };
    struct TRange
    {
        double Min = 0.0;
        double Max = 1.0;
    };

    std::vector<TDisplayRun> SweepDisplays(std::int32_t index);
    std::optional<TRange> KnownRange(std::int32_t index) const;
    std::optional<TRange> DisplayedRange(std::int32_t index);
    std::optional<float> FromDisplayedRange(std::int32_t index, double number);
    static std::optional<float> FromNumber(double number, const std::vector<TDisplayRun>& runs);
    static std::optional<float> FromText(const std::string& value,
                                         const std::vector<TDisplayRun>& runs,
                                         const std::optional<TRange>& known);
    [[noreturn]] void ThrowBadValue(std::int32_t index, const std::string& value,
                                    const std::vector<TDisplayRun>& runs);

    TPluginHost& FHost;
};

/// The number a display text shows: "−12 dB", "+5", "50%", "1.50x"; none for "1/16" or "On".
std::optional<double> DisplayedNumber(const std::string& text);

} // namespace tumblet
