#include "vst2/BasicVSTModule.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <vector>

namespace tumblet
{

// The C entries stored in the record. Each recovers the module, gives the neutral answer for a
// null or closed instance, calls one member, and contains every failure.
struct TVstEntries
{
    template <bool ObjectField> static TBasicVSTModule* Module(AEffect* effect) noexcept
    {
        if (effect == nullptr)
            return nullptr;
        auto* module = static_cast<TBasicVSTModule*>(ObjectField ? effect->object : effect->user);
        if (module == nullptr || module->FLiveTag != TBasicVSTModule::kLiveTag)
            return nullptr;
        return module;
    }

    // Processing reaches the module through whichever field is in use: a host in host-object
    // mode would otherwise never get processing at all.
    static TBasicVSTModule* ProcessingModule(AEffect* effect) noexcept
    {
        if (TBasicVSTModule* module = Module<false>(effect))
            return module;
        return Module<true>(effect);
    }

    static void Report(TBasicVSTModule* module, const char* where) noexcept
    {
        try
        {
            throw;
        }
        catch (const std::exception& e)
        {
            TBasicVSTModule::ReportFailure(where, e.what());
        }
        catch (...)
        {
            TBasicVSTModule::ReportFailure(where, "unknown exception");
        }
        (void)module;
    }

    template <bool ObjectField>
    static std::intptr_t Dispatcher(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                    std::intptr_t value, void* ptr, float opt) noexcept
    {
        TBasicVSTModule* module = Module<ObjectField>(effect);
        if (module == nullptr)
            return 0;
        if (opcode == effClose)
            return TBasicVSTModule::CloseInstance(module);
        try
        {
            return module->Dispatch(opcode, index, value, ptr, opt);
        }
        catch (...)
        {
            Report(module, "dispatcher");
            return 0;
        }
    }

    template <bool ObjectField>
    static void SetParameter(AEffect* effect, std::int32_t index, float value) noexcept
    {
        TBasicVSTModule* module = Module<ObjectField>(effect);
        if (module == nullptr)
            return;
        try
        {
            module->HostSetParameter(index, value);
        }
        catch (...)
        {
            Report(module, "setParameter");
        }
    }

    template <bool ObjectField>
    static float GetParameter(AEffect* effect, std::int32_t index) noexcept
    {
        TBasicVSTModule* module = Module<ObjectField>(effect);
        if (module == nullptr)
            return 0.0f;
        try
        {
            return module->HostGetParameter(index);
        }
        catch (...)
        {
            Report(module, "getParameter");
            return 0.0f;
        }
    }

    template <typename Sample, typename Member>
    static void Process(AEffect* effect, Sample** inputs, Sample** outputs, std::int32_t frames,
                        Member member) noexcept
    {
        if (frames <= 0 || (inputs == nullptr && outputs == nullptr))
            return;
        TBasicVSTModule* module = ProcessingModule(effect);
        if (module == nullptr)
            return;
        try
        {
            std::lock_guard<std::recursive_mutex> lock(module->FInstanceLock);
            (module->*member)(inputs, outputs, frames);
        }
        catch (...)
        {
            Report(module, "process");
        }
    }

    static void ActiveReplacing(AEffect* e, float** in, float** out, std::int32_t n) noexcept
    {
        Process(e, in, out, n, &TBasicVSTModule::ProcessReplacing);
    }
    static void ActiveDoubleReplacing(AEffect* e, double** in, double** out,
                                      std::int32_t n) noexcept
    {
        Process(e, in, out, n, &TBasicVSTModule::ProcessDoubleReplacing);
    }
    static void ActiveAccumulating(AEffect* e, float** in, float** out, std::int32_t n) noexcept
    {
        Process(e, in, out, n, &TBasicVSTModule::ProcessAccumulating);
    }

    // Before effOpen the record holds these. A host that copied a function pointer early still
    // reaches processing once effOpen has made the matching active entry current.
    static void InactiveReplacing(AEffect* e, float** in, float** out, std::int32_t n) noexcept
    {
        if (e != nullptr && e->processReplacing == &ActiveReplacing)
            ActiveReplacing(e, in, out, n);
    }
    static void InactiveDoubleReplacing(AEffect* e, double** in, double** out,
                                        std::int32_t n) noexcept
    {
        if (e != nullptr && e->processDoubleReplacing == &ActiveDoubleReplacing)
            ActiveDoubleReplacing(e, in, out, n);
    }
    static void InactiveAccumulating(AEffect* e, float** in, float** out, std::int32_t n) noexcept
    {
        if (e != nullptr && e->process == &ActiveAccumulating)
            ActiveAccumulating(e, in, out, n);
    }

