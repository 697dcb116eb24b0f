#include "lv2/Lv2Adapter.h"

#include "entry/ModuleFactory.h"

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/time/time.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <stdexcept>

namespace tumblet
{

namespace
{

constexpr double kQuarterNote = 4.0;
// Guards floor() against a bar start that lands a rounding error below a whole bar.
constexpr double kBarEpsilon = 1e-9;

const void* FindFeature(const LV2_Feature* const* features, const char* uri)
{
    for (; features != nullptr && *features != nullptr; ++features)
        if (std::strcmp((*features)->URI, uri) == 0)
            return (*features)->data;
    return nullptr;
}

double AtomNumber(const LV2_Atom* atom, const LV2_URID types[4], double fallback)
{
    if (atom == nullptr)
        return fallback;
    if (atom->type == types[0])
        return reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
    if (atom->type == types[1])
        return reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
    if (atom->type == types[2])
        return reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
    if (atom->type == types[3])
        return static_cast<double>(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
    return fallback;
}

bool Finite(double value)
{
    return std::isfinite(value);
}

// The description only holds what never changes, so one reading serves every instance.
const TProductDescription& Description()
{
    static const TProductDescription description = DescribeProduct();
    return description;
}

} // namespace

TLv2Adapter::TLv2Adapter(double sampleRate, const LV2_Feature* const* features)
    : FDescription(Description()), FControls(FDescription.Parameters.size(), nullptr),
      FLastPortValue(FDescription.Parameters.size())
{
    const auto* map = static_cast<const LV2_URID_Map*>(FindFeature(features, LV2_URID__map));
    if (map == nullptr)
        throw std::runtime_error("the host has no urid:map");
    const auto uri = [map](const char* text) { return map->map(map->handle, text); };
    FMidiEvent = uri(LV2_MIDI__MidiEvent);
    FAtomBlank = uri(LV2_ATOM__Blank);
    FAtomObject = uri(LV2_ATOM__Object);
    FAtomChunk = uri(LV2_ATOM__Chunk);
    FAtomFloat = uri(LV2_ATOM__Float);
    FAtomDouble = uri(LV2_ATOM__Double);
    FAtomInt = uri(LV2_ATOM__Int);
    FAtomLong = uri(LV2_ATOM__Long);
    FTimePosition = uri(LV2_TIME__Position);
    FTimeFrame = uri(LV2_TIME__frame);
    FTimeSpeed = uri(LV2_TIME__speed);
    FTimeBar = uri(LV2_TIME__bar);
    FTimeBarBeat = uri(LV2_TIME__barBeat);
    FTimeBeatsPerBar = uri(LV2_TIME__beatsPerBar);
    FTimeBeatUnit = uri(LV2_TIME__beatUnit);
    FTimeBeatsPerMinute = uri(LV2_TIME__beatsPerMinute);
    FStateChunk = uri(kLv2StateChunkUri);
    lv2_atom_forge_init(&FForge, const_cast<LV2_URID_Map*>(map));

    // A host that announces its longest block lets the driver's scratch be just that long.
    std::uint32_t maxBlock = TEffectDriver::kMaxSpan;
    if (const auto* options =
            static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options)))
    {
        const LV2_URID maxBlockLength = uri(LV2_BUF_SIZE__maxBlockLength);
        for (; options->key != 0; ++options)
            if (options->key == maxBlockLength && options->type == FAtomInt &&
                options->value != nullptr)
            {
                const std::int32_t value = *static_cast<const std::int32_t*>(options->value);
                if (value > 0)
                    maxBlock = static_cast<std::uint32_t>(value);
            }
    }
    for (std::size_t i = 0; i < FDescription.Parameters.size(); ++i)
    {
        const TProductParameter& parameter = FDescription.Parameters[i];
        FLastPortValue[i].store(parameter.Default, std::memory_order_relaxed);
        FMinimum.push_back(parameter.Min);
        FMaximum.push_back(parameter.Max);
    }
    FInstance.ParameterCount = static_cast<std::uint32_t>(FMinimum.size());
    FInstance.Minimum = FMinimum.data();
    FInstance.Maximum = FMaximum.data();

