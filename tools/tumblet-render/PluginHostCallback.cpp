// The audioMaster side of TPluginHost: what the plug-in hears when it asks its host.

#include "PluginHost.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <string_view>

namespace tumblet
{

extern thread_local TPluginHost* GCreatingHost;

namespace
{

constexpr std::size_t kHostStringSize = 64; // kVstMaxProductStrLen / kVstMaxVendorStrLen
constexpr std::intptr_t kHostVendorVersion = 1000;
constexpr std::intptr_t kProcessLevelUser = 1;
constexpr std::intptr_t kProcessLevelOffline = 4;
constexpr std::intptr_t kAutomationOff = 1;
constexpr std::intptr_t kLanguageEnglish = 1;
const char* const kHostVendor = "Tumblet";

void CopyHostString(void* ptr, std::string_view text)
{
    if (ptr == nullptr)
        return;
    const std::size_t length = std::min(text.size(), kHostStringSize - 1);
    std::memcpy(ptr, text.data(), length);
    static_cast<char*>(ptr)[length] = '\0';
}

} // namespace

std::intptr_t TPluginHost::Callback(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                    std::intptr_t value, void* ptr, float opt) noexcept
{
    TPluginHost* host = effect != nullptr && effect->resvd1 != 0
                            ? reinterpret_cast<TPluginHost*>(effect->resvd1)
                            : GCreatingHost;
    if (host == nullptr)
        return opcode == audioMasterVersion ? kVstVersion : 0;
    try
    {
        return host->Answer(opcode, index, value, ptr, opt);
    }
    catch (...)
    {
        // Nothing may unwind through the plug-in's frames.
        return 0;
    }
}

std::intptr_t TPluginHost::Answer(std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr,
                                  float)
{
    switch (opcode)
    {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterWantMidi:
        return 1;
    case audioMasterGetTime:
        ++FTimeRequests;
        return reinterpret_cast<std::intptr_t>(&FTimeInfo);
    case audioMasterProcessEvents:
        CollectEvents(static_cast<const VstEvents*>(ptr));
        return 1;
    case audioMasterGetSampleRate:
        return static_cast<std::intptr_t>(FSettings.SampleRate);
    case audioMasterGetBlockSize:
        return FSettings.BlockSize;
    case audioMasterGetCurrentProcessLevel:
        return FProcessing ? kProcessLevelOffline : kProcessLevelUser;
    case audioMasterGetAutomationState:
        return kAutomationOff;
    case audioMasterGetVendorString:
        CopyHostString(ptr, kHostVendor);
        return 1;
    case audioMasterGetProductString:
        CopyHostString(ptr, FSettings.ProductName);
        return 1;
    case audioMasterGetVendorVersion:
        return kHostVendorVersion;
    case audioMasterCanDo:
        return ptr != nullptr ? AnswerCanDo(static_cast<const char*>(ptr)) : 0;
    case audioMasterGetLanguage:
        return kLanguageEnglish;
    case audioMasterGetDirectory:
        return reinterpret_cast<std::intptr_t>(FPluginDirectory.c_str());
    case audioMasterUpdateDisplay:
        return 1;
    default:
        return 0;
    }
}

std::intptr_t TPluginHost::AnswerCanDo(const char* text) const
{
    static const char* const kYes[] = {"sendVstEvents",       "sendVstMidiEvent",
                                       "sendVstTimeInfo",     "receiveVstEvents",
                                       "receiveVstMidiEvent", "offline",
                                       "startStopProcess",    "sendVstMidiEventFlagIsRealtime"};
    static const char* const kNo[] = {"sizeWindow", "openFileSelector", "closeFileSelector",
                                      "editFile",   "shellCategory",    "supportShell"};
    for (const char* yes : kYes)
        if (std::strcmp(text, yes) == 0)
            return 1;
    for (const char* no : kNo)
        if (std::strcmp(text, no) == 0)
            return -1;
    return 0;
}

void TPluginHost::CollectEvents(const VstEvents* events)
{
    if (events == nullptr || FSink == nullptr)
        return;
    for (std::int32_t i = 0; i < events->numEvents; ++i)
    {
        const VstEvent* event = EventList(*events)[i];
        if (event == nullptr || event->type != kVstMidiType)
            continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        TRecordedEvent recorded;
        recorded.Sample = FBlockStart + midi->deltaFrames;
        for (int b = 0; b < 3; ++b)
            recorded.Data[b] = static_cast<std::uint8_t>(midi->midiData[b]);
        FSink->push_back(recorded);
    }
}

} // namespace tumblet
