#include "vst2/DspVSTModule.h"

#include <algorithm>
#include <mutex>

namespace tumblet
{

TDspVSTModule::TDspVSTModule() = default;
TDspVSTModule::~TDspVSTModule() = default;

void TDspVSTModule::ProcessReplacing(float** inputs, float** outputs, std::int32_t sampleFrames)
{
    if (OnProcess32Replacing)
        OnProcess32Replacing(inputs, outputs, static_cast<std::uint32_t>(sampleFrames));
    FlushMidiOut(sampleFrames);
}

void TDspVSTModule::ProcessDoubleReplacing(double** inputs, double** outputs,
                                           std::int32_t sampleFrames)
{
    if (OnProcess64Replacing)
        OnProcess64Replacing(inputs, outputs, static_cast<std::uint32_t>(sampleFrames));
    FlushMidiOut(sampleFrames);
}

void TDspVSTModule::PrepareAccumulateBuffers(std::int32_t sampleFrames)
{
    const auto channels = static_cast<std::size_t>(std::max(NumOutputs(), 0));
    const auto frames = static_cast<std::size_t>(sampleFrames);
    if (FAccumulateBuffers.size() < channels)
        FAccumulateBuffers.resize(channels);
    FAccumulatePointers.resize(FAccumulateBuffers.size());
    for (std::size_t c = 0; c < channels; ++c)
    {
        auto& buffer = FAccumulateBuffers[c];
        if (buffer.size() < frames)
            buffer.resize(frames);
        std::fill(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(frames), 0.0f);
        FAccumulatePointers[c] = buffer.data();
    }
}

std::intptr_t TDspVSTModule::HostCallMainsChanged(std::int32_t index, std::intptr_t value,
                                                  void* ptr, float opt)
{
    const std::intptr_t result =
        TVSTModuleWithPrograms::HostCallMainsChanged(index, value, ptr, opt);
    // Sized before processing starts, so that the first blocks of a host that uses the
    // accumulating entry do not allocate; only a block longer than announced still grows it.
    if (value != 0 && BlockSize() > 0)
    {
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        PrepareAccumulateBuffers(BlockSize());
    }
    return result;
}

void TDspVSTModule::ProcessAccumulating(float** inputs, float** outputs, std::int32_t sampleFrames)
{
    if (OnProcess)
    {
        OnProcess(inputs, outputs, static_cast<std::uint32_t>(sampleFrames));
    }
    else if (OnProcess32Replacing)
    {
        PrepareAccumulateBuffers(sampleFrames);
        OnProcess32Replacing(inputs, FAccumulatePointers.data(),
                             static_cast<std::uint32_t>(sampleFrames));
        const std::int32_t channels = NumOutputs();
        for (std::int32_t c = 0; outputs != nullptr && c < channels; ++c)
        {
            float* out = outputs[c];
            const float* add = FAccumulatePointers[static_cast<std::size_t>(c)];
            if (out == nullptr)
                continue;
            for (std::int32_t i = 0; i < sampleFrames; ++i)
                out[i] += add[i];
        }
    }
    FlushMidiOut(sampleFrames);
}

} // namespace tumblet
