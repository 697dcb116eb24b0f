#include "support/TestHost.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>

namespace tumblet::test
{

namespace
{

std::mutex& RegistryLock()
{
    static std::mutex lock;
    return lock;
}

std::map<AEffect*, TTestHost*>& Registry()
{
    static std::map<AEffect*, TTestHost*> registry;
    return registry;
}

// The host whose Load is running: the plug-in may call back before it has a record to give.
thread_local TTestHost* tCreating = nullptr;

} // namespace

TTestHost::TTestHost()
{
    SetStopped();
}

TTestHost::~TTestHost()
{
    if (FEffect != nullptr)
        Close();
}

std::string TTestHost::PluginPath()
{
    if (const char* path = std::getenv("TUMBLET_PLUGIN"))
        return path;
    return "build/Tumblet.so";
}

void* TTestHost::Library(std::string* error)
{
    static std::string loadError;
    static void* handle = []
    {
        void* h = dlopen(PluginPath().c_str(), RTLD_NOW | RTLD_LOCAL);
        if (h == nullptr)
            loadError = dlerror();
        return h;
    }();
    if (error != nullptr)
        *error = loadError;
    return handle;
}

AEffect* TTestHost::CallEntry(const char* symbol, audioMasterCallback callback)
{
    void* library = Library();
    if (library == nullptr)
        throw std::runtime_error("plug-in not loadable: " + PluginPath());
    using TEntry = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<TEntry>(dlsym(library, symbol));
    if (entry == nullptr)
        throw std::runtime_error(std::string("no export ") + symbol);
    return entry(callback);
}

AEffect* TTestHost::Load(const char* symbol)
{
    return Register([symbol] { return CallEntry(symbol, &TTestHost::Callback); });
}

AEffect* TTestHost::LoadWith(TEntry entry)
{
    return Register([entry] { return entry(&TTestHost::Callback); });
}

AEffect* TTestHost::Register(const std::function<AEffect*()>& create)
{
    tCreating = this;
    AEffect* effect = nullptr;
    try
    {
        effect = create();
    }
    catch (...)
    {
        tCreating = nullptr;
        throw;
    }
    tCreating = nullptr;
    FEffect = effect;
    if (effect != nullptr)
    {
        std::lock_guard<std::mutex> lock(RegistryLock());
        Registry()[effect] = this;
    }
    return effect;
}

AEffect* TTestHost::LoadAndOpen()
{
    return Opened(Load());
}

AEffect* TTestHost::LoadAndOpenWith(TEntry entry)
{
    return Opened(LoadWith(entry));
}

AEffect* TTestHost::Opened(AEffect* effect)
{
    if (effect == nullptr)
        return nullptr;
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(SampleRateAnswer));
    Dispatch(effSetBlockSize, 0, BlockSizeAnswer);
    Dispatch(effMainsChanged, 0, 1);
    return FEffect;
}

void TTestHost::Close()
{
    if (FEffect == nullptr)
        return;
    AEffect* effect = FEffect;
    FEffect = nullptr;
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    std::lock_guard<std::mutex> lock(RegistryLock());
    Registry().erase(effect);
}

std::intptr_t TTestHost::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                  void* ptr, float opt)
{
    return FEffect->dispatcher(FEffect, opcode, index, value, ptr, opt);
}

std::string TTestHost::DispatchText(std::int32_t opcode, std::int32_t index)
{
    char buffer[256] = {};
    Dispatch(opcode, index, 0, buffer);
    return buffer;
}

void TTestHost::SendEvents(const std::vector<TInEvent>& events)
{
    FInRecords.assign(events.size(), VstMidiEvent{});
    const std::size_t slots = std::max<std::size_t>(events.size(), 2);
    FInBlock.assign(offsetof(VstEvents, events) + slots * sizeof(VstEvent*), 0);
    auto* block = reinterpret_cast<VstEvents*>(FInBlock.data());
    block->numEvents = static_cast<std::int32_t>(events.size());
    for (std::size_t i = 0; i < events.size(); ++i)
    {
        VstMidiEvent& record = FInRecords[i];
        record.type = events[i].Type;
        record.byteSize = sizeof(VstMidiEvent);
        record.deltaFrames = events[i].DeltaFrames;
        record.midiData[0] = static_cast<char>(events[i].Status);
        record.midiData[1] = static_cast<char>(events[i].Data1);
        record.midiData[2] = static_cast<char>(events[i].Data2);
        EventList(*block)[i] = reinterpret_cast<VstEvent*>(&record);
    }
    Dispatch(effProcessEvents, 0, 0, block);
}

void TTestHost::Process(std::int32_t frames)
{
    Outputs.assign(
        2, std::vector<float>(static_cast<std::size_t>(std::max(frames, 1)), kOutputMarker));
    float* outputs[2] = {Outputs[0].data(), Outputs[1].data()};
    const std::size_t before = Flushes.size();
    FEffect->processReplacing(FEffect, nullptr, outputs, frames);
    for (std::size_t f = before; f < Flushes.size(); ++f)
        for (const TOutEvent& event : Flushes[f])
            Timeline.push_back({ProcessedSamples + event.DeltaFrames, event});
    ProcessedSamples += std::max(frames, 0);
}

