// The common module's creation, host kind and MIDI controller learn. The state chunk is in
// VSTPluginBaseState.cpp, settings and preset files in VSTPluginBaseSettings.cpp.

#include "plugin/VSTPluginBaseDM.h"

#include "base/MidiStatus.h"
#include "engine/Rounding.h"
#include "plugin/BlxRegistry.h"
#include "plugin/StdErrDialogService.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <mutex>

namespace tumblet
{

namespace
{
constexpr std::int32_t kHighestController = 127;
constexpr double kHighestControllerValue = 127.0;
constexpr const char* kLearnResultSeparator = " = CC# ";
} // namespace

TVSTPluginBase::TVSTPluginBase()
    : FDialogs(std::make_unique<TStdErrDialogService>()),
      FRegistry(std::make_unique<TBlxNoRegistry>())
{
}

TVSTPluginBase::~TVSTPluginBase() = default;

void TVSTPluginBase::SetDialogService(std::unique_ptr<TDialogService> service)
{
    if (service)
        FDialogs = std::move(service);
}

void TVSTPluginBase::SetRegistry(std::unique_ptr<TBlxRegistry> registry)
{
    if (registry)
        FRegistry = std::move(registry);
}

void TVSTPluginBase::BaseModuleCreate()
{
    FMidiCCList.Clear();
    FMidiCCList.ReserveSpare();
    FLearnState.store(lsNone, std::memory_order_relaxed);
    FParameterValues = std::make_unique<TVSTParameterValues>(*this);
    ComputeFolders();
    LoadSettings();
    DefineParameterValues();
    if (Programs().Count() > 0)
    {
        TVstProgram& program = Programs()[0];
        program.OnStoreChunk = [this](TCustomVstProgram& sender, std::int32_t index, bool isPreset)
        { VSTPluginBasePrograms0StoreChunk(sender, index, isPreset); };
        program.OnLoadChunk = [this](TCustomVstProgram& sender, std::int32_t index, bool isPreset)
        { VSTPluginBasePrograms0LoadChunk(sender, index, isPreset); };
    }
    LoadInitPreset();
}

void TVSTPluginBase::BaseModuleDestroy() {}

void TVSTPluginBase::ValueListText(const std::string&, std::int32_t, std::string&) {}

void TVSTPluginBase::RefreshHostKind()
{
    FHostIsUnknown.store(HostProduct() == "Unknown", std::memory_order_relaxed);
}

bool TVSTPluginBase::HostIgnoresTouch()
{
    const std::string product = HostProduct();
    return product == "Live" || product == "Bitwig Studio" || product == "Unknown";
}

void TVSTPluginBase::NotifyParameterTouched(const std::string& name)
{
    if (HostIgnoresTouch())
        return;
    const std::int32_t index = ParameterProperties().IndexOfName(name);
    if (index < 0)
        return;
    MasterAutomate(index, ParameterToVSTParameter(index, GetParameter(index)));
}

std::intptr_t TVSTPluginBase::HostCallOpen(std::int32_t index, std::intptr_t value, void* ptr,
                                           float opt)
{
    RefreshHostKind();
    return TVSTModule::HostCallOpen(index, value, ptr, opt);
}

std::intptr_t TVSTPluginBase::HostCallMainsChanged(std::int32_t index, std::intptr_t value,
                                                   void* ptr, float opt)
{
    RefreshHostKind();
    return TVSTModule::HostCallMainsChanged(index, value, ptr, opt);
}

std::intptr_t TVSTPluginBase::HostCallEditOpen(std::int32_t index, std::intptr_t value, void* ptr,
                                               float opt)
{
    Dialogs().EditorOpened();
    ApplySkin();
    return TVSTModule::HostCallEditOpen(index, value, ptr, opt);
}

// ---- Learn state -----------------------------------------------------------------------------

std::string TVSTPluginBase::LearnTarget()
{
    std::lock_guard<std::recursive_mutex> lock(InstanceLock());
    return FLearnTarget;
}

void TVSTPluginBase::SetLearnState(std::uint8_t state) noexcept
{
    std::lock_guard<std::recursive_mutex> lock(InstanceLock());
    FLearnState.store(state, std::memory_order_relaxed);
    if (state != lsLearning)
        FLearnTarget.clear();
}

void TVSTPluginBase::ShowInfo(const std::string& text)
{
    std::lock_guard<std::recursive_mutex> lock(InstanceLock());
    FEditorMailbox.Post(TEditorMailbox::TKind::ShowInfo, text.data(), text.size());
}

void TVSTPluginBase::ToggleLearn()
{
    if (LearnState() == lsLearning)
    {
        SetLearnState(lsNone);
        ShowInfo("");
        return;
    }
    SetLearnState(lsLearning);
    ShowInfo("MIDI Learn: Click control");
}

void TVSTPluginBase::ToggleSetCC()
{
    if (LearnState() == lsSettingCC)
    {
        SetLearnState(lsNone);
        ShowInfo("");
        return;
    }
    SetLearnState(lsSettingCC);
    ShowInfo("MIDI Set CC: Click control");
}

void TVSTPluginBase::LearnControlPressed(const std::string& name)
{
    // Everything a learn needs is built here, so that the processing thread that completes it
    // only moves and copies into room that already exists.
    std::string target = name;
    TMidiCCItem pending{0, name, FParameterValues->IndexOfName(name)};
    {
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        FLearnTarget.swap(target);
        FLearnPending = std::move(pending);
        FMidiCCList.ReserveSpare();
    }
    ShowInfo("MIDI Learn: Move MIDI controller");
}

void TVSTPluginBase::SetCCControlPressed(const std::string& name)
{
    double value = 1.0;
    {
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        const std::int32_t index = FMidiCCList.IndexOfName(name);
        if (index >= 0)
            value = FMidiCCList.Items(index).CC;
    }
    // The answer comes on a later idle, without the lock: processing goes on while the user
    // types.
    Dialogs().InputNumberDialog(
        Editor(), "MIDI Set CC: " + name, "CC# (0-127)", kHighestController, 0, 0, value,
        [this, name](std::optional<double> entered)
        {
            if (entered)
            {
                // The dialog keeps the number inside the range; a value from elsewhere is held
                // to it.
                const std::int32_t cc = std::clamp(RoundEvenInt(*entered), 0, kHighestController);
                SetMapping(name, cc);
                ShowInfo(name + kLearnResultSeparator + std::to_string(cc));
                ResendFirstParameter();
            }
            else
                ShowInfo("");
            SetLearnState(lsNone);
        });
}

void TVSTPluginBase::RemoveMapping(std::int32_t index)
{
    {
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        FMidiCCList.Delete(index);
    }
    ResendFirstParameter();
}

void TVSTPluginBase::SetMapping(const std::string& name, std::int32_t cc)
{
    const std::int32_t parameter = FParameterValues->IndexOfName(name);
    std::lock_guard<std::recursive_mutex> lock(InstanceLock());
    FMidiCCList.SetCC(name, cc).ParameterIndex = parameter;
    FMidiCCList.ReserveSpare();
}

// ---- Incoming controllers (audio thread) ----------------------------------------------------

void TVSTPluginBase::VSTModuleProcessMidi(const TVstMidiEvent& event) noexcept
{
    const auto status = static_cast<std::uint8_t>(event.midiData[0]);
    if (MidiKind(status) != kMidiControlChange)
        return;
    const std::int32_t controller = event.midiData[1] & 0x7F;
    const std::int32_t value = event.midiData[2] & 0x7F;
    std::lock_guard<std::recursive_mutex> lock(InstanceLock());
    if (LearnState() == lsLearning)
    {
        if (!FLearnTarget.empty())
            CompleteLearn(controller);
        return;
    }
    ApplyMappedController(controller, value);
}

void TVSTPluginBase::CompleteLearn(std::int32_t controller) noexcept
{
    const std::int32_t index = FMidiCCList.IndexOfName(FLearnTarget);
    if (index >= 0)
        FMidiCCList.Items(index).CC = controller;
    else if (FLearnPending.Name == FLearnTarget)
    {
        FLearnPending.CC = controller;
        if (!FMidiCCList.AppendWithoutAllocation(FLearnPending))
            return;
    }
    else
        return;

    // The result text: the name, " = CC# " and the number, built in the mailbox's buffer.
    char* text = FEditorMailbox.StageBuffer();
    constexpr std::size_t kCapacity = TEditorMailbox::kCapacity;
    std::size_t length = std::min(FLearnTarget.size(), kCapacity);
    std::memcpy(text, FLearnTarget.data(), length);
    const std::size_t separator = std::min(std::strlen(kLearnResultSeparator), kCapacity - length);
    std::memcpy(text + length, kLearnResultSeparator, separator);
    length += separator;
    const auto digits = std::to_chars(text + length, text + kCapacity, controller);
    if (digits.ec == std::errc())
        length = static_cast<std::size_t>(digits.ptr - text);
    FEditorMailbox.Publish(TEditorMailbox::TKind::ShowInfo, length);

    SetLearnState(lsNone);
    try
    {
        ResendFirstParameter();
    }
    catch (...)
    {
        // A first value the product cannot take (a damaged preset left it) refuses the resend;
        // the mapping is made all the same, and nothing may escape to the processing thread.
    }
}

void TVSTPluginBase::ApplyMappedController(std::int32_t controller, std::int32_t value)
{
    for (std::int32_t i = 0; i < FMidiCCList.Count(); ++i)
    {
        const TMidiCCItem& item = FMidiCCList.Items(i);
        // An item whose name is no parameter (from a foreign or edited state) is skipped.
        if (item.CC != controller || item.ParameterIndex < 0 ||
            item.ParameterIndex >= ParameterProperties().Count())
            continue;
        const TCustomVstParameterProperty& property = ParameterProperties()[item.ParameterIndex];
        const double min = property.Min();
        const double max = property.Max();
        const auto real = static_cast<float>(min + (max - min) * (value / kHighestControllerValue));
        SetParameter(item.ParameterIndex, real);
    }
}

} // namespace tumblet