    // What a closed record holds.
    static std::intptr_t ClosedDispatcher(AEffect*, std::int32_t, std::int32_t, std::intptr_t,
                                          void*, float) noexcept
    {
        return 0;
    }
    static void ClosedSetParameter(AEffect*, std::int32_t, float) noexcept {}
    static float ClosedGetParameter(AEffect*, std::int32_t) noexcept { return 0.0f; }
    static void ClosedProcess(AEffect*, float**, float**, std::int32_t) noexcept {}
    static void ClosedProcessDouble(AEffect*, double**, double**, std::int32_t) noexcept {}
};

namespace
{

constexpr std::size_t kHostStringBufferSize = 256;
// Automation reports a state load may keep back without allocating: several for each of a
// product's parameters.
constexpr std::size_t kDeferredReportRoom = 512;

// The most recently closed records stay allocated, with entries that answer neutrally, so a
// host that calls through a record after effClose finds no freed memory. Only the last
// kKeptClosedRecords are kept (192 bytes each): a host that creates and closes instances for a
// whole session does not grow without bound.
constexpr std::size_t kKeptClosedRecords = 256;

void KeepClosedRecord(std::unique_ptr<AEffect> record)
{
    static std::mutex lock;
    static std::vector<std::unique_ptr<AEffect>> closed(kKeptClosedRecords);
    static std::size_t next = 0;
    std::lock_guard<std::mutex> guard(lock);
    closed[next] = std::move(record);
    next = (next + 1) % kKeptClosedRecords;
}

} // namespace

TBasicVSTModule::TBasicVSTModule() : FEffect(std::make_unique<AEffect>())
{
    FDeferredReports.reserve(kDeferredReportRoom);
    FEffect->magic = kEffectMagic;
    FEffect->dispatcher = &TVstEntries::Dispatcher<false>;
    FEffect->process = &TVstEntries::InactiveAccumulating;
    FEffect->setParameter = &TVstEntries::SetParameter<false>;
    FEffect->getParameter = &TVstEntries::GetParameter<false>;
    FEffect->ioRatio = 1.0f;
    FEffect->user = this;
    FEffect->uniqueID = FourCC('N', 'o', 'E', 'f');
    FEffect->processReplacing = &TVstEntries::InactiveReplacing;
    FEffect->processDoubleReplacing = &TVstEntries::InactiveDoubleReplacing;
}

TBasicVSTModule::~TBasicVSTModule()
{
    FLiveTag = 0;
}

void TBasicVSTModule::InstallActiveEntries() noexcept
{
    FEffect->process = &TVstEntries::ActiveAccumulating;
    FEffect->processReplacing = &TVstEntries::ActiveReplacing;
    FEffect->processDoubleReplacing = &TVstEntries::ActiveDoubleReplacing;
    FEffect->setParameter =
        FUseObjectField ? &TVstEntries::SetParameter<true> : &TVstEntries::SetParameter<false>;
    FEffect->getParameter =
        FUseObjectField ? &TVstEntries::GetParameter<true> : &TVstEntries::GetParameter<false>;
}

TBasicVSTModule* TBasicVSTModule::FromEffect(AEffect* effect) noexcept
{
    return TVstEntries::ProcessingModule(effect);
}

std::intptr_t TBasicVSTModule::CloseInstance(TBasicVSTModule* module) noexcept
{
    if (module == nullptr)
        return 0;
    AEffect& effect = *module->FEffect;
    try
    {
        module->HostCallClose(0, 0, nullptr, 0.0f);
        module->BeforeClose();
    }
    catch (...)
    {
        TVstEntries::Report(module, "effClose");
    }
    effect.getParameter = &TVstEntries::ClosedGetParameter;
    effect.setParameter = &TVstEntries::ClosedSetParameter;
    effect.process = &TVstEntries::ClosedProcess;
    effect.processReplacing = &TVstEntries::ClosedProcess;
    effect.processDoubleReplacing = &TVstEntries::ClosedProcessDouble;
    effect.dispatcher = &TVstEntries::ClosedDispatcher;
    effect.user = nullptr;
    effect.object = nullptr;
    KeepClosedRecord(std::move(module->FEffect));
    try
    {
        std::unique_ptr<TBasicVSTModule> owned(module);
        owned.reset();
        return 1;
    }
    catch (...)
    {
        TVstEntries::Report(nullptr, "effClose");
        return 0;
    }
}

void TBasicVSTModule::ReportFailure(const char* where, const char* message) noexcept
{
    std::fprintf(stderr, "Tumblet: %s: %s\n", where ? where : "?", message ? message : "?");
}

void TBasicVSTModule::ConnectHost(audioMasterCallback audioMaster)
{
    FAudioMaster = audioMaster;
    if (CallHost(audioMasterVersion) == 0)
        throw EVstError("AudioMaster Error");

    char product[kHostStringBufferSize] = {};
    CallHost(audioMasterGetProductString, 0, 0, product);
    product[kHostStringBufferSize - 1] = 0;
    const std::size_t length = std::strlen(product);
    // These hosts reach the module through the record's object field.
    static constexpr const char* kObjectFieldHosts[] = {"energyXT", "Sound Forge Pro 10.0"};
    if (length > 0)
    {
        for (const char* host : kObjectFieldHosts)
        {
            if (std::strstr(host, product) != nullptr)
            {
                FUseObjectField = true;
                FEffect->object = this;
                FEffect->user = nullptr;
                FEffect->dispatcher = &TVstEntries::Dispatcher<true>;
                FEffect->setParameter = &TVstEntries::SetParameter<true>;
                FEffect->getParameter = &TVstEntries::GetParameter<true>;
                break;
            }
        }
    }
    FHostProductCache.clear();
    HostProduct();
}

std::intptr_t TBasicVSTModule::CallHost(std::int32_t opcode, std::int32_t index,
                                        std::intptr_t value, void* ptr, float opt) const noexcept
{
    if (FAudioMaster == nullptr)
        return 0;
    return FAudioMaster(FEffect.get(), opcode, index, value, ptr, opt);
}

std::string TBasicVSTModule::HostProduct()
{
    if (!FHostProductCache.empty() && FHostProductCache != "Unknown")
        return FHostProductCache;
    char buffer[kHostStringBufferSize] = {};
    std::string product = "Unknown";
    if (MasterGetProductString(buffer))
    {
        buffer[kHostStringBufferSize - 1] = 0;
        product = buffer;
        if (FTruncateHostStrings && product.size() > kVstMaxProductStrLen)
            product.resize(kVstMaxProductStrLen);
    }
    FHostProductCache = product;
    return product;
}

std::intptr_t TBasicVSTModule::Dispatch(std::int32_t opcode, std::int32_t index,
                                        std::intptr_t value, void* ptr, float opt)
{
    if (opcode < 0 || opcode >= kNumDispatcherOpcodes)
        return 0;
    std::intptr_t result = (this->*kHandlers[opcode])(index, value, ptr, opt);
    if (OnDispatcher)
        OnDispatcher(*this, opcode);
    return result;
}

void TBasicVSTModule::ProcessReplacing(float**, float**, std::int32_t) {}
void TBasicVSTModule::ProcessDoubleReplacing(double**, double**, std::int32_t) {}
void TBasicVSTModule::ProcessAccumulating(float**, float**, std::int32_t) {}
void TBasicVSTModule::HostSetParameter(std::int32_t, float) {}
float TBasicVSTModule::HostGetParameter(std::int32_t)
{
    return 0.0f;
}

// ---- Host queries ----------------------------------------------------------------------------

std::intptr_t TBasicVSTModule::MasterVersion() const noexcept
{
    std::intptr_t version = CallHost(audioMasterVersion);
    return version == 0 ? 1 : version;
}
std::intptr_t TBasicVSTModule::MasterCurrentId() const noexcept
{
    return CallHost(audioMasterCurrentId);
}
std::intptr_t TBasicVSTModule::MasterIdle() const noexcept
{
    return CallHost(audioMasterIdle);
}
bool TBasicVSTModule::MasterPinConnected(std::int32_t pin, bool isOutput) const noexcept
{
    return CallHost(audioMasterPinConnected, pin, isOutput ? 1 : 0) == 0;
}
void TBasicVSTModule::MasterWantMidi() const noexcept
{
    CallHost(audioMasterWantMidi, 0, 1);
}
VstTimeInfo* TBasicVSTModule::GetTimeInfo(std::int32_t mask) const noexcept
{
    return reinterpret_cast<VstTimeInfo*>(CallHost(audioMasterGetTime, 0, mask));
}
bool TBasicVSTModule::MasterProcessEvents(VstEvents* events) const noexcept
{
    return CallHost(audioMasterProcessEvents, 0, 0, events) == 1;
}
std::intptr_t TBasicVSTModule::MasterSetTime(VstTimeInfo* timeInfo,
                                             std::int32_t filter) const noexcept
{
    return CallHost(audioMasterSetTime, 0, filter, timeInfo);
}
std::intptr_t TBasicVSTModule::MasterTempoAt(std::int32_t samplePos) const noexcept
{
    return CallHost(audioMasterTempoAt, 0, samplePos);
}
std::intptr_t TBasicVSTModule::MasterGetNumAutomatableParameters() const noexcept
{
    return CallHost(audioMasterGetNumAutomatableParameters);
}
std::intptr_t TBasicVSTModule::MasterGetParameterQuantization() const noexcept
{
    return CallHost(audioMasterGetParameterQuantization);
}
void TBasicVSTModule::MasterAutomate(std::int32_t index, float value) const noexcept
{
    {
        std::lock_guard<std::mutex> lock(FReportsLock);
        if (FReportDeferDepth > 0 && FDeferredReports.size() < FDeferredReports.capacity())
        {
            FDeferredReports.push_back({index, value});
            return;
        }
    }
    CallHost(audioMasterAutomate, index, 0, nullptr, value);
}

TBasicVSTModule::TDeferHostReports::TDeferHostReports(TBasicVSTModule& module) : FModule(module)
{
    std::lock_guard<std::mutex> lock(FModule.FReportsLock);
    ++FModule.FReportDeferDepth;
}

TBasicVSTModule::TDeferHostReports::~TDeferHostReports()
{
    // A swap keeps the reserved room with the module and takes the reports out.
    std::vector<TAutomationReport> reports;
    try
    {
        reports.reserve(kDeferredReportRoom);
    }
    catch (...)
    {
    }
    {
        std::lock_guard<std::mutex> lock(FModule.FReportsLock);
        if (--FModule.FReportDeferDepth > 0)
            return;
        reports.swap(FModule.FDeferredReports);
    }
    for (const TAutomationReport& report : reports)
        FModule.CallHost(audioMasterAutomate, report.Index, 0, nullptr, report.Value);
}
bool TBasicVSTModule::MasterIOChanged() const noexcept
{
    return CallHost(audioMasterIOChanged) != 0;
}
bool TBasicVSTModule::MasterNeedIdle() const noexcept
{
    return CallHost(audioMasterNeedIdle) != 0;
}
bool TBasicVSTModule::MasterSizeWindow(std::int32_t width, std::int32_t height) const noexcept
{
    return CallHost(audioMasterSizeWindow, width, height) != 0;
}
std::intptr_t TBasicVSTModule::MasterGetInputLatency() const noexcept
{
    return CallHost(audioMasterGetInputLatency);
}
std::intptr_t TBasicVSTModule::MasterGetOutputLatency() const noexcept
{
    return CallHost(audioMasterGetOutputLatency);
}
std::intptr_t TBasicVSTModule::MasterGetPreviousPlug(std::int32_t pin) const noexcept
{
    return CallHost(audioMasterGetPreviousPlug, 0, pin);
}
std::intptr_t TBasicVSTModule::MasterGetNextPlug(std::int32_t pin) const noexcept
{
    return CallHost(audioMasterGetNextPlug, 0, pin);
}
std::intptr_t TBasicVSTModule::MasterWillReplaceOrAccumulate() const noexcept
{
    return CallHost(audioMasterWillReplaceOrAccumulate);
}
std::intptr_t TBasicVSTModule::MasterGetCurrentProcessLevel() const noexcept
{
    return CallHost(audioMasterGetCurrentProcessLevel);
}
std::intptr_t TBasicVSTModule::MasterGetAutomationState() const noexcept
{
    return CallHost(audioMasterGetAutomationState);
}
bool TBasicVSTModule::MasterOfflineStart(void* audioFiles, std::int32_t numFiles,
                                         std::int32_t numNewFiles) const noexcept
{
    return CallHost(audioMasterOfflineStart, numNewFiles, numFiles, audioFiles) != 0;
}
bool TBasicVSTModule::MasterOfflineRead(VstOfflineTask* task, std::int32_t option,
                                        bool readSource) const noexcept
{
    return CallHost(audioMasterOfflineRead, readSource ? 1 : 0, option, task) != 0;
}
bool TBasicVSTModule::MasterOfflineWrite(VstOfflineTask* task, std::int32_t option) const noexcept
{
    return CallHost(audioMasterOfflineWrite, 0, option, task) != 0;
}
std::intptr_t TBasicVSTModule::MasterOfflineGetCurrentPass() const noexcept
{
    return CallHost(audioMasterOfflineGetCurrentPass);
}
std::intptr_t TBasicVSTModule::MasterOfflineGetCurrentMetaPass() const noexcept
{
    return CallHost(audioMasterOfflineGetCurrentMetaPass);
}
std::intptr_t TBasicVSTModule::MasterSetOutputSampleRate(float sampleRate) const noexcept
{
    return CallHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, sampleRate);
}
std::intptr_t TBasicVSTModule::MasterGetOutputSpeakerArrangement() const noexcept
{
    return CallHost(audioMasterGetOutputSpeakerArrangement);
}
std::intptr_t TBasicVSTModule::MasterGetInputSpeakerArrangement() const noexcept
{
    return CallHost(audioMasterGetInputSpeakerArrangement);
}
bool TBasicVSTModule::MasterGetVendorString(char* buffer) const noexcept
{
    return CallHost(audioMasterGetVendorString, 0, 0, buffer) != 0;
}
bool TBasicVSTModule::MasterGetProductString(char* buffer) const noexcept
{
    return CallHost(audioMasterGetProductString, 0, 0, buffer) != 0;
}
std::intptr_t TBasicVSTModule::MasterGetVendorVersion() const noexcept
{
    return CallHost(audioMasterGetVendorVersion);
}
std::intptr_t TBasicVSTModule::MasterVendorSpecific(std::int32_t index, std::intptr_t value,
                                                    void* ptr, float opt) const noexcept
{
    return CallHost(audioMasterVendorSpecific, index, value, ptr, opt);
}
std::int32_t TBasicVSTModule::GetCanHostDo(const char* text) const noexcept
{
    return static_cast<std::int32_t>(CallHost(audioMasterCanDo, 0, 0, const_cast<char*>(text)));
}
std::intptr_t TBasicVSTModule::MasterGetLanguage() const noexcept
{
    return CallHost(audioMasterGetLanguage);
}
std::intptr_t TBasicVSTModule::MasterOpenWindow(void* window) const noexcept
{
    return CallHost(audioMasterOpenWindow, 0, 0, window);
}
bool TBasicVSTModule::MasterCloseWindow(void* window) const noexcept
{
    return CallHost(audioMasterCloseWindow, 0, 0, window) != 0;
}
std::intptr_t TBasicVSTModule::MasterGetDirectory() const noexcept
{
    return CallHost(audioMasterGetDirectory);
}
bool TBasicVSTModule::MasterUpdateDisplay() const noexcept
{
    return CallHost(audioMasterUpdateDisplay) != 0;
}
bool TBasicVSTModule::MasterBeginEdit(std::int32_t index) const noexcept
{
    return CallHost(audioMasterBeginEdit, index) != 0;
}
bool TBasicVSTModule::MasterEndEdit(std::int32_t index) const noexcept
{
    return CallHost(audioMasterEndEdit, index) != 0;
}
bool TBasicVSTModule::MasterOpenFileSelector(void* fileSelect) const noexcept
{
    return CallHost(audioMasterOpenFileSelector, 0, 0, fileSelect) != 0;
}

} // namespace tumblet
