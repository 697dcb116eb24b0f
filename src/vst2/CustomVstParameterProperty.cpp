#include "vst2/CustomVstParameterProperty.h"

#include "vst2/CustomVstParameterCategories.h"
#include "vst2/HostText.h"
#include "vst2/VSTModuleWithPrograms.h"

#include <cmath>

namespace tumblet
{

namespace
{
// Lengths of the texts an item keeps: the name in UTF-16 units, the others in bytes.
constexpr std::size_t kDisplayNameUnits = 64;
constexpr std::size_t kShortLabelBytes = 7;
constexpr std::size_t kCategoryBytes = 23;

// A curve factor (or frequency ratio) that gives every curve a finite, monotonic shape.
bool UsableFactor(double factor)
{
    return std::isfinite(factor) && factor > -1.0 && factor != 0.0;
}
} // namespace

TCustomVstParameterProperty::TCustomVstParameterProperty(TVSTModuleWithPrograms& module,
                                                         std::int32_t number)
    : FModule(module), FDisplayName("Parameter " + std::to_string(number))
{
}

void TCustomVstParameterProperty::SetDisplayName(const std::string& value)
{
    const std::string name = CutUtf16Units(value, kDisplayNameUnits);
    if (name == FDisplayName)
        return;
    if (FShortLabel.empty() || FShortLabel == FDisplayName)
        SetShortLabel(name);
    FDisplayName = name;
}

void TCustomVstParameterProperty::SetShortLabel(const std::string& value)
{
    FShortLabel = CutBytes(value, kShortLabelBytes);
}

void TCustomVstParameterProperty::SetCurve(TCurveType value)
{
    if (value == FCurve)
        return;
    FCurve = value;
    if (value == TCurveType::ctLogarithmic && FMin != 0.0f)
        SetCurveFactor(FMax / FMin);
}

void TCustomVstParameterProperty::SetCurveFactor(float value)
{
    if (value == FCurveFactor)
        return;
    FCurveFactor = value;
    FCurveFactorInverse = 1.0f / value;
}

void TCustomVstParameterProperty::SetSmoothingFactor(float value)
{
    FSmoothingFactor = (value >= 0.0f && value < 1.0f) ? value : 0.0f;
}

void TCustomVstParameterProperty::SetCategory(const std::string& value)
{
    FCategory = CutBytes(value, kCategoryBytes);
    TCustomVstParameterCategories& categories = FModule.ParameterCategories();
    if (!FCategory.empty() && categories.IndexOf(FCategory) < 0)
        categories.Add().SetDisplayName(FCategory);
}

std::int32_t TCustomVstParameterProperty::CategoryIndex() const
{
    if (FCategory.empty())
        return 0;
    return FModule.ParameterCategories().IndexOf(FCategory) + 1;
}

TCurveType TCustomVstParameterProperty::EffectiveCurve() const
{
    switch (FCurve)
    {
    case TCurveType::ctLogarithmic:
    case TCurveType::ctExponential:
        return UsableFactor(FCurveFactor) && std::isfinite(FCurveFactorInverse)
                   ? FCurve
                   : TCurveType::ctLinear;
    case TCurveType::ctFrequencyScale:
        return FMin != 0.0f && UsableFactor(static_cast<double>(FMax) / FMin)
                   ? FCurve
                   : TCurveType::ctLinear;
    case TCurveType::ctLinear:
        break;
    }
    return TCurveType::ctLinear;
}

float TCustomVstParameterProperty::VSTParameterToParameter(float normalised)
{
    double n = normalised;
    if (!(n >= 0.0)) // below 0 or not a number
        n = 0.0;
    else if (n > 1.0)
        n = 1.0;

    const double factor = FCurveFactor;
    double x = n;
    switch (EffectiveCurve())
    {
    case TCurveType::ctLinear:
        break;
    case TCurveType::ctLogarithmic:
        x = (std::exp(n * std::log(factor + 1.0)) - 1.0) * FCurveFactorInverse;
        break;
    case TCurveType::ctExponential:
        x = std::log2(factor * n + 1.0) / std::log2(factor + 1.0);
        break;
    case TCurveType::ctFrequencyScale:
    {
        const double ratio = static_cast<double>(FMax) / FMin;
        x = (std::exp(n * std::log(ratio + 1.0)) - 1.0) / ratio;
        break;
    }
    }

    float value = static_cast<float>(FMin + (static_cast<double>(FMax) - FMin) * x);
    value = value + (FLastSmoothed - value) * FSmoothingFactor;
    FLastSmoothed = value;
    return value;
}

float TCustomVstParameterProperty::ParameterToVSTParameter(float value) const
{
    // A range of one value has nothing to normalise; its only value sits at 0.
    if (FMax == FMin)
        return 0.0f;
    const double d = static_cast<float>((static_cast<double>(value) - FMin) /
                                        (static_cast<double>(FMax) - FMin));
    const double factor = FCurveFactor;
    double n = d;
    switch (EffectiveCurve())
    {
    case TCurveType::ctLinear:
        break;
    case TCurveType::ctLogarithmic:
        n = std::log2(d * factor + 1.0) / std::log2(factor + 1.0);
        break;
    case TCurveType::ctExponential:
        n = (std::pow(factor + 1.0, d) - 1.0) * FCurveFactorInverse;
        break;
    case TCurveType::ctFrequencyScale:
    {
        // The exact inverse of the forward frequency mapping.
        const double ratio = static_cast<double>(FMax) / FMin;
        n = std::log(ratio * d + 1.0) / std::log(ratio + 1.0);
        break;
    }
    }
    if (!(n >= 0.0))
        return 0.0f;
    return n > 1.0 ? 1.0f : static_cast<float>(n);
}

} // namespace tumblet