    FDriver =
        std::make_unique<TEffectDriver>(&CreateModuleEffect, sampleRate, maxBlock,
                                        [this](std::int32_t opcode, std::int32_t, std::intptr_t,
                                               void* ptr, float) { return HostCall(opcode, ptr); });
    FDriver->OnSpan = [this](std::uint32_t, std::uint32_t length) { FillTimeInfo(length); };
    FDriver->OnSpanDone = [this](std::uint32_t, std::uint32_t length) { AdvancePosition(length); };
    FDriver->OnMidiOut = [this](const std::uint8_t* bytes, std::uint32_t size, std::uint32_t frame)
    { WriteMidiOut(bytes, size, frame); };
    FInstance.Effect = FDriver->Effect();
    FInstance.Adapter = this;
    FInstance.AttachEditor = &AttachWindowedPartsToEffect;
}

TLv2Adapter::~TLv2Adapter()
{
    // A UI still holding the record finds it dead before the module goes.
    FInstance.Magic = 0;
    FInstance.Effect = nullptr;
}

void TLv2Adapter::ConnectPort(std::uint32_t port, void* data) noexcept
{
    if (port == kLv2MidiInPort)
        FMidiIn = static_cast<const LV2_Atom_Sequence*>(data);
    else if (port == kLv2MidiOutPort)
        FMidiOut = static_cast<LV2_Atom_Sequence*>(data);
    else if (port >= kLv2FirstParameterPort && port - kLv2FirstParameterPort < FControls.size())
        FControls[port - kLv2FirstParameterPort] = static_cast<const float*>(data);
}

void TLv2Adapter::Activate() noexcept
{
    FDriver->Dispatch(effMainsChanged, 0, 1);
}

void TLv2Adapter::Deactivate() noexcept
{
    FDriver->Dispatch(effMainsChanged, 0, 0);
}

// ---- Parameters ------------------------------------------------------------------------------

float TLv2Adapter::ToNormalised(std::size_t index, float real) const
{
    const TProductParameter& p = FDescription.Parameters[index];
    if (p.Max <= p.Min)
        return 0.0f;
    return std::clamp((real - p.Min) / (p.Max - p.Min), 0.0f, 1.0f);
}

float TLv2Adapter::ToReal(std::size_t index, float normalised) const
{
    const TProductParameter& p = FDescription.Parameters[index];
    return p.Min + normalised * (p.Max - p.Min);
}

void TLv2Adapter::ApplyControlPorts()
{
    AEffect* effect = FDriver->Effect();
    for (std::size_t i = 0; i < FControls.size(); ++i)
    {
        if (FControls[i] == nullptr)
            continue;
        const float value = *FControls[i];
        if (!Finite(value) || value == FLastPortValue[i].load(std::memory_order_relaxed))
            continue;
        FLastPortValue[i].store(value, std::memory_order_relaxed);
        // A port that only follows what the module already holds (the UI reporting a change
        // made in the editor) is no new change.
        const TProductParameter& p = FDescription.Parameters[i];
        const float current = ToReal(i, effect->getParameter(effect, static_cast<std::int32_t>(i)));
        if (std::fabs(value - current) <= (p.Max - p.Min) * 1e-5f)
            continue;
        effect->setParameter(effect, static_cast<std::int32_t>(i), ToNormalised(i, value));
    }
}

// ---- Host time -------------------------------------------------------------------------------

