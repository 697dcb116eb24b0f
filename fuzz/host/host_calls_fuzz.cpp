// Interprets its input as a script of host calls on one instance and checks, on every run,
// that nothing crashes, that every event sent is a well-formed channel message inside its block
// and in time order, that the note-ons and note-offs of each key alternate, and that stopping
// the transport leaves no note on.

#include "plugin/Plugin.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

using namespace tumblet;

namespace
{

struct TRun
{
    VstTimeInfo Time{};
    bool TimeAvailable = true;
    std::int32_t BlockFrames = 0;
    std::map<int, bool> Open; // channel * 128 + pitch -> sounding
};

TRun* gRun = nullptr;

[[noreturn]] void Fail(const char* what, const VstMidiEvent& e)
{
    std::fprintf(stderr, "invariant broken: %s (status %02X %02X %02X, delta %d, block %d)\n", what,
                 static_cast<unsigned char>(e.midiData[0]),
                 static_cast<unsigned char>(e.midiData[1]),
                 static_cast<unsigned char>(e.midiData[2]), e.deltaFrames, gRun->BlockFrames);
    std::abort();
}

void CheckEvents(const VstEvents& events)
{
    std::int32_t previous = 0;
    for (std::int32_t i = 0; i < events.numEvents; ++i)
    {
        const auto& e = *reinterpret_cast<const VstMidiEvent*>(EventList(events)[i]);
        const auto status = static_cast<unsigned char>(e.midiData[0]);
        const auto d1 = static_cast<unsigned char>(e.midiData[1]);
        const auto d2 = static_cast<unsigned char>(e.midiData[2]);
        if (e.type != kVstMidiType || (status & 0x80) == 0 || status >= 0xF0 || d1 >= 128 ||
            d2 >= 128)
            Fail("malformed channel message", e);
        if (e.deltaFrames < 0 || e.deltaFrames >= gRun->BlockFrames)
            Fail("event outside its block", e);
        if (e.deltaFrames < previous)
            Fail("event before its predecessor", e);
        previous = e.deltaFrames;
        const int kind = status & 0xF0;
        if (kind != 0x80 && kind != 0x90)
            continue;
        const int key = (status & 0x0F) * 128 + d1;
        const bool on = kind == 0x90 && d2 > 0;
        if (on && gRun->Open[key])
            Fail("second note-on before the note-off", e);
        if (!on && !gRun->Open[key])
            Fail("note-off without a note-on", e);
        gRun->Open[key] = on;
    }
}

std::intptr_t Host(AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr, float)
{
    switch (opcode)
    {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetProductString:
        std::strcpy(static_cast<char*>(ptr), "tumblet-fuzz");
        return 1;
    case audioMasterGetTime:
        return gRun->TimeAvailable ? reinterpret_cast<std::intptr_t>(&gRun->Time) : 0;
    case audioMasterProcessEvents:
        CheckEvents(*static_cast<VstEvents*>(ptr));
        return 1;
    default:
        return 0;
    }
}

double PickDouble(FuzzedDataProvider& data)
{
    switch (data.ConsumeIntegralInRange<int>(0, 7))
    {
    case 0:
        return std::numeric_limits<double>::quiet_NaN();
    case 1:
        return std::numeric_limits<double>::infinity();
    case 2:
        return -std::numeric_limits<double>::infinity();
    case 3:
        return 0.0;
    case 4:
        return -data.ConsumeFloatingPointInRange<double>(0.0, 1e6);
    default:
        return data.ConsumeFloatingPointInRange<double>(0.0, 1e7);
    }
}

void SendEvents(AEffect* effect, FuzzedDataProvider& data)
{
    const int count = data.ConsumeIntegralInRange<int>(0, 24);
    std::vector<VstMidiEvent> records(static_cast<std::size_t>(count));
    std::vector<char> memory(offsetof(VstEvents, events) + sizeof(VstEvent*) * (count + 2));
    auto* block = reinterpret_cast<VstEvents*>(memory.data());
    block->numEvents = count;
    for (int i = 0; i < count; ++i)
    {
        VstMidiEvent& r = records[static_cast<std::size_t>(i)];
        r.type = data.ConsumeIntegralInRange<int>(0, 9) == 0 ? data.ConsumeIntegral<std::int32_t>()
                                                             : kVstMidiType;
        r.byteSize = sizeof(VstMidiEvent);
        r.deltaFrames = data.ConsumeIntegralInRange<std::int32_t>(-10, 9000);
        r.midiData[0] = static_cast<char>(data.ConsumeIntegral<std::uint8_t>());
        r.midiData[1] = static_cast<char>(data.ConsumeIntegral<std::uint8_t>());
        r.midiData[2] = static_cast<char>(data.ConsumeIntegral<std::uint8_t>());
        EventList(*block)[i] = reinterpret_cast<VstEvent*>(&r);
    }
    effect->dispatcher(effect, effProcessEvents, 0, 0, block, 0.0f);
}

void Process(AEffect* effect, std::int32_t frames)
{
    static std::vector<float> left(8192), right(8192);
    float* outputs[2] = {left.data(), right.data()};
    gRun->BlockFrames = frames;
    effect->processReplacing(effect, nullptr, outputs, frames);
    if (std::isfinite(gRun->Time.samplePos) && std::isfinite(gRun->Time.ppqPos) &&
        gRun->Time.tempo > 0 && std::isfinite(gRun->Time.tempo))
    {
        gRun->Time.samplePos += frames;
        gRun->Time.ppqPos += frames / 44100.0 * gRun->Time.tempo / 60.0;
    }
}

void ChangeTime(FuzzedDataProvider& data)
{
    VstTimeInfo& t = gRun->Time;
    switch (data.ConsumeIntegralInRange<int>(0, 7))
    {
    case 0:
        t.tempo = PickDouble(data);
        break;
    case 1:
        t.ppqPos = PickDouble(data);
        t.samplePos = PickDouble(data);
        break;
    case 2:
        t.flags ^= kVstTransportPlaying;
        break;
    case 3:
        t.flags |= kVstCyclePosValid;
        t.flags ^= kVstTransportCycleActive;
        t.cycleStartPos = PickDouble(data);
        t.cycleEndPos = PickDouble(data);
        break;
    case 4:
        t.flags |= kVstTimeSigValid;
        t.timeSigNumerator = data.ConsumeIntegralInRange<std::int32_t>(-2, 33);
        t.timeSigDenominator = data.ConsumeIntegralInRange<std::int32_t>(-2, 33);
        break;
    case 5:
        gRun->TimeAvailable = !gRun->TimeAvailable;
        break;
    case 6:
        t.ppqPos = 0.0;
        t.samplePos = 0.0;
        break;
    default:
        t.flags = data.ConsumeIntegral<std::int32_t>();
        break;
    }
}

void RunScript(AEffect* effect, FuzzedDataProvider& data)
{
    for (int step = 0; step < 256 && data.remaining_bytes() > 0; ++step)
    {
        switch (data.ConsumeIntegralInRange<int>(0, 9))
        {
        case 0:
            SendEvents(effect, data);
            break;
        case 1:
        case 2:
            Process(effect, data.ConsumeIntegralInRange<std::int32_t>(1, 8192));
            break;
        case 3:
            ChangeTime(data);
            break;
        case 4:
        {
            const std::int32_t index = data.ConsumeIntegralInRange<std::int32_t>(-2, 24);
            const float value = data.ConsumeBool() ? data.ConsumeFloatingPoint<float>()
                                                   : data.ConsumeProbability<float>();
            effect->setParameter(effect, index, value);
            break;
        }
        case 5:
        {
            std::vector<std::uint8_t> bytes =
                data.ConsumeBytes<std::uint8_t>(data.ConsumeIntegralInRange<std::size_t>(0, 600));
            effect->dispatcher(effect, effSetChunk, data.ConsumeBool() ? 1 : 0,
                               static_cast<std::intptr_t>(bytes.size()), bytes.data(), 0.0f);
            break;
        }
        case 6:
            effect->dispatcher(effect, effMainsChanged, 0, data.ConsumeBool() ? 1 : 0, nullptr,
                               0.0f);
            break;
        case 7:
            effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr,
                               static_cast<float>(PickDouble(data)));
            break;
        case 8:
            effect->dispatcher(effect, effSetBlockSize, 0,
                               data.ConsumeIntegralInRange<std::int32_t>(-1, 8192), nullptr, 0.0f);
            break;
        default:
        {
            char text[256];
            effect->dispatcher(effect, effGetParamDisplay,
                               data.ConsumeIntegralInRange<std::int32_t>(-1, 23), 0, text, 0.0f);
            break;
        }
        }
    }
}

