#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tumblet
{

class TVSTModuleWithPrograms;

/// The current real value of one parameter. The value is read by the host's threads without
/// the instance lock, so it is a relaxed atomic; it is written under the lock.
class TVSTParameterValue
{
public:
    TVSTParameterValue(TVSTModuleWithPrograms& module, std::int32_t index, std::string name,
                       float defaultValue);
    TVSTParameterValue(const TVSTParameterValue& other);

    const std::string& Name() const { return FName; }
    float DefaultValue() const { return FDefaultValue; }
    /// The value exactly as last set: not rounded, not clamped. Thread: any.
    float Value() const noexcept { return FValue.load(std::memory_order_relaxed); }
    void SetValue(float value) noexcept { FValue.store(value, std::memory_order_relaxed); }
    std::int32_t Index() const { return FIndex; }

    /// Sets the default through the module's SetParameter (driving the engine and telling the
    /// host), always when forced, otherwise only when the value differs from the default.
    // Thread: any; takes the instance lock through SetParameter.
    void ResetToDefault(bool force);
    /// Rounded to the nearest integer, ties to even.
    std::int64_t RoundedValue() const noexcept;

private:
    TVSTModuleWithPrograms& FModule;
    std::int32_t FIndex;
    std::string FName;
    float FDefaultValue;
    std::atomic<float> FValue;
};

/// Every parameter's current value, in parameter index order: the only store of values.
class TVSTParameterValues
{
public:
    explicit TVSTParameterValues(TVSTModuleWithPrograms& module);

    TVSTParameterValue& Add(const std::string& name, float defaultValue);
    /// Index of the first item with exactly this name; throws when there is none.
    std::int32_t FindByName(std::string_view name) const;
    /// -1 when there is none (never throws).
    std::int32_t IndexOfName(std::string_view name) const noexcept;
    TVSTParameterValue& Items(std::int32_t index);
    const TVSTParameterValue& Items(std::int32_t index) const;
    TVSTParameterValue& Items(std::string_view name);
    std::int32_t Count() const noexcept { return static_cast<std::int32_t>(FItems.size()); }
    void ResetToDefaults();

private:
    TVSTModuleWithPrograms& FModule;
    std::vector<std::unique_ptr<TVSTParameterValue>> FItems;
};

} // namespace tumblet
