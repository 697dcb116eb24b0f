#pragma once

#include "vst2/VstInterface.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace tumblet
{

/// The lowest layer of a plug-in instance: the embedded effect record, the C entries stored in
/// it, the host callback with one query per audioMaster opcode, and the opcode table.
///
/// Every opcode goes to one virtual member named after it (HostCallOpen, HostCallGetChunk, ...);
/// the layer that owns an opcode overrides its member, and an opcode nobody handles answers 0.
class TBasicVSTModule
{
public:
    TBasicVSTModule();
    virtual ~TBasicVSTModule();

    TBasicVSTModule(const TBasicVSTModule&) = delete;
    TBasicVSTModule& operator=(const TBasicVSTModule&) = delete;

    /// The record handed to the host. Thread: any.
    AEffect* GetEffect() noexcept { return FEffect.get(); }

    /// Stores the callback, checks the host and detects host-object mode. Throws EVstError.
    // Thread: the host's creating thread.
    void ConnectHost(audioMasterCallback audioMaster);

    /// The single path to the host; 0 when no callback is stored. Thread: any.
    std::intptr_t CallHost(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                           void* ptr = nullptr, float opt = 0.0f) const noexcept;
    bool HasHostCallback() const noexcept { return FAudioMaster != nullptr; }

    /// The host's product name, cached; "Unknown" when the host does not say. Thread: UI or
    /// creation (builds a string).
    std::string HostProduct();
    bool UseObjectField() const noexcept { return FUseObjectField; }

    /// Routes an opcode to its handler, then raises OnDispatcher. Thread: as the host calls.
    std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                           float opt);

    /// The instance lock. Held by the processing entries and effProcessEvents for the whole
    /// call, and by every other path that changes engine or module state. Recursive because a
    /// parameter change made while processing (a mapped controller) re-enters it.
    std::recursive_mutex& InstanceLock() noexcept { return FInstanceLock; }

    /// While one of these lives, automation reports to the host are kept back; they go out in
    /// their order when the outermost one ends. A state load opens one before it takes the
    /// instance lock, so that the host is never called while the lock is held: a host whose
    /// callback waits for its audio thread would otherwise deadlock. Thread: any.
    class TDeferHostReports
    {
    public:
        explicit TDeferHostReports(TBasicVSTModule& module);
        ~TDeferHostReports();
        TDeferHostReports(const TDeferHostReports&) = delete;
        TDeferHostReports& operator=(const TDeferHostReports&) = delete;

    private:
        TBasicVSTModule& FModule;
    };

    // Host queries, one per audioMaster opcode. Thread: any unless the host says otherwise.
    std::intptr_t MasterVersion() const noexcept;
    std::intptr_t MasterCurrentId() const noexcept;
    std::intptr_t MasterIdle() const noexcept;
    bool MasterPinConnected(std::int32_t pin, bool isOutput) const noexcept;
    void MasterWantMidi() const noexcept;
    VstTimeInfo* GetTimeInfo(std::int32_t mask) const noexcept;
    bool MasterProcessEvents(VstEvents* events) const noexcept;
    std::intptr_t MasterSetTime(VstTimeInfo* timeInfo, std::int32_t filter) const noexcept;
    std::intptr_t MasterTempoAt(std::int32_t samplePos) const noexcept;
    std::intptr_t MasterGetNumAutomatableParameters() const noexcept;
    std::intptr_t MasterGetParameterQuantization() const noexcept;
    void MasterAutomate(std::int32_t index, float value) const noexcept;
    bool MasterIOChanged() const noexcept;
    bool MasterNeedIdle() const noexcept;
    bool MasterSizeWindow(std::int32_t width, std::int32_t height) const noexcept;
    std::intptr_t MasterGetInputLatency() const noexcept;
    std::intptr_t MasterGetOutputLatency() const noexcept;
    std::intptr_t MasterGetPreviousPlug(std::int32_t pin) const noexcept;
    std::intptr_t MasterGetNextPlug(std::int32_t pin) const noexcept;
    std::intptr_t MasterWillReplaceOrAccumulate() const noexcept;
    std::intptr_t MasterGetCurrentProcessLevel() const noexcept;
    std::intptr_t MasterGetAutomationState() const noexcept;
    bool MasterOfflineStart(void* audioFiles, std::int32_t numFiles,
                            std::int32_t numNewFiles) const noexcept;
    bool MasterOfflineRead(VstOfflineTask* task, std::int32_t option,
                           bool readSource) const noexcept;
    bool MasterOfflineWrite(VstOfflineTask* task, std::int32_t option) const noexcept;
    std::intptr_t MasterOfflineGetCurrentPass() const noexcept;
    std::intptr_t MasterOfflineGetCurrentMetaPass() const noexcept;
    std::intptr_t MasterSetOutputSampleRate(float sampleRate) const noexcept;
    std::intptr_t MasterGetOutputSpeakerArrangement() const noexcept;
    std::intptr_t MasterGetInputSpeakerArrangement() const noexcept;
    bool MasterGetVendorString(char* buffer) const noexcept;
    bool MasterGetProductString(char* buffer) const noexcept;
    std::intptr_t MasterGetVendorVersion() const noexcept;
    std::intptr_t MasterVendorSpecific(std::int32_t index, std::intptr_t value, void* ptr,
                                       float opt) const noexcept;
    std::int32_t GetCanHostDo(const char* text) const noexcept;
    std::intptr_t MasterGetLanguage() const noexcept;
    std::intptr_t MasterOpenWindow(void* window) const noexcept;
    bool MasterCloseWindow(void* window) const noexcept;
    std::intptr_t MasterGetDirectory() const noexcept;
    bool MasterUpdateDisplay() const noexcept;
    bool MasterBeginEdit(std::int32_t index) const noexcept;
    bool MasterEndEdit(std::int32_t index) const noexcept;
    bool MasterOpenFileSelector(void* fileSelect) const noexcept;

    /// Raised after every dispatched opcode but effClose.
    std::function<void(TBasicVSTModule& sender, std::int32_t opcode)> OnDispatcher;

    /// The module the record leads to, or null (null record, closed instance). Thread: any.
    static TBasicVSTModule* FromEffect(AEffect* effect) noexcept;

    /// Destroys an instance the way effClose does; the record stays valid but leads nowhere.
    /// Answers 1, or 0 when destruction raised an exception.
    static std::intptr_t CloseInstance(TBasicVSTModule* module) noexcept;

    /// Prints one line naming the product and the failure to standard error.
    static void ReportFailure(const char* where, const char* message) noexcept;

protected:
    /// Makes the processing entries of the record the active ones (at effOpen).
    void InstallActiveEntries() noexcept;

    /// The name printed with boundary failures.
    virtual const char* BoundaryName() const noexcept { return "Tumblet"; }

    // Processing, reached only through the active entries with frames > 0.
    virtual void ProcessReplacing(float** inputs, float** outputs, std::int32_t sampleFrames);
    virtual void ProcessDoubleReplacing(double** inputs, double** outputs,
                                        std::int32_t sampleFrames);
    virtual void ProcessAccumulating(float** inputs, float** outputs, std::int32_t sampleFrames);

    // Parameter entries.
    virtual void HostSetParameter(std::int32_t index, float value);
    virtual float HostGetParameter(std::int32_t index);

    // One handler per dispatcher opcode; each answers 0 unless a layer overrides it.
#define TUMBLET_HOSTCALL(name)                                                                     \
    virtual std::intptr_t HostCall##name(std::int32_t index, std::intptr_t value, void* ptr,       \
                                         float opt)
    TUMBLET_HOSTCALL(Open);
    TUMBLET_HOSTCALL(Close);
    TUMBLET_HOSTCALL(SetProgram);
    TUMBLET_HOSTCALL(GetProgram);
    TUMBLET_HOSTCALL(SetProgramName);
    TUMBLET_HOSTCALL(GetProgramName);
    TUMBLET_HOSTCALL(GetParamLabel);
    TUMBLET_HOSTCALL(GetParamDisplay);
    TUMBLET_HOSTCALL(GetParamName);
    TUMBLET_HOSTCALL(GetVu);
    TUMBLET_HOSTCALL(SetSampleRate);
    TUMBLET_HOSTCALL(SetBlockSize);
    TUMBLET_HOSTCALL(MainsChanged);
    TUMBLET_HOSTCALL(EditGetRect);
    TUMBLET_HOSTCALL(EditOpen);
    TUMBLET_HOSTCALL(EditClose);
    TUMBLET_HOSTCALL(EditDraw);
    TUMBLET_HOSTCALL(EditMouse);
    TUMBLET_HOSTCALL(EditKey);
    TUMBLET_HOSTCALL(EditIdle);
    TUMBLET_HOSTCALL(EditTop);
    TUMBLET_HOSTCALL(EditSleep);
    TUMBLET_HOSTCALL(Identify);
    TUMBLET_HOSTCALL(GetChunk);
    TUMBLET_HOSTCALL(SetChunk);
    TUMBLET_HOSTCALL(ProcessEvents);
    TUMBLET_HOSTCALL(CanBeAutomated);
    TUMBLET_HOSTCALL(String2Parameter);
    TUMBLET_HOSTCALL(GetNumProgramCategories);
    TUMBLET_HOSTCALL(GetProgramNameIndexed);
    TUMBLET_HOSTCALL(CopyProgram);
    TUMBLET_HOSTCALL(ConnectInput);
    TUMBLET_HOSTCALL(ConnectOutput);
    TUMBLET_HOSTCALL(GetInputProperties);
    TUMBLET_HOSTCALL(GetOutputProperties);
    TUMBLET_HOSTCALL(GetPlugCategory);
    TUMBLET_HOSTCALL(GetCurrentPosition);
    TUMBLET_HOSTCALL(GetDestinationBuffer);
    TUMBLET_HOSTCALL(OfflineNotify);
    TUMBLET_HOSTCALL(OfflinePrepare);
    TUMBLET_HOSTCALL(OfflineRun);
    TUMBLET_HOSTCALL(ProcessVarIo);
    TUMBLET_HOSTCALL(SetSpeakerArrangement);
    TUMBLET_HOSTCALL(SetBlockSizeAndSampleRate);
    TUMBLET_HOSTCALL(SetBypass);
    TUMBLET_HOSTCALL(GetEffectName);
    TUMBLET_HOSTCALL(GetErrorText);
    TUMBLET_HOSTCALL(GetVendorString);
    TUMBLET_HOSTCALL(GetProductString);
    TUMBLET_HOSTCALL(GetVendorVersion);
    TUMBLET_HOSTCALL(VendorSpecific);
    TUMBLET_HOSTCALL(CanDo);
    TUMBLET_HOSTCALL(GetTailSize);
    TUMBLET_HOSTCALL(Idle);
    TUMBLET_HOSTCALL(GetIcon);
    TUMBLET_HOSTCALL(SetViewPosition);
    TUMBLET_HOSTCALL(GetParameterProperties);
    TUMBLET_HOSTCALL(KeysRequired);
    TUMBLET_HOSTCALL(GetVstVersion);
    TUMBLET_HOSTCALL(EditKeyDown);
    TUMBLET_HOSTCALL(EditKeyUp);
    TUMBLET_HOSTCALL(SetEditKnobMode);
    TUMBLET_HOSTCALL(GetMidiProgramName);
    TUMBLET_HOSTCALL(GetCurrentMidiProgram);
    TUMBLET_HOSTCALL(GetMidiProgramCategory);
    TUMBLET_HOSTCALL(HasMidiProgramsChanged);
    TUMBLET_HOSTCALL(GetMidiKeyName);
    TUMBLET_HOSTCALL(BeginSetProgram);
    TUMBLET_HOSTCALL(EndSetProgram);
    TUMBLET_HOSTCALL(GetSpeakerArrangement);
    TUMBLET_HOSTCALL(ShellGetNextPlugin);
    TUMBLET_HOSTCALL(StartProcess);
    TUMBLET_HOSTCALL(StopProcess);
    TUMBLET_HOSTCALL(SetTotalSampleToProcess);
    TUMBLET_HOSTCALL(SetPanLaw);
    TUMBLET_HOSTCALL(BeginLoadBank);
    TUMBLET_HOSTCALL(BeginLoadProgram);
    TUMBLET_HOSTCALL(SetProcessPrecision);
    TUMBLET_HOSTCALL(GetNumMidiInputChannels);
    TUMBLET_HOSTCALL(GetNumMidiOutputChannels);