void StartTime(VstTimeInfo& t)
{
    t = VstTimeInfo{};
    t.sampleRate = 44100.0;
    t.tempo = 120.0;
    t.timeSigNumerator = 4;
    t.timeSigDenominator = 4;
    t.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Settings and presets of the fuzzed instances live in a folder of their own.
    static char home[] = "/tmp/tumblet-fuzz-home-XXXXXX";
    if (mkdtemp(home) != nullptr)
        setenv("HOME", home, 1);
    unsetenv("XDG_CONFIG_HOME");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    TRun run;
    gRun = &run;
    StartTime(run.Time);
    AEffect* effect = CreateVstInstance(&Host, &TVSTPlugin::Create);
    if (effect == nullptr)
        std::abort();
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);

    FuzzedDataProvider data(bytes, size);
    RunScript(effect, data);

    // One block with a usable playing transport, then one stopped block: every note ends.
    run.TimeAvailable = true;
    StartTime(run.Time);
    run.Time.ppqPos = 1000.0;
    run.Time.samplePos = 1000.0 * 22050.0;
    Process(effect, 64);
    run.Time.flags &= ~kVstTransportPlaying;
    Process(effect, 64);
    for (const auto& [key, sounding] : run.Open)
    {
        if (sounding)
        {
            std::fprintf(stderr, "invariant broken: note %d on channel %d left on\n", key % 128,
                         key / 128);
            std::abort();
        }
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    gRun = nullptr;
    return 0;
}