void TLv2Adapter::ReadPosition(const LV2_Atom_Object* object)
{
    const LV2_Atom* frame = nullptr;
    const LV2_Atom* speed = nullptr;
    const LV2_Atom* bar = nullptr;
    const LV2_Atom* barBeat = nullptr;
    const LV2_Atom* beatsPerBar = nullptr;
    const LV2_Atom* beatUnit = nullptr;
    const LV2_Atom* bpm = nullptr;
    lv2_atom_object_get(object, FTimeFrame, &frame, FTimeSpeed, &speed, FTimeBar, &bar,
                        FTimeBarBeat, &barBeat, FTimeBeatsPerBar, &beatsPerBar, FTimeBeatUnit,
                        &beatUnit, FTimeBeatsPerMinute, &bpm, 0);
    const LV2_URID types[4] = {FAtomFloat, FAtomDouble, FAtomInt, FAtomLong};
    TPosition& p = FPosition;
    p.Known = true;
    p.Frame = AtomNumber(frame, types, p.Frame);
    p.Speed = AtomNumber(speed, types, p.Speed);
    p.Bar = AtomNumber(bar, types, p.Bar);
    p.BarBeat = AtomNumber(barBeat, types, p.BarBeat);
    p.BeatsPerBar = AtomNumber(beatsPerBar, types, p.BeatsPerBar);
    p.BeatUnit = AtomNumber(beatUnit, types, p.BeatUnit);
    p.BeatsPerMinute = AtomNumber(bpm, types, p.BeatsPerMinute);
    // Absurd fields keep the last sound ones rather than reaching the module.
    if (!Finite(p.BeatsPerBar) || p.BeatsPerBar <= 0)
        p.BeatsPerBar = 4;
    if (!Finite(p.BeatUnit) || p.BeatUnit <= 0)
        p.BeatUnit = 4;
    if (!Finite(p.BeatsPerMinute) || p.BeatsPerMinute <= 0)
        p.BeatsPerMinute = 120;
    if (!Finite(p.Speed))
        p.Speed = 0;
    if (!Finite(p.Bar) || !Finite(p.BarBeat) || !Finite(p.Frame))
        p.Bar = p.BarBeat = p.Frame = 0;
    p.Ppq = (p.Bar * p.BeatsPerBar + p.BarBeat) * kQuarterNote / p.BeatUnit;
    p.Fresh = true;
}

void TLv2Adapter::AdvancePosition(std::uint32_t frames)
{
    TPosition& p = FPosition;
    p.Fresh = false;
    if (!p.Known || p.Speed == 0)
        return;
    // Only the frame is counted on: the song position follows from it (FillTimeInfo), so that
    // no sum of fractions drifts off the sample grid.
    p.Frame += frames * p.Speed;
}

void TLv2Adapter::FillTimeInfo(std::uint32_t frames)
{
    const TPosition& p = FPosition;
    const double quartersPerBeat = kQuarterNote / p.BeatUnit;
    const double quartersPerBar = p.BeatsPerBar * quartersPerBeat;
    const bool rolling = p.Known && p.Speed != 0;
    const double sampleRate = FDriver->SampleRate();
    VstTimeInfo& t = FDriver->TimeInfo();
    t = VstTimeInfo{};
    t.samplePos = p.Frame;
    t.sampleRate = sampleRate;
    t.tempo = p.BeatsPerMinute * quartersPerBeat;
    t.ppqPos = p.Ppq;
    // Anchored on time:frame: between the host's positions, and through the rounding of those
    // it sends, the song position is the one its frame gives.
    if (rolling)
    {
        const double reported = p.Fresh || !FLocked ? p.Ppq : FPhaseLock.PpqAt(p.Frame);
        t.ppqPos = FPhaseLock.Lock({p.Frame, reported, t.tempo, sampleRate}, frames);
        FLocked = true;
    }
    else
    {
        FPhaseLock.Reset();
        FLocked = false;
    }
    t.barStartPos = std::floor(t.ppqPos / quartersPerBar + kBarEpsilon) * quartersPerBar;
    t.timeSigNumerator = std::max(1, static_cast<std::int32_t>(std::lround(p.BeatsPerBar)));
    t.timeSigDenominator = std::max(1, static_cast<std::int32_t>(std::lround(p.BeatUnit)));
    t.flags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
    if (rolling)
        t.flags |= kVstTransportPlaying;
    if (rolling != FWasRolling)
        t.flags |= kVstTransportChanged;
    FWasRolling = rolling;
}

// ---- Processing ------------------------------------------------------------------------------

