// Per-block cost of Tumblet against a null plug-in in the same process, plus chunk transfer
// and instance creation. Both plug-ins are driven only through the binary interface.

#include "vst2/VstInterface.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace tumblet;

namespace
{

VstTimeInfo gTime{};
/// How long the host's automation callback takes, in microseconds (a busy UI thread, say).
std::atomic<int> gAutomateMicroseconds{0};

std::intptr_t Host(AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr, float)
{
    switch (opcode)
    {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetProductString:
        std::strcpy(static_cast<char*>(ptr), "tumblet-bench");
        return 1;
    case audioMasterGetTime:
        return reinterpret_cast<std::intptr_t>(&gTime);
    case audioMasterProcessEvents:
        return 1;
    case audioMasterAutomate:
        if (gAutomateMicroseconds > 0)
            std::this_thread::sleep_for(std::chrono::microseconds(gAutomateMicroseconds.load()));
        return 0;
    default:
        return 0;
    }
}

using TEntry = AEffect* (*)(audioMasterCallback);

TEntry Entry(const char* path)
{
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
    {
        std::fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
        std::exit(1);
    }
    return reinterpret_cast<TEntry>(dlsym(library, "VSTPluginMain"));
}

AEffect* Open(const char* path)
{
    AEffect* effect = Entry(path)(&Host);
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    return effect;
}

void StartTransport()
{
    gTime = VstTimeInfo{};
    gTime.sampleRate = 44100.0;
    gTime.tempo = 120.0;
    gTime.timeSigNumerator = 4;
    gTime.timeSigDenominator = 4;
    gTime.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid;
}

void Advance(int frames)
{
    gTime.samplePos += frames;
    gTime.ppqPos += frames / 44100.0 * 2.0;
    // Keep the song short so positions stay in a realistic range: a host loop of 64 bars.
    if (gTime.ppqPos >= 256.0)
    {
        gTime.ppqPos = 0.0;
        gTime.samplePos = 0.0;
    }
}

struct TNoteBlock
{
    std::int32_t numEvents;
    std::intptr_t reserved;
    VstEvent* events[16];
};

void HoldNotes(AEffect* effect, int count)
{
    static VstMidiEvent records[16];
    TNoteBlock block{};
    block.numEvents = count;
    for (int i = 0; i < count; ++i)
    {
        records[i] = VstMidiEvent{};
        records[i].type = kVstMidiType;
        records[i].byteSize = sizeof(VstMidiEvent);
        records[i].midiData[0] = static_cast<char>(0x90);
        records[i].midiData[1] = static_cast<char>(48 + i * 2);
        records[i].midiData[2] = 100;
        block.events[i] = reinterpret_cast<VstEvent*>(&records[i]);
    }
    effect->dispatcher(effect, effProcessEvents, 0, 0, &block, 0.0f);
}

// Rate tags: 3 is 1/16, 0 is 1/128 (normalised tag / 10).
void SetRateTag(AEffect* effect, int tag)
{
    effect->setParameter(effect, 0, static_cast<float>(tag) / 10.0f);
}

void ProcessBlocks(benchmark::State& state, const char* path, bool isTumblet)
{
    const int frames = static_cast<int>(state.range(0));
    const int notes = static_cast<int>(state.range(1));
    const int rateTag = static_cast<int>(state.range(2));
    StartTransport();
    AEffect* effect = Open(path);
    if (isTumblet)
        SetRateTag(effect, rateTag);
    HoldNotes(effect, notes);
    std::vector<float> left(static_cast<std::size_t>(frames)), right(left.size());
    float* outputs[2] = {left.data(), right.data()};
    for (auto _ : state)
    {
        effect->processReplacing(effect, nullptr, outputs, frames);
        Advance(frames);
    }
    state.SetItemsProcessed(state.iterations());
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

void BM_TumbletBlock(benchmark::State& state)
{
    ProcessBlocks(state, TUMBLET_SO, true);
}
void BM_NullPluginBlock(benchmark::State& state)
{
    ProcessBlocks(state, NULL_SO, false);
}

// Block size, held notes, rate tag (3 = 1/16, 0 = 1/128).
void BlockArguments(benchmark::internal::Benchmark* b)
{
    for (int frames : {64, 512})
        for (int notes : {3, 16})
            for (int tag : {3, 0})
                b->Args({frames, notes, tag});
}
BENCHMARK(BM_TumbletBlock)->Apply(BlockArguments);
BENCHMARK(BM_NullPluginBlock)->Apply(BlockArguments);

void BM_ChunkRoundTrip(benchmark::State& state)
{
    AEffect* effect = Open(TUMBLET_SO);
    for (auto _ : state)
    {
        void* data = nullptr;
        const std::intptr_t size = effect->dispatcher(effect, effGetChunk, 1, 0, &data, 0.0f);
        std::vector<char> copy(static_cast<const char*>(data),
                               static_cast<const char*>(data) + size);
        effect->dispatcher(effect, effSetChunk, 1, size, copy.data(), 0.0f);
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(BM_ChunkRoundTrip);

// The host loads the plug-in's own state over and over on one thread, its automation callback
// taking the given microseconds per report, while its audio thread processes 64-sample blocks
// with a chord held, one every half millisecond. Reported: the longest processing call, in
// microseconds.
void BM_ProcessingDuringStateLoads(benchmark::State& state)
{
    AEffect* effect = Open(TUMBLET_SO);
    StartTransport();
    HoldNotes(effect, 3);
    void* data = nullptr;
    const std::intptr_t size = effect->dispatcher(effect, effGetChunk, 1, 0, &data, 0.0f);
    const std::vector<char> state0(static_cast<const char*>(data),
                                   static_cast<const char*>(data) + size);
    gAutomateMicroseconds = static_cast<int>(state.range(0));
    std::atomic<bool> stop{false};
    std::thread loader(
        [&]
        {
            std::vector<char> copy;
            while (!stop)
            {
                copy = state0;
                effect->dispatcher(effect, effSetChunk, 1, size, copy.data(), 0.0f);
            }
        });
    std::vector<float> left(64), right(64);
    float* outputs[2] = {left.data(), right.data()};
    double longest = 0.0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        effect->processReplacing(effect, nullptr, outputs, 64);
        longest = std::max(longest, std::chrono::duration<double, std::micro>(
                                        std::chrono::steady_clock::now() - start)
                                        .count());
        Advance(64);
        // Blocks come at about the pace of a real audio thread.
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    stop = true;
    loader.join();
    gAutomateMicroseconds = 0;
    state.counters["longest_us"] = longest;
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(BM_ProcessingDuringStateLoads)->Arg(0)->Arg(200)->Iterations(2000)->UseRealTime();

void BM_CreateAndClose(benchmark::State& state)
{
    TEntry entry = Entry(TUMBLET_SO);
    for (auto _ : state)
    {
        AEffect* effect = entry(&Host);
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
}
BENCHMARK(BM_CreateAndClose)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
