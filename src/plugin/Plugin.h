#pragma once

#include "engine/Arpeggiator.h"
#include "engine/BlxMidiArpNoteOrderList.h"
#include "engine/BlxMidiArpOctaveOrderList.h"
#include "engine/BlxMidiArpVelocityModeList.h"
#include "engine/BlxMidiNoteList.h"
#include "engine/BlxMidiNoteRateList.h"
#include "engine/BlxMidiNoteTypeList.h"
#include "plugin/VSTPluginBaseDM.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tumblet
{

class TCustomVstParameterProperty;

/// Wall-clock time in days (local time, millisecond resolution): when latched notes were last
/// added. A seam so that tests can play chords without sleeping.
using TWallClock = double (*)();
double LocalTimeInDays();

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

    /// Replaces the wall clock (tests). Thread: creation.
    void SetWallClock(TWallClock clock) { FWallClock = clock; }

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

    // Block processing steps.
    bool ReadHostTime(std::uint32_t sampleFrames);
    void ApplyHostPosition(const VstTimeInfo& timeInfo);
    bool HandleTransport(std::uint32_t sampleFrames);
    void EndAllSoundingNotes(bool lastFirst);
    void SendDueNoteOffs(std::uint32_t sampleFrames);
    void SendGeneratedStep();

    // MIDI handling steps.
    void HandleNoteOn(std::int32_t channel, std::int32_t note, std::int32_t velocity);
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

    std::uint32_t FSampleCounter = 0; ///< own clock while the transport is stopped, samples
    bool FWasPlaying = false;
    double FLastNoteOnTime = 0.0; ///< days, local wall-clock time
    double FLastTempo = 120.0;    ///< beats per minute; used while the host gives none
    TWallClock FWallClock = &LocalTimeInDays;
};

} // namespace tumblet
