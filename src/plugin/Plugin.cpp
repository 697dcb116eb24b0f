#include "plugin/Plugin.h"

#include "engine/Random.h"

namespace tumblet
{

TVSTPlugin::TVSTPlugin() = default;
TVSTPlugin::~TVSTPlugin() = default;

std::unique_ptr<TVSTModule> TVSTPlugin::Create()
{
    SeedRandomFromClock();
    return std::make_unique<TVSTPlugin>();
}

void TVSTPlugin::ApplyStoredConfiguration()
{
    SetEffectName("Tumblet");
    SetProductName("Tumblet");
    SetVendorName("Brindlex");
    SetVersion("1.0");
    SetVersionMajor(1);
    SetVersionMinor(0);
    SetVersionRelease(0);
    SetPlugCategory(TVstPluginCategory::vpcSynth);
    SetCanDos(CanDoBit(TVstCanDo::vcdSendVstEvents) | CanDoBit(TVstCanDo::vcdSendVstMidiEvent) |
              CanDoBit(TVstCanDo::vcdReceiveVstMidiEvent) | CanDoBit(TVstCanDo::vcd2in2out));
    SetFlags(effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth);
    SetNumInputs(0);
    SetNumOutputs(2);
    SetUniqueID("bx02");
    SetTailSize(0);
    SetSampleRate(44100.0f);
    SetBlockSize(1024);
}

} // namespace tumblet