#undef TUMBLET_HOSTCALL

    /// Runs at effClose after OnClose, while the module is still whole: the open editor and
    /// the product's destruction handler go here, before any destructor runs.
    virtual void BeforeClose() {}

    std::string FHostProductCache;
    bool FTruncateHostStrings = false;

private:
    using THandler = std::intptr_t (TBasicVSTModule::*)(std::int32_t, std::intptr_t, void*, float);
    static const THandler kHandlers[kNumDispatcherOpcodes];

    friend struct TVstEntries;

    // A guard against records that lead to something other than a live module.
    static constexpr std::uint32_t kLiveTag = 0x546D626Cu; // "Tmbl"
    std::uint32_t FLiveTag = kLiveTag;

    // The record lives apart from the module: at effClose it moves to a process-wide store of
    // closed records, so a host that calls through it afterwards finds neutral entries instead
    // of freed memory.
    std::unique_ptr<AEffect> FEffect;
    audioMasterCallback FAudioMaster = nullptr;
    bool FUseObjectField = false;
    std::recursive_mutex FInstanceLock;

    struct TAutomationReport
    {
        std::int32_t Index;
        float Value;
    };
    // Guards the two fields below only. It is held just to add or take reports, never across a
    // host call or while taking the instance lock, so the audio thread (a mapped controller)
    // waits for it no longer than a few stores.
    mutable std::mutex FReportsLock;
    mutable int FReportDeferDepth = 0;
    /// Reserved at construction, so that keeping a report back does not allocate.
    mutable std::vector<TAutomationReport> FDeferredReports;
};

/// Thrown when the host cannot be used ("AudioMaster Error").
class EVstError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace tumblet
