#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace tumblet
{

class TVSTModuleWithPrograms;

/// How a normalised host value maps onto a parameter's real range.
enum class TCurveType : std::int32_t
{
    ctLinear,
    ctLogarithmic,
    ctExponential,
    ctFrequencyScale
};

/// Bit positions equal to the interface's parameter property flags.
enum class TVstParameterPropertiesFlag : std::int32_t
{
    ppfParameterIsSwitch,
    ppfParameterUsesIntegerMinMax,
    ppfParameterUsesFloatStep,
    ppfParameterUsesIntStep,
    ppfParameterSupportsDisplayIndex,
    ppfParameterSupportsDisplayCategory,
    ppfParameterCanRamp
};
using TVstParameterPropertiesFlags = std::uint32_t;
constexpr TVstParameterPropertiesFlags ParameterFlagBit(TVstParameterPropertiesFlag flag)
{
    return TVstParameterPropertiesFlags{1} << static_cast<std::int32_t>(flag);
}

/// Raised by the parameter operations ("Index out of bounds (3)", "No parameter available!").
class EVstParameterError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// Describes one parameter: its name, range, curve and host-facing extras, and the product's
/// hooks for it. Its position in the module's ParameterProperties is its parameter index.
///
/// Thread: properties are configured at creation; afterwards the host threads only read them,
/// except the smoothing state, which changes under the instance lock.
class TCustomVstParameterProperty
{
public:
    /// number: the item's position counted from 1, for the default name "Parameter <number>".
    TCustomVstParameterProperty(TVSTModuleWithPrograms& module, std::int32_t number);

    TCustomVstParameterProperty(const TCustomVstParameterProperty&) = delete;
    TCustomVstParameterProperty& operator=(const TCustomVstParameterProperty&) = delete;

    TVSTModuleWithPrograms& VSTModule() const { return FModule; }

    /// At most 64 UTF-16 units. A short label that was empty or followed the old name follows.
    const std::string& DisplayName() const { return FDisplayName; }
    void SetDisplayName(const std::string& value);
    /// At most 7 bytes.
    const std::string& ShortLabel() const { return FShortLabel; }
    void SetShortLabel(const std::string& value);
    const std::string& Units() const { return FUnits; }
    void SetUnits(const std::string& value) { FUnits = value; }
    /// Real value at normalised 0 and 1, in the parameter's own units.
    float Min() const { return FMin; }
    void SetMin(float value) { FMin = value; }
    float Max() const { return FMax; }
    void SetMax(float value) { FMax = value; }
    TCurveType Curve() const { return FCurve; }
    void SetCurve(TCurveType value);
    float CurveFactor() const { return FCurveFactor; }
    void SetCurveFactor(float value);
    /// 0 <= factor < 1; anything else switches smoothing off.
    float SmoothingFactor() const { return FSmoothingFactor; }
    void SetSmoothingFactor(float value);
    bool CanBeAutomated() const { return FCanBeAutomated; }
    void SetCanBeAutomated(bool value) { FCanBeAutomated = value; }

    // Extras reported through effGetParameterProperties, in real units.
    float StepFloat = 1.0f;
    float SmallStepFloat = 0.5f;
    float LargeStepFloat = 2.0f;
    std::int32_t MinInteger = 0;
    std::int32_t MaxInteger = 100;
    std::int32_t StepInteger = 1;
    std::int32_t LargeStepInteger = 10;
    TVstParameterPropertiesFlags Flags = 0;
    bool ReportVST2Properties = false;
    /// A controller number kept with the item; the framework does not read it.
    std::int32_t CC = -1;
    bool UseDefaultString2ParameterHandler = false;

    /// At most 23 bytes; a name no category has adds a category of that name.
    const std::string& Category() const { return FCategory; }
    void SetCategory(const std::string& value);
    /// 1-based position of Category among the module's categories; 0 when there is none.
    std::int32_t CategoryIndex() const;
    /// Used by the category collection when it removes a category.
    void ClearCategory() { FCategory.clear(); }

    /// Normalised host value -> real value, with clamping and smoothing. Updates the smoothing
    /// state. Thread: any; callers hold the instance lock.
    float VSTParameterToParameter(float normalised);
    /// Real value -> normalised host value, clamped to 0..1. Thread: any.
    float ParameterToVSTParameter(float value) const;

    // Hooks (sender first). Bound once at creation.
    std::function<void(TCustomVstParameterProperty& sender, std::int32_t index, float& value)>
        OnParameterChange;
    std::function<void(TCustomVstParameterProperty& sender, std::int32_t index,
                       std::string& preDefined)>
        OnCustomParameterLabel;
    std::function<void(TCustomVstParameterProperty& sender, std::int32_t index,
                       std::string& preDefined)>
        OnCustomParameterDisplay;
    std::function<void(TCustomVstParameterProperty& sender, std::int32_t index,
                       const std::string& parameterString, float& value)>
        OnStringToParameter;

private:
    /// The curve to use: a curve whose constants make it degenerate maps linearly, which is
    /// also the limit every curve tends to as its factor approaches 0.
    TCurveType EffectiveCurve() const;

    TVSTModuleWithPrograms& FModule;
    std::string FDisplayName;
    std::string FShortLabel;
    std::string FUnits;
    std::string FCategory;
    float FMin = 0.0f;
    float FMax = 1.0f;
    TCurveType FCurve = TCurveType::ctLinear;
    float FCurveFactor = 1.0f;
    float FCurveFactorInverse = 1.0f;
    float FSmoothingFactor = 0.0f;
    /// The last value VSTParameterToParameter returned, in real units.
    float FLastSmoothed = 0.0f;
    bool FCanBeAutomated = true;
};

} // namespace tumblet
