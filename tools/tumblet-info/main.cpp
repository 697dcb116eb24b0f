// tumblet-info: loads a VST 2.4 plug-in the way a host does and prints what a host sees of it.
//
//   tumblet-info [PLUGIN.so]

#include "PluginPath.h"
#include "vst2/VstInterface.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>

using namespace tumblet;

namespace
{

std::intptr_t HostCallback(AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr,
                           float)
{
    switch (opcode)
    {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetProductString:
        std::strcpy(static_cast<char*>(ptr), "tumblet-info");
        return 1;
    case audioMasterGetVendorString:
        std::strcpy(static_cast<char*>(ptr), "Brindlex");
        return 1;
    case audioMasterGetSampleRate:
        return 44100;
    case audioMasterGetBlockSize:
        return 512;
    default:
        return 0;
    }
}

std::string Text(AEffect* effect, std::int32_t opcode, std::int32_t index = 0)
{
    char buffer[256] = {};
    effect->dispatcher(effect, opcode, index, 0, buffer, 0.0f);
    return buffer;
}

const char* CategoryName(std::intptr_t category)
{
    static const char* const kNames[] = {"unknown",     "effect",          "synth",   "analysis",
                                         "mastering",   "spacializer",     "room fx", "surround fx",
                                         "restoration", "offline process", "shell",   "generator"};
    return category >= 0 && category < 12 ? kNames[category] : "?";
}

void PrintPins(AEffect* effect, std::int32_t opcode, std::int32_t count, const char* kind)
{
    std::printf("%s pins:     %d\n", kind, count);
    for (std::int32_t i = 0; i < count; ++i)
    {
        VstPinProperties pin{};
        if (effect->dispatcher(effect, opcode, i, 0, &pin, 0.0f) != 0)
            std::printf("  %d  %-12s %-6s%s\n", i, pin.label, pin.shortLabel,
                        (pin.flags & kVstPinIsStereo) ? "  stereo" : "");
    }
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
        {
            std::printf("usage: tumblet-info [PLUGIN.so]\n\nLoads a VST 2.4 plug-in (Tumblet.so "
                        "beside this tool by default, else the\ninstalled one) as a host "
                        "does and prints what a host sees of it.\n");
            return 0;
        }
    const std::string path = argc > 1 ? argv[1] : DefaultPluginPath();
    void* library = dlopen(LoadablePluginPath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
    {
        std::fprintf(stderr, "tumblet-info: cannot load %s: %s\n", path.c_str(), dlerror());
        return 1;
    }
    using TEntry = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<TEntry>(dlsym(library, "VSTPluginMain"));
    if (entry == nullptr)
        entry = reinterpret_cast<TEntry>(dlsym(library, "main"));
    AEffect* effect = entry != nullptr ? entry(&HostCallback) : nullptr;
    if (effect == nullptr || effect->magic != kEffectMagic)
    {
        std::fprintf(stderr, "tumblet-info: %s is not a VST 2.4 plug-in\n", path.c_str());
        return 1;
    }
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    const std::uint32_t id = static_cast<std::uint32_t>(effect->uniqueID);
    std::printf("plug-in:       %s\n", path.c_str());
    std::printf("name:          %s\n", Text(effect, effGetEffectName).c_str());
    std::printf("vendor:        %s\n", Text(effect, effGetVendorString).c_str());
    std::printf("product:       %s\n", Text(effect, effGetProductString).c_str());
    std::printf("unique ID:     '%c%c%c%c'   version: %d\n", id >> 24, (id >> 16) & 0xFF,
                (id >> 8) & 0xFF, id & 0xFF, effect->version);
    std::printf("category:      %s   flags: 0x%X\n",
                CategoryName(effect->dispatcher(effect, effGetPlugCategory, 0, 0, nullptr, 0)),
                effect->flags);
    std::printf(
        "receives MIDI: %s   sends MIDI: %s\n",
        effect->dispatcher(effect, effCanDo, 0, 0, (void*)"receiveVstMidiEvent", 0) == 1 ? "yes"
                                                                                         : "no",
        effect->dispatcher(effect, effCanDo, 0, 0, (void*)"sendVstMidiEvent", 0) == 1 ? "yes"
                                                                                      : "no");
    PrintPins(effect, effGetInputProperties, effect->numInputs, "input ");
    PrintPins(effect, effGetOutputProperties, effect->numOutputs, "output");
    std::printf("parameters:    %d\n", effect->numParams);
    for (std::int32_t i = 0; i < effect->numParams; ++i)
    {
        std::printf("  %2d  %-18s %s %s\n", i, Text(effect, effGetParamName, i).c_str(),
                    Text(effect, effGetParamDisplay, i).c_str(),
                    Text(effect, effGetParamLabel, i).c_str());
    }
    std::printf("programs:      %d\n", effect->numPrograms);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
