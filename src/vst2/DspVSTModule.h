#pragma once

#include "vst2/VSTModuleWithPrograms.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace tumblet
{

/// Chooses the processing handlers and flushes the outgoing MIDI after each processing call.
class TDspVSTModule : public TVSTModuleWithPrograms
{
public:
    TDspVSTModule();
    ~TDspVSTModule() override;

    // Processing hooks. Raised on the audio thread with the instance lock held; bound once at
    // creation.
    std::function<void(float** inputs, float** outputs, std::uint32_t sampleFrames)> OnProcess;
    std::function<void(float** inputs, float** outputs, std::uint32_t sampleFrames)>
        OnProcess32Replacing;
    std::function<void(double** inputs, double** outputs, std::uint32_t sampleFrames)>
        OnProcess64Replacing;

protected:
    void ProcessReplacing(float** inputs, float** outputs, std::int32_t sampleFrames) override;
    void ProcessDoubleReplacing(double** inputs, double** outputs,
                                std::int32_t sampleFrames) override;
    void ProcessAccumulating(float** inputs, float** outputs, std::int32_t sampleFrames) override;
    std::intptr_t HostCallMainsChanged(std::int32_t, std::intptr_t, void*, float) override;

private:
    void PrepareAccumulateBuffers(std::int32_t sampleFrames);

    // Scratch for hosts that still use the accumulating entry: the replacing handler writes
    // here and the result is added to the host's buffers. Grown only when a call needs more.
    std::vector<std::vector<float>> FAccumulateBuffers;
    std::vector<float*> FAccumulatePointers;
};

} // namespace tumblet
