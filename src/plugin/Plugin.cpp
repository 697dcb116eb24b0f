#include "plugin/Plugin.h"

#include "engine/Random.h"
#include "plugin/VendorCodes.h"

namespace tumblet
{

namespace
{
// Rate entries the product does not offer (the two longest rates).
constexpr std::int32_t kRemovedRateTags[] = {12, 11};
// Scales outside this range are not a display's: they are ignored rather than drawn.
constexpr float kLargestHostScale = 8.0f;
} // namespace

TVSTPlugin::TVSTPlugin()
{
    OnCreate = [this](TVSTModule&) { VSTModuleCreate(); };
    OnDestroy = [this](TVSTModule&) { VSTModuleDestroy(); };
    OnSampleRateChange = [this](TCustomVSTModule&, float rate) { VSTModuleSampleRateChange(rate); };
    OnProcess32Replacing = [this](float** inputs, float** outputs, std::uint32_t frames)
    { VSTModuleProcess32Replacing(inputs, outputs, frames); };
    OnProcessMidi = [this](TVSTModuleWithMidi&, const TVstMidiEvent& event)
    { VSTModuleProcessMidi(event); };
    OnEditGetSize = [this](TCustomVSTModule&, std::int16_t& width, std::int16_t& height)
    { VSTModuleEditGetSize(width, height); };
    OnEditIdle = [this](TCustomVSTModule&) { VSTModuleEditIdle(); };
    OnVendorSpecific = [this](TCustomVSTModule&, std::int32_t index, std::intptr_t value, void*,
                              float opt) { return VSTModuleVendorSpecific(index, value, opt); };
}

void TVSTPlugin::VSTModuleEditGetSize(std::int16_t& width, std::int16_t& height)
{
    // Without an editor the host keeps the last size it was given.
    if (TVstEditorForm* editor = Editor())
    {
        width = static_cast<std::int16_t>(editor->Width());
        height = static_cast<std::int16_t>(editor->Height());
    }
}

void TVSTPlugin::VSTModuleEditIdle()
{
    if (TVstEditorForm* editor = Editor())
    {
        editor->RefreshControls();
        Dialogs().ShowKeptMessages(editor);
    }
}

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
              CanDoBit(TVstCanDo::vcdReceiveVstMidiEvent) | CanDoBit(TVstCanDo::vcd2in2out) |
              CanDoBit(TVstCanDo::vcdSupportsViewDpiScaling));
    SetFlags(effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth);
    SetNumInputs(0);
    SetNumOutputs(2);
    SetUniqueID("bx02");
    SetTailSize(0);
    SetSampleRate(44100.0f);
    SetBlockSize(1024);
    DefineParameters();
    Programs().Add().SetDisplayName("Default");
}

void TVSTPlugin::VSTModuleCreate()
{
    SetStateVersion("1.20");
    SetUserGuideFileName("Tumblet User Guide.pdf");

    FArpeggiator = std::make_unique<TArpeggiator>();
    FArpeggiator->SetNoteEndCallback(&TVSTPlugin::NoteEnd, this);
    FArpeggiator->SetSampleRate(SampleRate());

    FNoteOrderList = std::make_unique<TMidiArpNoteOrderList>(true);
    FOctaveOrderList = std::make_unique<TMidiArpOctaveOrderList>(true);
    FRateList = std::make_unique<TMidiNoteRateList>(true);
    FNoteTypeList = std::make_unique<TMidiNoteTypeList>(true);
    for (std::int32_t tag : kRemovedRateTags)
        FRateList->Delete(FRateList->FindByTag(tag));
    FVelocityModeList = std::make_unique<TMidiArpVelocityModeList>(true);

    FPressedKeys = std::make_unique<TMidiNoteList>();
    FSoundingNotes = std::make_unique<TMidiNoteList>();
    FSampleCounter = 0;

    BaseModuleCreate();
}

std::int32_t TVSTPlugin::VSTModuleVendorSpecific(std::int32_t index, std::intptr_t value, float opt)
{
    if (index == kVendorSpecificPreSonus && value == kVendorSpecificContentScale)
    {
        if (!(opt > 0.0f && opt <= kLargestHostScale))
            return 0;
        // An open editor follows at its next idle call.
        SetHostEditorScale(opt);
        return 1;
    }
    if (index == kVendorSpecificSetSeed)
    {
        SetRandSeed(static_cast<std::uint32_t>(value));
        return 1;
    }
    // Some hosts announce a wheel action this way instead of sending the wheel to the editor.
    if (value == kVendorSpecificWheel)
    {
        if (TVstEditorForm* editor = Editor())
            editor->FocusControlUnderMouse();
    }
    return 0;
}

void TVSTPlugin::VSTModuleDestroy()
{
    // The owned objects go with the module; no note-offs are sent.
    BaseModuleDestroy();
}

} // namespace tumblet
