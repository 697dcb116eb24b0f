#pragma once

// The LV2 plug-in around the product module, hosted by the effect driver. The adapter turns the
// host's atom MIDI and time:Position into the driver's events and time info, writes the module's
// output events as atoms at their frames, keeps the control ports and the module's parameters
// agreeing, and carries the module's state chunk through the LV2 state interface.

#include "base/PhaseLock.h"
#include "entry/EffectDriver.h"
#include "entry/ProductDescription.h"
#include "lv2/Lv2Instance.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace tumblet
{

class TLv2Adapter
{
public:
    /// Creates the module. Throws when the host lacks urid:map or the module cannot be made.
    TLv2Adapter(double sampleRate, const LV2_Feature* const* features);
    ~TLv2Adapter();
    TLv2Adapter(const TLv2Adapter&) = delete;
    TLv2Adapter& operator=(const TLv2Adapter&) = delete;

    TLv2Instance& Instance() noexcept { return FInstance; }

    // Thread: the host's instantiation thread.
    void ConnectPort(std::uint32_t port, void* data) noexcept;
    void Activate() noexcept;
    void Deactivate() noexcept;
    // Thread: audio.
    void Run(std::uint32_t frames) noexcept;
    // Thread: any; the module takes its own lock.
    LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

private:
    struct TPosition
    {
        bool Known = false;     ///< a time:Position has arrived
        double Frame = 0;       ///< transport position, samples
        double Speed = 0;       ///< 0 stopped, 1 rolling
        double Bar = 0;         ///< bars from the song start
        double BarBeat = 0;     ///< beats into the bar, in beat units
        double BeatsPerBar = 4; ///< beat units per bar
        double BeatUnit = 4;    ///< the note value of one beat (4 = quarter)
        double BeatsPerMinute = 120;
        double Ppq = 0;     ///< quarter notes at Frame, as the host sent them
        bool Fresh = false; ///< arrived since the last span
    };

    std::intptr_t HostCall(std::int32_t opcode, void* ptr);

    void ApplyControlPorts();
    void ReadPosition(const LV2_Atom_Object* object);
    void AdvancePosition(std::uint32_t frames);
    void FillTimeInfo(std::uint32_t frames);
    void WriteMidiOut(const std::uint8_t* bytes, std::uint32_t size, std::uint32_t frame);

    float ToNormalised(std::size_t index, float real) const;
    float ToReal(std::size_t index, float normalised) const;

    TLv2Instance FInstance;
    const TProductDescription& FDescription;
    std::vector<float> FMinimum;
    std::vector<float> FMaximum;

    // URIDs
    LV2_URID FMidiEvent = 0;
    LV2_URID FAtomBlank = 0;
    LV2_URID FAtomObject = 0;
    LV2_URID FAtomChunk = 0;
    LV2_URID FAtomFloat = 0;
    LV2_URID FAtomDouble = 0;
    LV2_URID FAtomInt = 0;
    LV2_URID FAtomLong = 0;
    LV2_URID FTimePosition = 0;
    LV2_URID FTimeFrame = 0;
    LV2_URID FTimeSpeed = 0;
    LV2_URID FTimeBar = 0;
    LV2_URID FTimeBarBeat = 0;
    LV2_URID FTimeBeatsPerBar = 0;
    LV2_URID FTimeBeatUnit = 0;
    LV2_URID FTimeBeatsPerMinute = 0;
    LV2_URID FStateChunk = 0;

    // Ports (host memory, valid between connect_port and the next run).
    const LV2_Atom_Sequence* FMidiIn = nullptr;
    LV2_Atom_Sequence* FMidiOut = nullptr;
    std::vector<const float*> FControls;
    /// The port value last taken in; a port is applied only when it moves away from this.
    std::vector<std::atomic<float>> FLastPortValue;

    LV2_Atom_Forge FForge{};
    bool FForgeOk = false;

    TPosition FPosition;
    /// The song position counted on from the last one the host sent, by frames.
    TPhaseLock FPhaseLock;
    bool FLocked = false; ///< FPhaseLock holds an anchor
    bool FWasRolling = false;
    /// Made last, once the ports and URIDs its hooks use are there.
    std::unique_ptr<TEffectDriver> FDriver;
};

} // namespace tumblet
