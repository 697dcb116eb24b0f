// The smallest honest VST 2.4 MIDI plug-in: it clears its outputs and asks the host for time
// info each block, nothing else. The benchmarks measure Tumblet against it.

#include "support/TestEffect.h"

#include <algorithm>
#include <cstring>

using namespace tumblet;

namespace
{

struct TNullPlugin
{
    AEffect Effect{};
    audioMasterCallback Host = nullptr;
};

TNullPlugin* Instance(AEffect* effect)
{
    return effect != nullptr ? static_cast<TNullPlugin*>(effect->object) : nullptr;
}

std::intptr_t Dispatcher(AEffect* effect, std::int32_t opcode, std::int32_t, std::intptr_t, void*,
                         float)
{
    if (opcode == effClose)
    {
        delete Instance(effect);
        return 1;
    }
    if (opcode == effGetVstVersion)
        return kVstVersion;
    if (opcode == effProcessEvents)
        return 1;
    return 0;
}

void ProcessReplacing(AEffect* effect, float**, float** outputs, std::int32_t frames)
{
    TNullPlugin* plugin = Instance(effect);
    for (int c = 0; c < 2; ++c)
        std::fill(outputs[c], outputs[c] + frames, 0.0f);
    plugin->Host(effect, audioMasterGetTime, 0, 0x3602, nullptr, 0.0f);
}

void SetParameter(AEffect*, std::int32_t, float) {}
float GetParameter(AEffect*, std::int32_t)
{
    return 0.0f;
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host)
{
    auto* plugin = new TNullPlugin;
    plugin->Host = host;
    AEffect& e = tumblet::test::InitTestEffect(
        plugin->Effect, plugin, FourCC('n', 'u', 'l', 'l'),
        {&Dispatcher, &ProcessReplacing, &ProcessReplacing, &SetParameter, &GetParameter});
    return &e;
}
