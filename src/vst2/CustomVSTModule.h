#pragma once

#include "vst2/BasicVSTModule.h"
#include "vst2/VSTEditorForm.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tumblet
{

/// Plug-in categories, numbered as the interface numbers them.
enum class TVstPluginCategory : std::int32_t
{
    vpcUnknown,
    vpcEffect,
    vpcSynth,
    vpcAnalysis,
    vpcMastering,
    vpcSpacializer,
    vpcRoomFx,
    vpcSurroundFx,
    vpcRestoration,
    vpcOfflineProcess,
    vpcShell,
    vpcGenerator
};

/// The canDo vocabulary; members are bit positions in TCustomVSTModule::CanDos.
enum class TVstCanDo : std::int32_t
{
    vcdSendVstEvents,
    vcdSendVstMidiEvent,
    vcdSendVstTimeInfo,
    vcdReceiveVstEvents,
    vcdReceiveVstMidiEvent,
    vcdReceiveVstTimeInfo,
    vcdOffline,
    vcdPlugAsChannelInsert,
    vcdPlugAsSend,
    vcdMixDryWet,
    vcdNoRealTime,
    vcdMultipass,
    vcdMetapass,
    vcd1in1out,
    vcd1in2out,
    vcd2in1out,
    vcd2in2out,
    vcd2in4out,
    vcd4in2out,
    vcd4in4out,
    vcd4in8out,
    vcd8in4out,
    vcd8in8out,
    vcdMidiProgramNames,
    vcdLiveWithoutToolbar,
    vcdConformsToWindowRules,
    vcdBypass,
    vcdCockosExtension,
    vcdChainPluginAPI,
    vcdSupportsViewDpiScaling
};
using TVstCanDos = std::uint32_t;
constexpr TVstCanDos CanDoBit(TVstCanDo canDo)
{
    return TVstCanDos{1} << static_cast<std::int32_t>(canDo);
}

enum class TProcessPrecision : std::int32_t
{
    pp32,
    pp64
};
enum class TProcessingMode : std::int32_t
{
    pmNormal
};

/// Adds the module's configuration (names, flags, version, canDos, pins) and the handlers of
/// the identity, category, I/O, offline, speaker and process-control opcodes.
class TCustomVSTModule : public TBasicVSTModule
{
public:
    TCustomVSTModule();
    ~TCustomVSTModule() override;

    using TBasicVSTModule::GetEffect;
    const AEffect* GetEffect() const noexcept
    {
        return const_cast<TCustomVSTModule*>(this)->TBasicVSTModule::GetEffect();
    }

    // Configuration. Thread: creation, or UI while the host is not processing.
    const std::string& EffectName() const { return FEffectName; }
    void SetEffectName(const std::string& value);
    const std::string& ProductName() const { return FProductName; }
    void SetProductName(const std::string& value);
    const std::string& VendorName() const { return FVendorName; }
    void SetVendorName(const std::string& value);
    const std::string& Version() const { return FVersion; }
    void SetVersion(const std::string& value) { FVersion = value; }
    std::int32_t VersionMajor() const { return FVersionMajor; }
    std::int32_t VersionMinor() const { return FVersionMinor; }
    std::int32_t VersionRelease() const { return FVersionRelease; }
    void SetVersionMajor(std::int32_t value);
    void SetVersionMinor(std::int32_t value);
    void SetVersionRelease(std::int32_t value);
    TVstPluginCategory PlugCategory() const { return FPlugCategory; }
    void SetPlugCategory(TVstPluginCategory value) { FPlugCategory = value; }
    TVstCanDos CanDos() const { return FCanDos; }
    void SetCanDos(TVstCanDos value) { FCanDos = value; }
    std::int32_t TailSize() const { return FTailSize; }
    void SetTailSize(std::int32_t value) { FTailSize = value; }
    float SampleRate() const { return FSampleRate; }
    void SetSampleRate(float value);
    std::int32_t BlockSize() const { return FBlockSize; }
    void SetBlockSize(std::int32_t value);
    bool KeysRequired() const { return FKeysRequired; }
    void SetKeysRequired(bool value) { FKeysRequired = value; }
    TProcessPrecision ProcessPrecisition() const { return FProcessPrecision; }
    void SetProcessPrecisition(TProcessPrecision value) { FProcessPrecision = value; }
    std::int32_t NumCategories() const { return FNumCategories; }
    void SetNumCategories(std::int32_t value) { FNumCategories = value; }
    bool TruncateStrings() const { return FTruncateHostStrings; }
    void SetTruncateStrings(bool value) { FTruncateHostStrings = value; }
    TProcessingMode ProcessingMode() const { return FProcessingMode; }
    void SetProcessingMode(TProcessingMode value) { FProcessingMode = value; }

    /// The unique ID as up to four characters, first in the most significant byte.
    std::string UniqueID() const;
    void SetUniqueID(const std::string& value);
    std::int32_t Flags() const { return GetEffect()->flags; }
    void SetFlags(std::int32_t value) { GetEffect()->flags = value; }
    std::int32_t NumInputs() const { return GetEffect()->numInputs; }
    void SetNumInputs(std::int32_t value);
    std::int32_t NumOutputs() const { return GetEffect()->numOutputs; }
    void SetNumOutputs(std::int32_t value);
    std::int32_t InitialDelay() const { return GetEffect()->initialDelay; }
    void SetInitialDelay(std::int32_t value);
    std::int32_t RealQualities() const { return GetEffect()->realQualities; }
    void SetRealQualities(std::int32_t value) { GetEffect()->realQualities = value; }
    std::int32_t OffQualities() const { return GetEffect()->offQualities; }
    void SetOffQualities(std::int32_t value) { GetEffect()->offQualities = value; }
    float IORatio() const { return GetEffect()->ioRatio; }
    void SetIORatio(float value) { GetEffect()->ioRatio = value; }

    /// Host queries whose answers also update the configuration.
    float MasterGetSampleRate();
    std::int32_t MasterGetBlockSize();

    // Hooks (sender first). Bound once at creation, never while the host may be processing.
    std::function<void(TCustomVSTModule& sender)> OnOpen;
    std::function<void(TCustomVSTModule& sender)> OnClose;
    std::function<void(TCustomVSTModule& sender)> OnSuspend;
    std::function<void(TCustomVSTModule& sender)> OnResume;
    std::function<void(TCustomVSTModule& sender, float sampleRate)> OnSampleRateChange;
    std::function<void(TCustomVSTModule& sender, std::int32_t blockSize)> OnBlockSizeChange;
    std::function<void(TCustomVSTModule& sender, const std::string& canDoText)> OnCanDo;
    std::function<void(float& vu)> OnGetVU;
    std::function<void(TCustomVSTModule& sender, std::int32_t index, bool state)> OnInConnected;
    std::function<void(TCustomVSTModule& sender, std::int32_t index, bool state)> OnOutConnected;
    std::function<bool(TCustomVSTModule& sender, std::int32_t index, VstPinProperties& pin)>
        OnInputProperties;
    std::function<bool(TCustomVSTModule& sender, std::int32_t index, VstPinProperties& pin)>
        OnOutputProperties;
    std::function<void(TCustomVSTModule& sender, void* audioFiles, std::int32_t count, bool start)>
        OnOfflineNotify;
    std::function<void(TCustomVSTModule& sender, const std::vector<VstOfflineTask*>& tasks)>
        OnOfflinePrepare;
    std::function<void(TCustomVSTModule& sender, const std::vector<VstOfflineTask*>& tasks)>
        OnOfflineRun;
    std::function<void(TCustomVSTModule& sender, VstVariableIo* io)> OnProcessVarIO;
    std::function<void(TCustomVSTModule& sender, VstSpeakerArrangement* input,
                       VstSpeakerArrangement* output)>
        OnSpeakerArrangementChanged;
    std::function<void(TCustomVSTModule& sender, bool isBypass)> OnSoftBypass;
    std::function<std::int32_t(TCustomVSTModule& sender, std::int32_t index, std::intptr_t value,
                               void* ptr, float opt)>
        OnVendorSpecific;
    std::function<void(TCustomVSTModule& sender)> OnStartProcess;
    std::function<void(TCustomVSTModule& sender)> OnStopProcess;
    std::function<void(TCustomVSTModule& sender, std::int32_t lawType, float value)> OnSetPanLaw;

    /// The canDo answer for a text: 1, -1, or 0 when the text is not in the vocabulary.
    std::int32_t CanDoAnswer(const char* text) const noexcept;

    // ---- Editor hosting ----------------------------------------------------------------------

    /// The factory effEditOpen uses; empty means the module has no editor window to offer.
    // Thread: creation.
    const TVstEditorFormClass& EditorFormClass() const { return FEditorFormClass; }
    void SetEditorFormClass(TVstEditorFormClass value) { FEditorFormClass = std::move(value); }
    /// The open editor, or null. Owned by the module. Thread: UI.
    TVstEditorForm* Editor() const noexcept { return FEditor.get(); }
    /// Set whenever parameter values may have changed behind the editor's back; the next
    /// effEditIdle with an open editor refreshes it once and clears the flag. Thread: any.
    bool EditorNeedsUpdate() const noexcept
    {
        return FEditorNeedsUpdate.load(std::memory_order_relaxed);
    }
    void SetEditorNeedsUpdate(bool value) noexcept
    {
        FEditorNeedsUpdate.store(value, std::memory_order_relaxed);
    }
    /// The rectangle effEditGetRect points the host at; it lives as long as the module.
    const ERect& EditorRect() const noexcept { return FEditorRect; }

    // Editor hooks (sender first). Raised on the UI thread; bound once at creation.
    std::function<void(TCustomVSTModule& sender, std::unique_ptr<TVstEditorForm>& gui,
                       std::uintptr_t parentWindow)>
        OnEditOpen;
    std::function<void(TCustomVSTModule& sender, bool& destroyForm)> OnEditClose;
    std::function<void(TCustomVSTModule& sender, std::int16_t& width, std::int16_t& height)>
        OnEditGetSize;
    std::function<void(TCustomVSTModule& sender)> OnEditIdle;
    std::function<void(TCustomVSTModule& sender)> OnEditTop;
    std::function<void(TCustomVSTModule& sender)> OnEditSleep;
    std::function<void(TCustomVSTModule& sender, VstKeyCode& keyCode)> OnEditorKeyDown;
    std::function<void(TCustomVSTModule& sender, VstKeyCode& keyCode)> OnEditorKeyUp;
    std::function<bool(TCustomVSTModule& sender, std::int32_t key)> OnCheckKey;
    std::function<void(TCustomVSTModule& sender, std::int32_t value)> OnEditorKnobMode;

protected:
    // Editor opcodes. Thread: UI.
    std::intptr_t HostCallEditGetRect(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallEditOpen(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallEditClose(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallEditIdle(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallEditTop(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallEditSleep(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallEditKeyDown(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallEditKeyUp(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallSetEditKnobMode(std::int32_t, std::intptr_t, void*, float) override;

    /// Runs when effEditOpen has placed a new editor; the parameter layer re-announces values.
    virtual void AfterEditorOpen() {}
    /// Destroys an open editor form; the module stays whole while it dies. Thread: UI.
    void DestroyEditor() noexcept;
    /// Destroys an open editor before anything else of the module goes.
    void BeforeClose() override;

    std::intptr_t HostCallOpen(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallClose(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetVu(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallSetSampleRate(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallSetBlockSize(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallMainsChanged(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallIdentify(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallConnectInput(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallConnectOutput(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetInputProperties(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetOutputProperties(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetPlugCategory(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallOfflineNotify(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallOfflinePrepare(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallOfflineRun(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallProcessVarIo(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallSetSpeakerArrangement(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallSetBlockSizeAndSampleRate(std::int32_t, std::intptr_t, void*,
                                                    float) override;
    std::intptr_t HostCallSetBypass(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetEffectName(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetVendorString(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetProductString(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetVendorVersion(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallVendorSpecific(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallCanDo(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetTailSize(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallKeysRequired(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetVstVersion(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetCurrentMidiProgram(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallStartProcess(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallStopProcess(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallSetTotalSampleToProcess(std::int32_t, std::intptr_t, void*,
                                                  float) override;
    std::intptr_t HostCallSetPanLaw(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallSetProcessPrecision(std::int32_t, std::intptr_t, void*, float) override;

    /// Copies a text into a host buffer, zero-terminated, at most maxLength characters.
    static std::intptr_t CopyToHost(void* ptr, const std::string& text, std::size_t maxLength);

private:
    void UpdateVersionNumber();
    std::intptr_t FillPinProperties(std::int32_t index, void* ptr, bool input);
    std::intptr_t RaiseOfflineTasks(
        const std::function<void(TCustomVSTModule&, const std::vector<VstOfflineTask*>&)>& hook,
        std::intptr_t count, void* ptr);

    std::string FEffectName;
    std::string FProductName;
    std::string FVendorName;
    std::string FVersion = "1.0";
    std::int32_t FVersionMajor = 1;
    std::int32_t FVersionMinor = 0;
    std::int32_t FVersionRelease = 0;
    TVstPluginCategory FPlugCategory = TVstPluginCategory::vpcUnknown;
    TVstCanDos FCanDos = CanDoBit(TVstCanDo::vcdPlugAsChannelInsert) |
                         CanDoBit(TVstCanDo::vcdPlugAsSend) | CanDoBit(TVstCanDo::vcd2in2out);
    std::int32_t FTailSize = 0;
    float FSampleRate = 44100.0f;
    std::int32_t FBlockSize = 1024;
    bool FKeysRequired = false;
    TProcessPrecision FProcessPrecision = TProcessPrecision::pp32;
    std::int32_t FNumCategories = 1;
    TProcessingMode FProcessingMode = TProcessingMode::pmNormal;

    std::intptr_t EditKey(std::int32_t index, std::intptr_t value, float opt, bool down);

    TVstEditorFormClass FEditorFormClass;
    std::unique_ptr<TVstEditorForm> FEditor;
    std::atomic<bool> FEditorNeedsUpdate{false};
    ERect FEditorRect{};
};

} // namespace tumblet
