#pragma once

// What a plug-in format that describes the product ahead of running it (LV2's Turtle files, the
// CLAP parameter list) needs to know of it: identity and the parameters with their real ranges.

#include <cstdint>
#include <string>
#include <vector>

namespace tumblet
{

enum class TProductParameterKind
{
    Integer,     ///< whole numbers in the range
    Toggle,      ///< 0 or 1
    Enumeration, ///< whole numbers, each named by a scale point
};

struct TProductScalePoint
{
    std::int32_t Value;
    std::string Label;
};

struct TProductParameter
{
    std::string Name;   ///< the host-visible name, also the key of the state
    std::string Symbol; ///< a C identifier derived from the name; stable across versions
    float Min = 0;      ///< real units
    float Max = 1;
    float Default = 0;
    TProductParameterKind Kind = TProductParameterKind::Integer;
    std::vector<TProductScalePoint> ScalePoints;

    /// Real units to the host's 0..1 form, clamped; the module's own mapping is linear.
    float Normalised(float real) const noexcept;
    float Real(float normalised) const noexcept;
};

struct TProductDescription
{
    std::string Name;
    std::string Vendor;
    std::string UniqueId; ///< the four characters of the VST 2.4 unique ID
    std::vector<TProductParameter> Parameters;
};

/// Reads the description off a freshly created module. Throws on failure. Thread: any.
TProductDescription DescribeProduct();

/// One reading of DescribeProduct for the whole process, since what it holds never changes.
/// Throws on failure. Thread: any.
const TProductDescription& SharedProductDescription();

/// Lower case, every run of other characters than letters and digits as one underscore.
std::string ParameterSymbol(const std::string& name);

} // namespace tumblet
