#pragma once

#include "base/PhaseLock.h"
#include "engine/Arpeggiator.h"
#include "engine/BlxMidiArpNoteOrderList.h"
#include "engine/BlxMidiArpOctaveOrderList.h"
#include "engine/BlxMidiArpVelocityModeList.h"
#include "engine/BlxMidiNoteList.h"
#include "engine/BlxMidiNoteRateList.h"
#include "engine/BlxMidiNoteTypeList.h"
#include "plugin/VSTPluginBaseDM.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tumblet
{

class TCustomVstParameterProperty;

/// The arpeggiator plug-in: joins the engine to the host.
class TVSTPlugin : public TVSTPluginBase
{
public:
    TVSTPlugin();
    ~TVSTPlugin() override;

    /// Creates one instance, reseeding the shared random generator first as every new instance
    /// does.
    static std::unique_ptr<TVSTModule> Create();

    // Under the instance lock.
    TArpeggiator& Arpeggiator() { return *FArpeggiator; }
    TMidiNoteList& PressedKeys() { return *FPressedKeys; }
    TMidiNoteList& SoundingNotes() { return *FSoundingNotes; }

    void DefineParameterValues() override;
    /// The parameter list of a state stream: 22 values in stream order (20 in old streams).
    void ReadParameterValues(TValueReader& reader, const std::string& version,
                             TStateContent& content) override;
    void WriteParameterValues(TValueWriter& writer) override;
    /// The chunk-mode read of a parameter: its stored real value, 0 past the end.
    // Thread: any; no lock.
    float VSTModuleGetChunkParameter(std::int32_t index);
    void ValueListText(const std::string& name, std::int32_t tag, std::string& text) override;
    /// The value list of a list-valued parameter ("Rate", "Type", "Note Order", "Octave Order",
    /// "Velocity Mode"), or null. The lists do not change after creation. Thread: any.
    const TBlxValueList* ValueList(std::string_view name) const;

protected:
    void ApplyStoredConfiguration() override;

private:
    // Creation and processing handlers.
    void VSTModuleCreate();
    void VSTModuleDestroy();
    void VSTModuleSampleRateChange(float sampleRate);
    void VSTModuleProcess32Replacing(float** inputs, float** outputs, std::uint32_t sampleFrames);
    void VSTModuleProcessMidi(const TVstMidiEvent& event);
    /// The product's own vendor calls (the seed) and the host's wheel announcement.
    std::int32_t VSTModuleVendorSpecific(std::int32_t index, std::intptr_t value);
    static void NoteEnd(void* context, double positionSamples);

    // Editor handlers. Thread: UI.
    void VSTModuleEditGetSize(std::int16_t& width, std::int16_t& height);
    void VSTModuleEditIdle();

    // Block processing steps. Offsets count samples from the start of the host's block.
    bool ReadHostTime(std::uint32_t sampleFrames);
    void ApplyHostPosition(const VstTimeInfo& timeInfo, std::uint32_t sampleFrames);
    bool HandleTransport(std::uint32_t sampleFrames);
    void ProcessBlock(std::int32_t sampleFrames);
    struct TKeyEvent;
    void ApplyHeldKeys(std::int32_t offset);
    void ApplyKey(const TKeyEvent& key, std::int32_t offset);
    void MoveEngineTo(std::int32_t offset);
    void RunEngine(std::int32_t from, std::int32_t to);
    void EndAllSoundingNotes(bool lastFirst, std::int32_t offset);
    void SendDueNoteOffs(std::int32_t upTo);
    void SendGeneratedStep(std::int32_t from);

    // MIDI handling steps.
    void HandleNoteOn(std::int32_t channel, std::int32_t note, std::int32_t velocity,
                      std::int32_t offset);
    void HandleNoteOff(std::int32_t note);
    void TrimReleasedNotes(std::int32_t note);
    void PassThrough(std::int32_t kind, std::int32_t channel, std::int32_t d1, std::int32_t d2,
                     std::int32_t delta);
    void PostHeldNotesText();

    // Parameters.
    void DefineParameters();
    void BindParameterHandlers();
    /// The value list in a parameter row's list slot, or null.
    const TBlxValueList* ValueListAt(std::int32_t slot) const;
    void ParameterChange(std::int32_t index, float value);
    std::string ParameterDisplay(std::int32_t index);

    std::unique_ptr<TArpeggiator> FArpeggiator;
    std::unique_ptr<TMidiArpNoteOrderList> FNoteOrderList;
    std::unique_ptr<TMidiArpOctaveOrderList> FOctaveOrderList;
    std::unique_ptr<TMidiNoteRateList> FRateList;
    std::unique_ptr<TMidiNoteTypeList> FNoteTypeList;
    std::unique_ptr<TMidiArpVelocityModeList> FVelocityModeList;
    std::unique_ptr<TMidiNoteList> FPressedKeys;
    std::unique_ptr<TMidiNoteList> FSoundingNotes;

    /// A key pressed or released, kept from effProcessEvents until the block reaches its offset.
    struct TKeyEvent
    {
        std::int32_t Offset; ///< samples from the start of the coming block
        std::uint8_t Status;
        std::uint8_t Note;
        std::uint8_t Velocity;
    };
    static constexpr std::int32_t kMaxKeyEvents = 1024;

    std::uint32_t FSampleCounter = 0; ///< own clock while the transport is stopped, samples
    bool FWasPlaying = false;
    /// Audio processed since creation, samples: the latch window is measured on it, so that
    /// offline renders behave as live playing does.
    std::int64_t FProcessedSamples = 0;
    /// FProcessedSamples at the last latched note-on; at first long before anything.
    std::int64_t FLastNoteOnSample = -(std::int64_t{1} << 62);
    double FLastTempo = 120.0;     ///< beats per minute; used while the host gives none
    TPhaseLock FPhaseLock;         ///< the host's song position kept on the sample grid
    double FBlockSamplePos = 0.0;  ///< the engine's sample position of the block start
    double FBlockPpq = 0.0;        ///< the engine's song position of the block start, beats
    std::int32_t FBlockFrames = 0; ///< length of the block being processed; 0 between blocks
    std::array<TKeyEvent, kMaxKeyEvents> FKeyEvents{};
    std::int32_t FKeyEventCount = 0;
};

} // namespace tumblet
