#pragma once

// A scriptable stand-in for a VST 2.4 host: loads the built plug-in with dlopen, drives it only
// through the effect record, and records every call the plug-in makes back.

#include "vst2/VstInterface.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tumblet::test
{

struct THostCall
{
    std::int32_t Opcode;
    std::int32_t Index;
    std::intptr_t Value;
    float Opt;
    bool NullEffect; ///< asked before the plug-in had a record to give
};

struct TOutEvent
{
    std::int32_t Type;
    std::int32_t ByteSize;
    std::int32_t DeltaFrames;
    std::int32_t Flags;
    std::uint8_t Data[4];
    std::int32_t NoteLength;
    std::int32_t NoteOffset;
    std::int8_t Detune;
    std::uint8_t NoteOffVelocity;

    std::uint8_t Status() const { return Data[0]; }
};

/// A MIDI event to send, as plain data.
struct TInEvent
{
    std::int32_t DeltaFrames;
    std::uint8_t Status;
    std::uint8_t Data1;
    std::uint8_t Data2;
    std::int32_t Type = kVstMidiType;
};

inline TInEvent NoteOn(std::uint8_t note, std::uint8_t velocity = 100, std::int32_t delta = 0,
                       std::uint8_t channel = 0)
{
    return {delta, static_cast<std::uint8_t>(0x90 | channel), note, velocity};
}
inline TInEvent NoteOff(std::uint8_t note, std::int32_t delta = 0, std::uint8_t channel = 0)
{
    return {delta, static_cast<std::uint8_t>(0x80 | channel), note, 0};
}

class TTestHost
{
public:
    TTestHost();
    ~TTestHost();

    TTestHost(const TTestHost&) = delete;
    TTestHost& operator=(const TTestHost&) = delete;

    /// The path of the plug-in under test (TUMBLET_PLUGIN, else build/Tumblet.so).
    static std::string PluginPath();
    /// dlopen's handle, opened once per process; null with a message when it cannot load.
    static void* Library(std::string* error = nullptr);
    static AEffect* CallEntry(const char* symbol, audioMasterCallback callback);

    /// Creates an instance through VSTPluginMain (or the named export). Null on refusal.
    AEffect* Load(const char* symbol = "VSTPluginMain");
    /// Creates an instance through an entry linked into the test itself.
    using TEntry = AEffect* (*)(audioMasterCallback);
    AEffect* LoadWith(TEntry entry);
    /// The same, then effOpen, sample rate, block size and resume.
    AEffect* LoadAndOpenWith(TEntry entry);
    /// Load, then effOpen, sample rate, block size and resume, as hosts do.
    AEffect* LoadAndOpen();
    /// effClose; the record is not touched afterwards.
    void Close();

    AEffect* Effect() const { return FEffect; }
    std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                           void* ptr = nullptr, float opt = 0.0f);
    std::string DispatchText(std::int32_t opcode, std::int32_t index = 0);

    void SendEvents(const std::vector<TInEvent>& events);
    /// processReplacing of one block into the host's two output buffers.
    void Process(std::int32_t frames);
    /// Advances the transport by one block of the given length after processing it.
    void ProcessAndAdvance(std::int32_t frames);

    // Scripted answers.
    std::intptr_t VersionAnswer = kVstVersion;
    std::string ProductString = "TestHost";
    std::string VendorString = "Tumblet tests";
    bool ProductStringAnswer = true;
    std::intptr_t SampleRateAnswer = 44100;
    std::intptr_t BlockSizeAnswer = 512;
    std::intptr_t ProcessEventsAnswer = 1;
    bool TimeInfoAvailable = true;
    /// The canDo texts answered 1; every other one is answered 0.
    std::vector<std::string> CanDos;
    VstTimeInfo TimeInfo{};
    std::function<std::intptr_t(const THostCall&, void* ptr)> OnOtherCall;

    /// Off: nothing is recorded (events are only counted), so the host itself allocates nothing.
    bool Recording = true;
    /// Sees every event the plug-in sends, recording or not.
    std::function<void(const TOutEvent&)> OnEvent;
    std::size_t EventCount = 0;

    // What the plug-in did.
    std::vector<THostCall> Calls;
    std::vector<std::vector<TOutEvent>> Flushes; ///< one entry per audioMasterProcessEvents
    std::vector<std::int32_t> RequestedTimeMasks;

    /// Every event sent so far, with its position counted from the first processed sample.
    struct TTimedEvent
    {
        std::int64_t Position; ///< block start + deltaFrames, samples
        TOutEvent Event;
    };
    std::vector<TTimedEvent> Timeline;
    std::int64_t ProcessedSamples = 0;
    std::size_t CountCalls(std::int32_t opcode) const;
    void ClearRecords();

    /// Output buffers of the last Process call; filled with a marker before each call.
    std::vector<std::vector<float>> Outputs;
    static constexpr float kOutputMarker = 7.0f;

    /// Starts a playing transport at 120 BPM, 44100 Hz, 4/4, song position 0.
    void SetPlaying(double tempo = 120.0, double sampleRate = 44100.0);
    void SetStopped();

private:
    static std::intptr_t Callback(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                  std::intptr_t value, void* ptr, float opt);
    std::intptr_t Answer(const THostCall& call, void* ptr);
    /// Creates the instance and registers it for the callback, which may come before the
    /// plug-in has a record to give.
    AEffect* Register(const std::function<AEffect*()>& create);
    /// effOpen, sample rate, block size and resume, as hosts do; null stays null.
    AEffect* Opened(AEffect* effect);

    AEffect* FEffect = nullptr;
    std::vector<VstMidiEvent> FInRecords;
    std::vector<char> FInBlock;
};

} // namespace tumblet::test