void TLv2Adapter::WriteMidiOut(const std::uint8_t* bytes, std::uint32_t size, std::uint32_t frame)
{
    if (!FForgeOk)
        return;
    if (!lv2_atom_forge_frame_time(&FForge, frame) ||
        !lv2_atom_forge_atom(&FForge, size, FMidiEvent) ||
        !lv2_atom_forge_write(&FForge, bytes, size))
        FForgeOk = false; // the output buffer is full
}

void TLv2Adapter::Run(std::uint32_t frames) noexcept
{
    TEffectDriver& driver = *FDriver;
    driver.BeginBlock(frames);
    LV2_Atom_Forge_Frame sequence{};
    FForgeOk = false;
    if (FMidiOut != nullptr)
    {
        const std::uint32_t capacity = FMidiOut->atom.size;
        lv2_atom_forge_set_buffer(&FForge, reinterpret_cast<std::uint8_t*>(FMidiOut), capacity);
        FForgeOk = lv2_atom_forge_sequence_head(&FForge, &sequence, 0) != 0;
    }
    ApplyControlPorts();

    std::uint32_t spanStart = 0;
    if (FMidiIn != nullptr)
    {
        LV2_ATOM_SEQUENCE_FOREACH(FMidiIn, event)
        {
            const std::int64_t at = std::clamp<std::int64_t>(event->time.frames, spanStart,
                                                             frames > 0 ? frames - 1 : 0);
            const auto frame = static_cast<std::uint32_t>(at);
            if (event->body.type == FMidiEvent)
                driver.QueueMidi(reinterpret_cast<const std::uint8_t*>(event + 1), event->body.size,
                                 frame);
            else if (event->body.type == FAtomObject || event->body.type == FAtomBlank)
            {
                const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&event->body);
                if (object->body.otype != FTimePosition)
                    continue;
                // A new position applies from its frame on: play up to it first.
                if (frame > spanStart)
                    driver.Run(spanStart, frame - spanStart);
                spanStart = frame;
                ReadPosition(object);
            }
        }
    }
    if (frames > spanStart)
        driver.Run(spanStart, frames - spanStart);
    if (FMidiOut != nullptr)
    {
        if (FForgeOk)
            lv2_atom_forge_pop(&FForge, &sequence);
        else
        {
            // A sequence the forge could not finish is handed back empty.
            FMidiOut->atom.type = 0;
            FMidiOut->atom.size = 0;
        }
    }
}

// ---- The module's host -----------------------------------------------------------------------

std::intptr_t TLv2Adapter::HostCall(std::int32_t opcode, void* ptr)
{
    switch (opcode)
    {
    case audioMasterGetProductString:
        if (ptr != nullptr)
            std::strcpy(static_cast<char*>(ptr), "LV2 host");
        return ptr != nullptr;
    case audioMasterGetVendorString:
        if (ptr != nullptr)
            std::strcpy(static_cast<char*>(ptr), "LV2");
        return ptr != nullptr;
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        return 1;
    default:
        return 0;
    }
}

// ---- State -----------------------------------------------------------------------------------

LV2_State_Status TLv2Adapter::Save(LV2_State_Store_Function store, LV2_State_Handle handle)
{
    const std::vector<std::uint8_t> bytes = FDriver->Chunk();
    if (bytes.empty())
        return LV2_STATE_ERR_UNKNOWN;
    return store(handle, FStateChunk, bytes.data(), bytes.size(), FAtomChunk,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status TLv2Adapter::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
{
    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    const void* data = retrieve(handle, FStateChunk, &size, &type, &flags);
    if (data == nullptr || size == 0)
        return LV2_STATE_ERR_NO_PROPERTY;
    if (type != FAtomChunk)
        return LV2_STATE_ERR_BAD_TYPE;
    if (!FDriver->SetChunk(data, size))
        return LV2_STATE_ERR_UNKNOWN;
    // Hosts set the ports before restoring; the restored state is now the truth, so those
    // values count as taken in and only a later move of a port applies.
    for (std::size_t i = 0; i < FControls.size(); ++i)
        if (FControls[i] != nullptr)
            FLastPortValue[i].store(*FControls[i], std::memory_order_relaxed);
    return LV2_STATE_SUCCESS;
}

} // namespace tumblet
