#pragma once

// The effect record of the small stand-in plug-ins that tests and benchmarks load next to
// Tumblet: a synth with two outputs that processes replacing, its owner behind `object`.

#include "vst2/VstInterface.h"

namespace tumblet::test
{

struct TTestEffectEntries
{
    AEffectDispatcherProc Dispatcher;
    AEffectProcessProc Process;
    AEffectProcessProc ProcessReplacing;
    AEffectSetParameterProc SetParameter;
    AEffectGetParameterProc GetParameter;
};

inline AEffect& InitTestEffect(AEffect& effect, void* owner, std::int32_t uniqueId,
                               const TTestEffectEntries& entries)
{
    effect.magic = kEffectMagic;
    effect.dispatcher = entries.Dispatcher;
    effect.process = entries.Process;
    effect.processReplacing = entries.ProcessReplacing;
    effect.setParameter = entries.SetParameter;
    effect.getParameter = entries.GetParameter;
    effect.numOutputs = 2;
    effect.flags = effFlagsCanReplacing | effFlagsIsSynth;
    effect.object = owner;
    effect.uniqueID = uniqueId;
    effect.ioRatio = 1.0f;
    return effect;
}

} // namespace tumblet::test
