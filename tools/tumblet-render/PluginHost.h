#pragma once

// An offline VST 2.4 host for one plug-in instance: loads the library, answers the plug-in's
// audioMaster calls as a host would, and records every MIDI event the plug-in sends.

#include "RenderTypes.h"
#include "vst2/VstInterface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tumblet
{

struct THostSettings
{
    std::string ProductName = "tumblet-render"; ///< what audioMasterGetProductString answers
    double SampleRate = 44100.0;                ///< Hz
    int BlockSize = 512;                        ///< largest block, samples
};

class TPluginHost
{
public:
    explicit TPluginHost(THostSettings settings);
    ~TPluginHost();

    TPluginHost(const TPluginHost&) = delete;
    TPluginHost& operator=(const TPluginHost&) = delete;

    /// dlopen, entry, magic check, then effOpen, sample rate and block size. Throws on failure.
    void Load(const std::string& path);
    /// effMainsChanged(1) and effStartProcess, as before the first block.
    void Resume();
    /// effStopProcess and effMainsChanged(0).
    void Suspend();

    AEffect* Effect() const { return FEffect; }
    std::int32_t NumParams() const;
    std::string ParamName(std::int32_t index) const;
    std::string ParamDisplay(std::int32_t index) const;
    std::string ParamLabel(std::int32_t index) const;
    float GetParameter(std::int32_t index) const;       ///< normalised 0..1
    void SetParameter(std::int32_t index, float value); ///< normalised 0..1

    /// effVendorSpecific with index and value; the plug-in's answer.
    std::intptr_t VendorSpecific(std::int32_t index, std::intptr_t value);

    bool HasProgramChunks() const;
    std::vector<std::uint8_t> GetProgramChunk();
    /// effSetChunk for the current program; false when the plug-in answers 0.
    bool SetProgramChunk(const std::vector<std::uint8_t>& bytes);

    /// The time info the plug-in receives from audioMasterGetTime until the next call.
    void SetTimeInfo(const VstTimeInfo& timeInfo) { FTimeInfo = timeInfo; }
    /// Where events from audioMasterProcessEvents go, and the render sample of deltaFrames 0.
    void SetEventSink(std::vector<TRecordedEvent>* sink, std::int64_t blockStart);
    void SendEvents(VstEvents* events);
    /// processReplacing of frames samples (at most the block size) into silent buffers.
    void Process(std::int32_t frames);

    /// Number of audioMasterGetTime calls so far.
    std::int64_t TimeRequests() const { return FTimeRequests; }

private:
    static std::intptr_t Callback(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                  std::intptr_t value, void* ptr, float opt) noexcept;
    std::intptr_t Answer(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                         float opt);
    std::intptr_t AnswerCanDo(const char* text) const;
    void CollectEvents(const VstEvents* events);
    std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                           void* ptr = nullptr, float opt = 0.0f) const;
    std::string DispatchText(std::int32_t opcode, std::int32_t index) const;
    void AllocateBuffers();
    void Unload();

    THostSettings FSettings;
    void* FLibrary = nullptr;
    AEffect* FEffect = nullptr;
    std::string FPluginDirectory;
    bool FResumed = false;
    bool FProcessing = false;
    VstTimeInfo FTimeInfo{};
    std::int64_t FTimeRequests = 0;
    std::vector<TRecordedEvent>* FSink = nullptr;
    std::int64_t FBlockStart = 0;
    std::vector<std::vector<float>> FInputBuffers;
    std::vector<std::vector<float>> FOutputBuffers;
    std::vector<float*> FInputPointers;
    std::vector<float*> FOutputPointers;
};

} // namespace tumblet