void TTestHost::ProcessAndAdvance(std::int32_t frames)
{
    Process(frames);
    if ((TimeInfo.flags & kVstTransportPlaying) != 0)
    {
        TimeInfo.samplePos += frames;
        TimeInfo.ppqPos += frames / TimeInfo.sampleRate * TimeInfo.tempo / 60.0;
    }
}

void TTestHost::SetPlaying(double tempo, double sampleRate)
{
    TimeInfo = VstTimeInfo{};
    TimeInfo.sampleRate = sampleRate;
    TimeInfo.tempo = tempo;
    TimeInfo.timeSigNumerator = 4;
    TimeInfo.timeSigDenominator = 4;
    TimeInfo.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid;
}

void TTestHost::SetStopped()
{
    const double tempo = TimeInfo.tempo > 0 ? TimeInfo.tempo : 120.0;
    const double rate = TimeInfo.sampleRate > 0 ? TimeInfo.sampleRate : 44100.0;
    SetPlaying(tempo, rate);
    TimeInfo.flags &= ~kVstTransportPlaying;
}

std::size_t TTestHost::CountCalls(std::int32_t opcode) const
{
    std::size_t count = 0;
    for (const auto& call : Calls)
        count += call.Opcode == opcode ? 1 : 0;
    return count;
}

void TTestHost::ClearRecords()
{
    Calls.clear();
    Flushes.clear();
    Timeline.clear();
    RequestedTimeMasks.clear();
}

std::intptr_t TTestHost::Callback(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                  std::intptr_t value, void* ptr, float opt)
{
    TTestHost* host = tCreating;
    {
        std::lock_guard<std::mutex> lock(RegistryLock());
        auto found = Registry().find(effect);
        if (found != Registry().end())
            host = found->second;
    }
    if (host == nullptr)
        return 0;
    THostCall call{opcode, index, value, opt, effect == nullptr};
    if (host->Recording)
        host->Calls.push_back(call);
    return host->Answer(call, ptr);
}

static void CopyText(void* ptr, const std::string& text)
{
    if (ptr != nullptr)
        std::strncpy(static_cast<char*>(ptr), text.c_str(), 63);
}

std::intptr_t TTestHost::Answer(const THostCall& call, void* ptr)
{
    switch (call.Opcode)
    {
    case audioMasterVersion:
        return VersionAnswer;
    case audioMasterGetProductString:
        if (!ProductStringAnswer)
            return 0;
        CopyText(ptr, ProductString);
        return 1;
    case audioMasterGetVendorString:
        CopyText(ptr, VendorString);
        return 1;
    case audioMasterGetSampleRate:
        return SampleRateAnswer;
    case audioMasterGetBlockSize:
        return BlockSizeAnswer;
    case audioMasterGetTime:
        if (Recording)
            RequestedTimeMasks.push_back(static_cast<std::int32_t>(call.Value));
        return TimeInfoAvailable ? reinterpret_cast<std::intptr_t>(&TimeInfo) : 0;
    case audioMasterCanDo:
        // By default a host that can do none of the optional things.
        return ptr != nullptr && std::find(CanDos.begin(), CanDos.end(),
                                           static_cast<const char*>(ptr)) != CanDos.end()
                   ? 1
                   : 0;
    case audioMasterProcessEvents:
    {
        auto* block = static_cast<VstEvents*>(ptr);
        EventCount += block != nullptr ? static_cast<std::size_t>(block->numEvents) : 0;
        if (!Recording && !OnEvent)
            return ProcessEventsAnswer;
        std::vector<TOutEvent> events;
        if (Recording && block != nullptr)
            events.reserve(static_cast<std::size_t>(std::max(block->numEvents, 0)));
        for (std::int32_t i = 0; block != nullptr && i < block->numEvents; ++i)
        {
            const auto* e = reinterpret_cast<const VstMidiEvent*>(EventList(*block)[i]);
            TOutEvent out{};
            out.Type = e->type;
            out.ByteSize = e->byteSize;
            out.DeltaFrames = e->deltaFrames;
            out.Flags = e->flags;
            std::memcpy(out.Data, e->midiData, 4);
            out.NoteLength = e->noteLength;
            out.NoteOffset = e->noteOffset;
            out.Detune = static_cast<std::int8_t>(e->detune);
            out.NoteOffVelocity = static_cast<std::uint8_t>(e->noteOffVelocity);
            if (OnEvent)
                OnEvent(out);
            if (Recording)
                events.push_back(out);
        }
        if (Recording)
            Flushes.push_back(std::move(events));
        return ProcessEventsAnswer;
    }
    default:
        return OnOtherCall ? OnOtherCall(call, ptr) : 0;
    }
}

} // namespace tumblet::test
