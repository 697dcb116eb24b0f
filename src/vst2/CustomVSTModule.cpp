#include "vst2/CustomVSTModule.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tumblet
{

namespace
{

struct TCanDoName
{
    const char* Text;
    TVstCanDo Member;
};

// Compared in this order; the first match decides.
constexpr TCanDoName kCanDoNames[] = {
    {"receiveVstEvents", TVstCanDo::vcdReceiveVstEvents},
    {"receiveVstMidiEvent", TVstCanDo::vcdReceiveVstMidiEvent},
    {"receiveVstTimeInfo", TVstCanDo::vcdReceiveVstTimeInfo},
    {"sendVstEvents", TVstCanDo::vcdSendVstEvents},
    {"sendVstMidiEvent", TVstCanDo::vcdSendVstMidiEvent},
    {"sendVstTimeInfo", TVstCanDo::vcdSendVstTimeInfo},
    {"offline", TVstCanDo::vcdOffline},
    {"plugAsChannelInsert", TVstCanDo::vcdPlugAsChannelInsert},
    {"plugAsSend", TVstCanDo::vcdPlugAsSend},
    {"mixDryWet", TVstCanDo::vcdMixDryWet},
    {"noRealTime", TVstCanDo::vcdNoRealTime},
    {"multipass", TVstCanDo::vcdMultipass},
    {"metapass", TVstCanDo::vcdMetapass},
    {"1in1out", TVstCanDo::vcd1in1out},
    {"1in2out", TVstCanDo::vcd1in2out},
    {"2in1out", TVstCanDo::vcd2in1out},
    {"2in2out", TVstCanDo::vcd2in2out},
    {"2in4out", TVstCanDo::vcd2in4out},
    {"4in2out", TVstCanDo::vcd4in2out},
    {"4in4out", TVstCanDo::vcd4in4out},
    {"4in8out", TVstCanDo::vcd4in8out},
    {"8in4out", TVstCanDo::vcd8in4out},
    {"8in8out", TVstCanDo::vcd8in8out},
    {"midiProgramNames", TVstCanDo::vcdMidiProgramNames},
    {"conformsToWindowRules", TVstCanDo::vcdConformsToWindowRules},
    {"LiveWithoutToolbar", TVstCanDo::vcdLiveWithoutToolbar},
    {"bypass", TVstCanDo::vcdBypass},
    {"ChainPluginAPI", TVstCanDo::vcdChainPluginAPI},
    {"hasCockosExtensions", TVstCanDo::vcdCockosExtension},
    {"supportsViewDpiScaling", TVstCanDo::vcdSupportsViewDpiScaling},
};

constexpr std::int32_t kVuScale = 32767;
constexpr std::size_t kPinLabelLength = kVstMaxLabelLen - 1;
constexpr std::size_t kPinShortLabelLength = kVstMaxShortLabelLen - 1;

} // namespace

TCustomVSTModule::TCustomVSTModule()
{
    AEffect* effect = GetEffect();
    effect->flags = effFlagsCanReplacing;
    effect->numInputs = 2;
    effect->numOutputs = 2;
    UpdateVersionNumber();
}

TCustomVSTModule::~TCustomVSTModule() = default;

// ---- Configuration ---------------------------------------------------------------------------

void TCustomVSTModule::SetEffectName(const std::string& value)
{
    FEffectName = value;
    if (TruncateStrings() && FEffectName.size() > kVstMaxEffectNameLen)
        FEffectName.resize(kVstMaxEffectNameLen);
}

void TCustomVSTModule::SetProductName(const std::string& value)
{
    FProductName = value;
    if (TruncateStrings() && FProductName.size() > kVstMaxProductStrLen)
        FProductName.resize(kVstMaxProductStrLen);
}

void TCustomVSTModule::SetVendorName(const std::string& value)
{
    FVendorName = value;
    if (TruncateStrings() && FVendorName.size() > kVstMaxVendorStrLen)
        FVendorName.resize(kVstMaxVendorStrLen);
}

void TCustomVSTModule::SetVersionMajor(std::int32_t value)
{
    FVersionMajor = value;
    UpdateVersionNumber();
}

void TCustomVSTModule::SetVersionMinor(std::int32_t value)
{
    FVersionMinor = value;
    UpdateVersionNumber();
}

void TCustomVSTModule::SetVersionRelease(std::int32_t value)
{
    FVersionRelease = value;
    UpdateVersionNumber();
}

void TCustomVSTModule::UpdateVersionNumber()
{
    // Two packings: decimal digits for small releases, bytes once the release needs three digits.
    constexpr std::int32_t kDecimalReleaseLimit = 100;
    if (FVersionRelease < kDecimalReleaseLimit)
        GetEffect()->version = FVersionMajor * 1000 + FVersionMinor * 100 + FVersionRelease;
    else
        GetEffect()->version = FVersionMajor * 65536 + FVersionMinor * 256 + FVersionRelease;
}

void TCustomVSTModule::SetSampleRate(float value)
{
    if (FSampleRate == value)
        return;
    FSampleRate = value;
    if (OnSampleRateChange)
        OnSampleRateChange(*this, value);
}

void TCustomVSTModule::SetBlockSize(std::int32_t value)
{
    if (FBlockSize == value)
        return;
    FBlockSize = value;
    if (OnBlockSizeChange)
        OnBlockSizeChange(*this, value);
}

std::string TCustomVSTModule::UniqueID() const
{
    const auto id = static_cast<std::uint32_t>(GetEffect()->uniqueID);
    std::string text(4, '\0');
    for (int i = 0; i < 4; ++i)
        text[i] = static_cast<char>((id >> (24 - 8 * i)) & 0xFF);
    return text;
}

void TCustomVSTModule::SetUniqueID(const std::string& value)
{
    std::uint32_t id = 0;
    for (std::size_t i = 0; i < 4; ++i)
    {
        const std::uint32_t byte = i < value.size() ? static_cast<unsigned char>(value[i]) : 0u;
        id |= byte << (24 - 8 * i);
    }
    GetEffect()->uniqueID = static_cast<std::int32_t>(id);
}

void TCustomVSTModule::SetNumInputs(std::int32_t value)
{
    if (GetEffect()->numInputs == value)
        return;
    GetEffect()->numInputs = value;
    MasterIOChanged();
}

void TCustomVSTModule::SetNumOutputs(std::int32_t value)
{
    if (GetEffect()->numOutputs == value)
        return;
    GetEffect()->numOutputs = value;
    MasterIOChanged();
}

void TCustomVSTModule::SetInitialDelay(std::int32_t value)
{
    if (GetEffect()->initialDelay == value)
        return;
    GetEffect()->initialDelay = value;
    // Only this host is known to need the notice; others re-read the field themselves.
    if (HasHostCallback() && HostProduct() == "energyXT")
        MasterIOChanged();
}

float TCustomVSTModule::MasterGetSampleRate()
{
    const auto rate = static_cast<float>(CallHost(audioMasterGetSampleRate));
    if (rate > 0.0f && rate != FSampleRate)
        SetSampleRate(rate);
    return rate;
}

std::int32_t TCustomVSTModule::MasterGetBlockSize()
{
    const auto size = static_cast<std::int32_t>(CallHost(audioMasterGetBlockSize));
    if (size > 0 && size != FBlockSize)
        SetBlockSize(size);
    return size;
}

std::int32_t TCustomVSTModule::CanDoAnswer(const char* text) const noexcept
{
    if (text == nullptr)
        return 0;
    for (const TCanDoName& name : kCanDoNames)
    {
        if (std::strcmp(text, name.Text) != 0)
            continue;
        if ((FCanDos & CanDoBit(name.Member)) != 0)
            return 1;
        // A plug-in without the Cockos extensions says it does not know the question rather
        // than refusing it, as hosts expect.
        return name.Member == TVstCanDo::vcdCockosExtension ? 0 : -1;
    }
    return 0;
}

std::intptr_t TCustomVSTModule::CopyToHost(void* ptr, const std::string& text,
                                           std::size_t maxLength)
{
    if (ptr == nullptr)
        return 0;
    const std::size_t length = std::min(text.size(), maxLength);
    std::memcpy(ptr, text.data(), length);
    static_cast<char*>(ptr)[length] = 0;
    return 1;
}

// ---- Opcode handlers -------------------------------------------------------------------------

std::intptr_t TCustomVSTModule::HostCallOpen(std::int32_t, std::intptr_t, void*, float)
{
    InstallActiveEntries();
    if (OnOpen)
        OnOpen(*this);
    return 0;
}

std::intptr_t TCustomVSTModule::HostCallClose(std::int32_t, std::intptr_t, void*, float)
{
    if (OnClose)
        OnClose(*this);
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallGetVu(std::int32_t, std::intptr_t, void*, float)
{
    if (!OnGetVU)
        return 0;
    float vu = 0.0f;
    OnGetVU(vu);
    // nearbyint rounds half to even under the default rounding mode.
    return static_cast<std::intptr_t>(std::nearbyint(static_cast<double>(vu) * kVuScale));
}

std::intptr_t TCustomVSTModule::HostCallSetSampleRate(std::int32_t, std::intptr_t, void*, float opt)
{
    SetSampleRate(opt);
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallSetBlockSize(std::int32_t, std::intptr_t value, void*,
                                                     float)
{
    SetBlockSize(static_cast<std::int32_t>(value));
    return 0;
}

std::intptr_t TCustomVSTModule::HostCallMainsChanged(std::int32_t, std::intptr_t value, void*,
                                                     float)
{
    if (value == 0)
    {
        if (OnSuspend)
            OnSuspend(*this);
        return 0;
    }
    if (OnResume)
        OnResume(*this);
    MasterWantMidi();
    return 0;
}

std::intptr_t TCustomVSTModule::HostCallIdentify(std::int32_t, std::intptr_t, void*, float)
{
    return kEffectIdentify;
}

std::intptr_t TCustomVSTModule::HostCallConnectInput(std::int32_t index, std::intptr_t value, void*,
                                                     float)
{
    if (OnInConnected)
        OnInConnected(*this, index, value != 0);
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallConnectOutput(std::int32_t index, std::intptr_t value,
                                                      void*, float)
{
    if (OnOutConnected)
        OnOutConnected(*this, index, value != 0);
    return 1;
}

std::intptr_t TCustomVSTModule::FillPinProperties(std::int32_t index, void* ptr, bool input)
{
    const std::int32_t count = input ? NumInputs() : NumOutputs();
    if (ptr == nullptr || index < 0 || index >= count)
        return 0;
    auto* pin = static_cast<VstPinProperties*>(ptr);
    const std::string number = std::to_string(index + 1);
    CopyToHost(pin->label, (input ? "Input #" : "Output #") + number, kPinLabelLength);
    CopyToHost(pin->shortLabel, (input ? "In" : "Out") + number, kPinShortLabelLength);
    if (count == 1)
        pin->arrangementType = kSpeakerArrMono;
    else if (count == 2)
        pin->arrangementType = kSpeakerArrStereo;
    else if (count == 4)
        pin->arrangementType = kSpeakerArr40Music;
    pin->flags = kVstPinIsActive | (count == 2 ? kVstPinIsStereo : 0);
    const auto& hook = input ? OnInputProperties : OnOutputProperties;
    if (hook)
        return hook(*this, index, *pin) ? 1 : 0;
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallGetInputProperties(std::int32_t index, std::intptr_t,
                                                           void* ptr, float)
{
    return FillPinProperties(index, ptr, true);
}

std::intptr_t TCustomVSTModule::HostCallGetOutputProperties(std::int32_t index, std::intptr_t,
                                                            void* ptr, float)
{
    return FillPinProperties(index, ptr, false);
}

std::intptr_t TCustomVSTModule::HostCallGetPlugCategory(std::int32_t, std::intptr_t, void*, float)
{
    return static_cast<std::intptr_t>(FPlugCategory);
}

std::intptr_t TCustomVSTModule::HostCallOfflineNotify(std::int32_t index, std::intptr_t value,
                                                      void* ptr, float)
{
    if (!OnOfflineNotify)
        return 0;
    OnOfflineNotify(*this, ptr, static_cast<std::int32_t>(value), index != 0);
    return 1;
}

std::intptr_t TCustomVSTModule::RaiseOfflineTasks(
    const std::function<void(TCustomVSTModule&, const std::vector<VstOfflineTask*>&)>& hook,
    std::intptr_t count, void* ptr)
{
    if (!hook)
        return 0;
    std::vector<VstOfflineTask*> tasks;
    auto* first = static_cast<VstOfflineTask*>(ptr);
    if (first != nullptr)
    {
        for (std::intptr_t i = 0; i < count; ++i)
            tasks.push_back(first + i);
    }
    hook(*this, tasks);
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallOfflinePrepare(std::int32_t, std::intptr_t value, void* ptr,
                                                       float)
{
    return RaiseOfflineTasks(OnOfflinePrepare, value, ptr);
}

std::intptr_t TCustomVSTModule::HostCallOfflineRun(std::int32_t, std::intptr_t value, void* ptr,
                                                   float)
{
    return RaiseOfflineTasks(OnOfflineRun, value, ptr);
}

std::intptr_t TCustomVSTModule::HostCallProcessVarIo(std::int32_t, std::intptr_t, void* ptr, float)
{
    if (!OnProcessVarIO)
        return 0;
    OnProcessVarIO(*this, static_cast<VstVariableIo*>(ptr));
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallSetSpeakerArrangement(std::int32_t, std::intptr_t value,
                                                              void* ptr, float)
{
    if (value == 0 || ptr == nullptr)
        return 0;
    if (OnSpeakerArrangementChanged)
        OnSpeakerArrangementChanged(*this, reinterpret_cast<VstSpeakerArrangement*>(value),
                                    static_cast<VstSpeakerArrangement*>(ptr));
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallSetBlockSizeAndSampleRate(std::int32_t index,
                                                                  std::intptr_t value, void* ptr,
                                                                  float opt)
{
    HostCallSetSampleRate(index, value, ptr, opt);
    HostCallSetBlockSize(index, value, ptr, opt);
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallSetBypass(std::int32_t, std::intptr_t value, void*, float)
{
    if (!OnSoftBypass)
        return 0;
    OnSoftBypass(*this, value != 0);
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallGetEffectName(std::int32_t, std::intptr_t, void* ptr, float)
{
    return CopyToHost(ptr, FEffectName, kVstMaxEffectNameLen);
}

std::intptr_t TCustomVSTModule::HostCallGetVendorString(std::int32_t, std::intptr_t, void* ptr,
                                                        float)
{
    return CopyToHost(ptr, FVendorName, kVstMaxVendorStrLen);
}

std::intptr_t TCustomVSTModule::HostCallGetProductString(std::int32_t, std::intptr_t, void* ptr,
                                                         float)
{
    return CopyToHost(ptr, FProductName.empty() ? FEffectName : FProductName, kVstMaxProductStrLen);
}

std::intptr_t TCustomVSTModule::HostCallGetVendorVersion(std::int32_t, std::intptr_t, void*, float)
{
    return GetEffect()->version;
}

std::intptr_t TCustomVSTModule::HostCallVendorSpecific(std::int32_t index, std::intptr_t value,
                                                       void* ptr, float opt)
{
    if (!OnVendorSpecific)
        return 0;
    return OnVendorSpecific(*this, index, value, ptr, opt);
}

std::intptr_t TCustomVSTModule::HostCallCanDo(std::int32_t, std::intptr_t, void* ptr, float)
{
    const char* text = static_cast<const char*>(ptr);
    const std::int32_t answer = CanDoAnswer(text);
    if (OnCanDo && text != nullptr)
        OnCanDo(*this, std::string(text));
    return answer;
}

std::intptr_t TCustomVSTModule::HostCallGetTailSize(std::int32_t, std::intptr_t, void*, float)
{
    return FTailSize;
}

std::intptr_t TCustomVSTModule::HostCallKeysRequired(std::int32_t, std::intptr_t, void*, float)
{
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallGetVstVersion(std::int32_t, std::intptr_t, void*, float)
{
    return kVstVersion;
}

std::intptr_t TCustomVSTModule::HostCallGetCurrentMidiProgram(std::int32_t, std::intptr_t, void*,
                                                              float)
{
    return -1;
}

std::intptr_t TCustomVSTModule::HostCallStartProcess(std::int32_t, std::intptr_t, void*, float)
{
    if (!OnStartProcess)
        return 0;
    OnStartProcess(*this);
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallStopProcess(std::int32_t, std::intptr_t, void*, float)
{
    if (!OnStopProcess)
        return 0;
    OnStopProcess(*this);
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallSetTotalSampleToProcess(std::int32_t, std::intptr_t value,
                                                                void*, float)
{
    return value;
}

std::intptr_t TCustomVSTModule::HostCallSetPanLaw(std::int32_t, std::intptr_t value, void*,
                                                  float opt)
{
    if (!OnSetPanLaw)
        return 0;
    OnSetPanLaw(*this, static_cast<std::int32_t>(value), opt);
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallSetProcessPrecision(std::int32_t, std::intptr_t, void*,
                                                            float)
{
    return static_cast<std::intptr_t>(FProcessPrecision);
}

} // namespace tumblet
