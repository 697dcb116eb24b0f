// The parameter half of TVSTModuleWithPrograms: where values live, the module's parameter
// operations, and the parameter entries and opcodes. Programs and chunks are in
// VSTModuleWithProgramsChunks.cpp.

#include "vst2/VSTModuleWithPrograms.h"

#include "base/UserLocale.h"
#include "vst2/HostText.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

namespace tumblet
{

namespace
{
// Significant digits of the default display: full precision for values the product keeps
// itself, four for the framework's own values (rounded to four decimals first).
constexpr int kChunkDisplayDigits = 15;
constexpr int kValueDisplayDigits = 4;
constexpr double kDisplayDecimalsScale = 10000.0;

// What effGetParameterProperties reports when a property gives no steps of its own.
constexpr float kDefaultStepFloat = 0.01f;
constexpr float kDefaultSmallStepFloat = 0.002f;
constexpr float kDefaultLargeStepFloat = 0.05f;
constexpr std::int32_t kDefaultStepInteger = 1;
constexpr std::int32_t kDefaultLargeStepInteger = 2;

bool HasFlag(const TCustomVstParameterProperty& property, TVstParameterPropertiesFlag flag)
{
    return (property.Flags & ParameterFlagBit(flag)) != 0;
}

[[noreturn]] void ThrowIndexOutOfBounds(std::int32_t index)
{
    throw EVstParameterError("Index out of bounds (" + std::to_string(index) + ")");
}
} // namespace

TVSTModuleWithPrograms::TVSTModuleWithPrograms() = default;

TVSTModuleWithPrograms::~TVSTModuleWithPrograms()
{
    // Normally gone at effClose already; a module destroyed any other way must still lose its
    // editor before the parameters the editor reads.
    DestroyEditor();
}

void TVSTModuleWithPrograms::ParameterCountChanged()
{
    const std::int32_t count = FParameterProperties.Count();
    GetEffect()->numParams = count;
    if (IsChunkMode())
        return;
    FModuleValues.Resize(count);
    for (std::int32_t i = 0; i < FPrograms.Count(); ++i)
    {
        if (!FPrograms[i].ChunkMode())
            FPrograms[i].ParameterValues().Resize(count);
    }
}

bool TVSTModuleWithPrograms::UsesProgramValues() const noexcept
{
    const std::int32_t current = CurrentProgram();
    return !IsChunkMode() && current >= 0 && current < FPrograms.Count() &&
           GetEffect()->numPrograms >= 1;
}

TAtomicFloatArray* TVSTModuleWithPrograms::CurrentValueArray() noexcept
{
    if (IsChunkMode())
        return nullptr;
    if (UsesProgramValues())
        return &FPrograms[CurrentProgram()].ParameterValues();
    return &FModuleValues;
}

// ---- Module operations -----------------------------------------------------------------------

float TVSTModuleWithPrograms::GetParameter(std::int32_t index)
{
    if (IsChunkMode())
        return OnGetChunkParameter ? OnGetChunkParameter(*this, index) : 0.0f;
    return CurrentValueArray()->Get(index);
}

void TVSTModuleWithPrograms::RaiseChangeHooks(std::int32_t index, float& value)
{
    TCustomVstParameterProperty& property = FParameterProperties[index];
    if (property.OnParameterChange)
        property.OnParameterChange(property, index, value);
    if (OnParameterChange)
        OnParameterChange(*this, index, value);
}

void TVSTModuleWithPrograms::StoreParameter(std::int32_t index, float value)
{
    if (!FParameterProperties.Contains(index))
        ThrowIndexOutOfBounds(index);
    {
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        if (TAtomicFloatArray* values = CurrentValueArray())
        {
            // The hooks work on the stored element, so what a hook makes of it stays stored.
            values->Set(index, value);
            float stored = values->Get(index);
            RaiseChangeHooks(index, stored);
            values->Set(index, stored);
        }
        else
            RaiseChangeHooks(index, value);
    }
    SetEditorNeedsUpdate(true);
}

void TVSTModuleWithPrograms::SetParameter(std::int32_t index, float value)
{
    if (!FParameterProperties.Contains(index))
        return;
    StoreParameter(index, value);
    // The host hears the value asked for, not what the hooks may have made of it.
    if (FParameterProperties[index].CanBeAutomated())
        MasterAutomate(index, ParameterToVSTParameter(index, value));
}

void TVSTModuleWithPrograms::SetParameterByName(const std::string& parameterName, float value)
{
    if (FParameterProperties.Count() == 0)
        throw EVstParameterError("No parameter available!");
    const std::int32_t index = FParameterProperties.IndexOfName(parameterName);
    if (index < 0)
        throw EVstParameterError("Unknown parameter name: " + parameterName);
    SetParameter(index, value);
}

float TVSTModuleWithPrograms::VSTParameterToParameter(std::int32_t index, float normalised)
{
    if (!FParameterProperties.Contains(index))
        return 0.0f;
    return FParameterProperties[index].VSTParameterToParameter(normalised);
}

float TVSTModuleWithPrograms::ParameterToVSTParameter(std::int32_t index, float value) const
{
    if (!FParameterProperties.Contains(index))
        return 0.0f;
    return FParameterProperties[index].ParameterToVSTParameter(value);
}

// ---- Texts -------------------------------------------------------------------------------------

std::string TVSTModuleWithPrograms::GetParameterName(std::int32_t index) const
{
    if (!FParameterProperties.Contains(index))
        return "undefined";
    return FParameterProperties[index].DisplayName();
}

std::string TVSTModuleWithPrograms::GetParameterLabel(std::int32_t index)
{
    if (!FParameterProperties.Contains(index))
        return "undefined";
    TCustomVstParameterProperty& property = FParameterProperties[index];
    std::string text = property.Units();
    if (property.OnCustomParameterLabel)
        property.OnCustomParameterLabel(property, index, text);
    return text;
}

std::string TVSTModuleWithPrograms::DefaultDisplay(std::int32_t index)
{
    const double value = GetParameter(index);
    if (IsChunkMode())
        return FormatGeneral(value, kChunkDisplayDigits, UserDecimalSeparator());
    // nearbyint rounds half to even under the default rounding mode.
    const double rounded = std::nearbyint(value * kDisplayDecimalsScale) / kDisplayDecimalsScale;
    return FormatGeneral(rounded, kValueDisplayDigits, UserDecimalSeparator());
}

std::string TVSTModuleWithPrograms::GetParameterDisplay(std::int32_t index)
{
    if (!FParameterProperties.Contains(index))
        return "undefined";
    try
    {
        std::string text = DefaultDisplay(index);
        TCustomVstParameterProperty& property = FParameterProperties[index];
        if (property.OnCustomParameterDisplay)
            property.OnCustomParameterDisplay(property, index, text);
        return text;
    }
    catch (...)
    {
        // A value the product cannot show (say, a list entry a damaged state points past)
        // still gets a text; the host asks again when the value changes.
        return "error";
    }
}

// ---- Host entries --------------------------------------------------------------------------

void TVSTModuleWithPrograms::HostSetParameter(std::int32_t index, float value)
{
    if (!FParameterProperties.Contains(index))
    {
        if (OnParameterSizeFailed)
            OnParameterSizeFailed(*this);
        return;
    }
    // Held across the mapping too: smoothing keeps state in the property.
    std::lock_guard<std::recursive_mutex> lock(InstanceLock());
    StoreParameter(index, VSTParameterToParameter(index, value));
}

float TVSTModuleWithPrograms::HostGetParameter(std::int32_t index)
{
    if (!FParameterProperties.Contains(index))
        return 0.0f;
    return ParameterToVSTParameter(index, GetParameter(index));
}

namespace
{
void CopyParameterText(void* ptr, const std::string& text, bool truncate)
{
    CopyHostText(ptr, truncate ? CutUtf16Units(text, kVstMaxParamStrLen) : text);
}
} // namespace

std::intptr_t TVSTModuleWithPrograms::HostCallGetParamName(std::int32_t index, std::intptr_t,
                                                           void* ptr, float)
{
    if (ptr != nullptr)
        CopyParameterText(ptr, GetParameterName(index), TruncateStrings());
    return 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetParamLabel(std::int32_t index, std::intptr_t,
                                                            void* ptr, float)
{
    if (ptr != nullptr)
        CopyParameterText(ptr, GetParameterLabel(index), TruncateStrings());
    return 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetParamDisplay(std::int32_t index, std::intptr_t,
                                                              void* ptr, float)
{
    if (ptr != nullptr)
        CopyParameterText(ptr, GetParameterDisplay(index), TruncateStrings());
    return 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallCanBeAutomated(std::int32_t index, std::intptr_t,
                                                             void*, float)
{
    if (!FParameterProperties.Contains(index))
        return 1;
    return FParameterProperties[index].CanBeAutomated() ? 1 : 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallString2Parameter(std::int32_t index, std::intptr_t,
                                                               void* ptr, float)
{
    if (ptr == nullptr)
        return 0;
    if (!FParameterProperties.Contains(index))
        ThrowIndexOutOfBounds(index);
    TCustomVstParameterProperty& property = FParameterProperties[index];
    const bool handled = property.OnStringToParameter || property.UseDefaultString2ParameterHandler;
    const std::string text = ReadHostText(ptr);
    float value = GetParameter(index);
    if (property.UseDefaultString2ParameterHandler)
    {
        if (const auto parsed =
                ParseParameterString(text, property.Units(), UserDecimalSeparator()))
            value = static_cast<float>(*parsed);
    }
    if (property.OnStringToParameter)
        property.OnStringToParameter(property, index, text, value);
    // Stored and reported even when nothing was read, so the host always hears back.
    SetParameter(index, value);
    return handled ? 1 : 0;
}

void TVSTModuleWithPrograms::FillParameterProperties(std::int32_t index,
                                                     VstParameterProperties& record) const
{
    using F = TVstParameterPropertiesFlag;
    const TCustomVstParameterProperty& property = FParameterProperties[index];
    std::memset(record.label, 0, sizeof(record.label));
    // One byte stays zero so a host reading the label as a C string stops inside the field.
    CopyHostText(record.label, property.DisplayName(), sizeof(record.label) - 1);
    std::memset(record.shortLabel, 0, sizeof(record.shortLabel));
    CopyHostText(record.shortLabel, property.ShortLabel(), sizeof(record.shortLabel) - 1);
    record.flags = static_cast<std::int32_t>(property.Flags);
    std::memset(record.future, 0, sizeof(record.future));
    const bool integerRange = HasFlag(property, F::ppfParameterUsesIntegerMinMax);
    record.minInteger = integerRange ? property.MinInteger : 0;
    record.maxInteger = integerRange ? property.MaxInteger : 0;
    const bool integerStep = HasFlag(property, F::ppfParameterUsesIntStep);
    record.stepInteger = integerStep ? property.StepInteger : kDefaultStepInteger;
    record.largeStepInteger = integerStep ? property.LargeStepInteger : kDefaultLargeStepInteger;
    const bool floatStep =
        HasFlag(property, F::ppfParameterUsesFloatStep) && property.Curve() == TCurveType::ctLinear;
    record.stepFloat =
        floatStep ? property.ParameterToVSTParameter(property.StepFloat) : kDefaultStepFloat;
    record.smallStepFloat = floatStep ? property.ParameterToVSTParameter(property.SmallStepFloat)
                                      : kDefaultSmallStepFloat;
    record.largeStepFloat = floatStep ? property.ParameterToVSTParameter(property.LargeStepFloat)
                                      : kDefaultLargeStepFloat;
    record.displayIndex = static_cast<std::int16_t>(
        HasFlag(property, F::ppfParameterSupportsDisplayIndex) ? index : 0);
    // Without the flag the category fields keep what the host put there.
    if (HasFlag(property, F::ppfParameterSupportsDisplayCategory))
        FillParameterCategory(property, record);
}

void TVSTModuleWithPrograms::FillParameterCategory(const TCustomVstParameterProperty& property,
                                                   VstParameterProperties& record) const
{
    std::memset(record.categoryLabel, 0, sizeof(record.categoryLabel));
    CopyHostText(record.categoryLabel, property.Category(), sizeof(record.categoryLabel) - 1);
    const std::int32_t category = property.CategoryIndex();
    record.category = static_cast<std::int16_t>(category);
    const TCustomVstParameterCategories& categories = ParameterCategories();
    record.numParametersInCategory =
        static_cast<std::int16_t>(category >= 1 && category <= categories.Count()
                                      ? categories[category - 1].ParametersInCategory()
                                      : 0);
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetParameterProperties(std::int32_t index,
                                                                     std::intptr_t, void* ptr,
                                                                     float)
{
    if (!FParameterProperties.Contains(index) || !FParameterProperties[index].ReportVST2Properties)
        return 0;
    if (ptr != nullptr)
        FillParameterProperties(index, *static_cast<VstParameterProperties*>(ptr));
    return 1;
}

void TVSTModuleWithPrograms::AfterEditorOpen()
{
    if (!OnParameterChange || IsChunkMode())
        return;
    std::lock_guard<std::recursive_mutex> lock(InstanceLock());
    const std::int32_t count = std::min(GetEffect()->numParams, FParameterProperties.Count());
    for (std::int32_t i = 0; i < count; ++i)
    {
        float value = GetParameter(i);
        OnParameterChange(*this, i, value);
        if (UsesProgramValues())
            FPrograms[CurrentProgram()].ParameterValues().Set(i, value);
    }
}

} // namespace tumblet
