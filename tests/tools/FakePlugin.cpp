// A stand-in MIDI plug-in for testing tumblet-render: it records what the host tells it (host
// queries, the time info of every block, the events with their offsets) into the file named by
// FAKE_PLUGIN_LOG, and echoes every MIDI event back at the offset it arrived with.

#include "support/TestEffect.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace tumblet;

namespace
{

constexpr int kParamCount = 3;
constexpr int kMaxEvents = 1024;
constexpr std::int32_t kTimeMask = kVstPpqPosValid | kVstTempoValid | kVstBarsValid |
                                   kVstCyclePosValid | kVstTimeSigValid | kVstTransportPlaying;
const char* const kModes[] = {"Alpha", "Beta", "Gamma"};

struct TFake
{
    AEffect Effect{};
    audioMasterCallback Host = nullptr;
    float Params[kParamCount] = {0.0f, 0.5f, 0.25f};
    std::string Log;
    std::vector<unsigned char> Chunk;
    VstMidiEvent Out[kMaxEvents]{};
    std::uintptr_t OutBlock[2 + kMaxEvents]{};
    int OutCount = 0;

    std::intptr_t Call(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                       void* ptr = nullptr)
    {
        return Host(&Effect, opcode, index, value, ptr, 0.0f);
    }
    void Line(const char* format, ...) __attribute__((format(printf, 2, 3)));
};

void TFake::Line(const char* format, ...)
{
    // Without a log file the fake allocates nothing while processing.
    if (std::getenv("FAKE_PLUGIN_LOG") == nullptr)
        return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Log += text;
    Log += '\n';
}

TFake* Self(AEffect* effect)
{
    return static_cast<TFake*>(effect->object);
}

void Display(TFake* fake, int index, char* text)
{
    const float v = fake->Params[index];
    if (index == 0)
        std::strcpy(text, kModes[static_cast<int>(std::lround(v * 2))]);
    else if (index == 1)
    {
        const long level = std::lround(-12 + 24 * v);
        // Negative levels are written with U+2212, as Tumblet writes them.
        std::snprintf(text, 64, "%s%ld", level < 0 ? "\xE2\x88\x92" : "", std::labs(level));
    }
    else
        std::snprintf(text, 64, "%.2f", static_cast<double>(v));
}

void LogHost(TFake* fake)
{
    char product[128] = {};
    char vendor[128] = {};
    fake->Call(audioMasterGetProductString, 0, 0, product);
    fake->Call(audioMasterGetVendorString, 0, 0, vendor);
    fake->Line("host version=%ld product=%s vendor=%s rate=%ld block=%ld timeinfo=%ld "
               "sizewindow=%ld",
               static_cast<long>(fake->Call(audioMasterVersion)), product, vendor,
               static_cast<long>(fake->Call(audioMasterGetSampleRate)),
               static_cast<long>(fake->Call(audioMasterGetBlockSize)),
               static_cast<long>(fake->Call(audioMasterCanDo, 0, 0, (void*)"sendVstTimeInfo")),
               static_cast<long>(fake->Call(audioMasterCanDo, 0, 0, (void*)"sizeWindow")));
}

void ProcessEvents(TFake* fake, const VstEvents* events)
{
    for (int i = 0; i < events->numEvents; ++i)
    {
        const auto* event = reinterpret_cast<const VstMidiEvent*>(EventList(*events)[i]);
        if (event->type != kVstMidiType)
            continue;
        const auto* data = reinterpret_cast<const unsigned char*>(event->midiData);
        fake->Line("event delta=%d data=%02x %02x %02x", event->deltaFrames, data[0], data[1],
                   data[2]);
        if (fake->OutCount < kMaxEvents)
            fake->Out[fake->OutCount++] = *event;
    }
}

std::intptr_t GetChunk(TFake* fake, void* ptr)
{
    const std::uint32_t payload = 4 + sizeof fake->Params;
    fake->Chunk.assign(
        {'m', 'm', 's', 't', static_cast<unsigned char>(payload), 0, 0, 0, 'T', 'P', 'F', '0'});
    const auto* bytes = reinterpret_cast<const unsigned char*>(fake->Params);
    fake->Chunk.insert(fake->Chunk.end(), bytes, bytes + sizeof fake->Params);
    *static_cast<void**>(ptr) = fake->Chunk.data();
    return static_cast<std::intptr_t>(fake->Chunk.size());
}

std::intptr_t SetChunk(TFake* fake, std::intptr_t size, const void* ptr)
{
    const auto* bytes = static_cast<const unsigned char*>(ptr);
    // Refuses anything but its own layout, as a plug-in checking its state would.
    if (size != static_cast<std::intptr_t>(12 + sizeof fake->Params) ||
        std::memcmp(bytes + 8, "TPF0", 4) != 0)
        return 0;
    std::memcpy(fake->Params, bytes + 12, sizeof fake->Params);
    fake->Line("chunk loaded");
    return 1;
}

std::intptr_t Dispatcher(AEffect* effect, std::int32_t opcode, std::int32_t index,
                         std::intptr_t value, void* ptr, float opt)
{
    TFake* fake = Self(effect);
    switch (opcode)
    {
    case effOpen:
        LogHost(fake);
        return 0;
    case effClose:
        if (const char* path = std::getenv("FAKE_PLUGIN_LOG"))
            if (FILE* file = std::fopen(path, "w"))
            {
                std::fputs(fake->Log.c_str(), file);
                std::fclose(file);
            }
        delete fake;
        return 0;
    case effSetSampleRate:
        fake->Line("samplerate %g", static_cast<double>(opt));
        return 0;
    case effSetBlockSize:
        fake->Line("blocksize %ld", static_cast<long>(value));
        return 0;
    case effMainsChanged:
        fake->Line("mains %ld", static_cast<long>(value));
        return 0;
    case effGetParamName:
        std::strcpy(static_cast<char*>(ptr), index == 0 ? "Mode" : index == 1 ? "Level" : "Amount");
        return 0;
    case effGetParamLabel:
        std::strcpy(static_cast<char*>(ptr), index == 1 ? "dB" : "");
        return 0;
    case effGetParamDisplay:
        Display(fake, index, static_cast<char*>(ptr));
        return 0;
    case effProcessEvents:
        ProcessEvents(fake, static_cast<const VstEvents*>(ptr));
        return 1;
    case effGetChunk:
        return GetChunk(fake, ptr);
    case effSetChunk:
        return SetChunk(fake, value, ptr);
    case effCanDo:
        return std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0 ||
                       std::strcmp(static_cast<const char*>(ptr), "sendVstMidiEvent") == 0
                   ? 1
                   : 0;
    case effGetVstVersion:
        return kVstVersion;
    default:
        return 0;
    }
}

void ProcessReplacing(AEffect* effect, float**, float** outputs, std::int32_t frames)
{
    TFake* fake = Self(effect);
    for (int channel = 0; channel < 2; ++channel)
        std::memset(outputs[channel], 0, sizeof(float) * static_cast<std::size_t>(frames));
    const auto* time =
        reinterpret_cast<const VstTimeInfo*>(fake->Call(audioMasterGetTime, 0, kTimeMask));
    if (time != nullptr)
        fake->Line("block frames=%d pos=%.1f ppq=%.9f tempo=%g bar=%.9f cycle=%g:%g sig=%d/%d "
                   "flags=0x%x rate=%g",
                   frames, time->samplePos, time->ppqPos, time->tempo, time->barStartPos,
                   time->cycleStartPos, time->cycleEndPos, time->timeSigNumerator,
                   time->timeSigDenominator, static_cast<unsigned>(time->flags), time->sampleRate);
    if (fake->OutCount == 0)
        return;
    auto* block = reinterpret_cast<VstEvents*>(fake->OutBlock);
    block->numEvents = fake->OutCount;
    block->reserved = 0;
    for (int i = 0; i < fake->OutCount; ++i)
        EventList(*block)[i] = reinterpret_cast<VstEvent*>(&fake->Out[i]);
    fake->Call(audioMasterProcessEvents, 0, 0, block);
    fake->OutCount = 0;
}

void Process(AEffect* effect, float** inputs, float** outputs, std::int32_t frames)
{
    ProcessReplacing(effect, inputs, outputs, frames);
}

void SetParameter(AEffect* effect, std::int32_t index, float value)
{
    if (index >= 0 && index < kParamCount)
        Self(effect)->Params[index] = value;
}

float GetParameter(AEffect* effect, std::int32_t index)
{
    return index >= 0 && index < kParamCount ? Self(effect)->Params[index] : 0.0f;
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host)
{
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) < kVstVersion)
        return nullptr;
    if (std::getenv("FAKE_PLUGIN_REFUSE") != nullptr)
        return nullptr;
    auto* fake = new TFake;
    fake->Host = host;
    AEffect& effect = test::InitTestEffect(
        fake->Effect, fake, FourCC('f', 'a', 'k', 'e'),
        {&Dispatcher, &Process, &ProcessReplacing, &SetParameter, &GetParameter});
    effect.numPrograms = 1;
    effect.numParams = kParamCount;
    effect.flags |= effFlagsProgramChunks;
    effect.version = 1;
    return &effect;
}
