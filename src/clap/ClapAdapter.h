#pragma once

// The CLAP plug-in around the product module: the adapter is the module's VST 2.4 host, as the
// LV2 adapter is. It turns the host's MIDI, parameter and transport events into VST events,
// parameter sets and time info at their frames, hands the module's output events and its own
// parameter changes (with the editor's gestures) back as CLAP events, carries the state chunk
// through the state extension and embeds the module's editor through the gui extension.

#include "base/PhaseLock.h"
#include "entry/EffectDriver.h"
#include "entry/ProductDescription.h"

#include <clap/events.h>
#include <clap/ext/gui.h>
#include <clap/ext/params.h>
#include <clap/host.h>
#include <clap/plugin.h>
#include <clap/process.h>
#include <clap/stream.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace tumblet
{

/// A parameter that is a choice by name; newer than the headers we build with (public CLAP 1.1.x
/// documentation: bit 16 of the parameter flags, always together with the stepped flag).
inline constexpr clap_param_info_flags kClapParamIsEnum = 1u << 16;

class TClapAdapter
{
public:
    /// Thread: main. Creates nothing yet; Init makes the module.
    explicit TClapAdapter(const clap_host_t* host);
    ~TClapAdapter();
    TClapAdapter(const TClapAdapter&) = delete;
    TClapAdapter& operator=(const TClapAdapter&) = delete;

    const clap_plugin_t* Plugin() const noexcept { return &FPlugin; }
    void SetPlugin(const clap_plugin_t& plugin) noexcept { FPlugin = plugin; }

    // ---- Life; thread: main ------------------------------------------------------------------
    void Init();
    bool Activate(double sampleRate, std::uint32_t maxFrames);
    void Deactivate();

    // ---- Processing; thread: audio -----------------------------------------------------------
    clap_process_status Process(const clap_process_t& process) noexcept;

    // ---- Parameters; ids are the module's parameter indices, never renumbered ---------------
    std::uint32_t ParameterCount() const noexcept;
    bool ParameterInfo(std::uint32_t index, clap_param_info_t& info) const;
    bool ParameterValue(clap_id id, double& value) const;
    bool ValueToText(clap_id id, double value, char* text, std::uint32_t capacity);
    bool TextToValue(clap_id id, const char* text, double& value);
    void Flush(const clap_input_events_t* in, const clap_output_events_t* out) noexcept;

    // ---- State; thread: main -----------------------------------------------------------------
    bool Save(const clap_ostream_t& stream);
    bool Load(const clap_istream_t& stream);

    // ---- Editor; thread: main ----------------------------------------------------------------
    bool GuiCreate();
    void GuiDestroy();
    bool GuiSize(std::uint32_t& width, std::uint32_t& height);
    bool GuiSetParent(const clap_window_t& window);
    /// The editor draws at its own size for now; scaling has its place here.
    bool GuiSetScale(double scale);
    void OnTimer(clap_id timer);
    /// The editor's input arrived on the descriptor handed to the host.
    void OnDescriptor(int descriptor);

private:
    /// A parameter event the module raised outside the audio thread, waiting for the next
    /// process or flush call.
    struct TPendingEvent
    {
        std::uint16_t Type = 0; ///< CLAP_EVENT_PARAM_VALUE or a gesture event
        clap_id Parameter = 0;
        double Value = 0;
    };
    /// What the host's transport says, kept so that spans inside a block advance from it.
    struct TPosition
    {
        bool Known = false;
        bool Playing = false;
        bool Looping = false;
        double Quarters = 0;  ///< song position in quarter notes
        double BarStart = 0;  ///< quarter notes
        double LoopStart = 0; ///< quarter notes
        double LoopEnd = 0;
        double Seconds = 0;
        bool SecondsKnown = false;
        double Tempo = 120;
        int Numerator = 4;
        int Denominator = 4;
    };

    std::intptr_t HostCall(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                           float opt);
    void QueueParameterEvent(std::uint16_t type, clap_id parameter, double value);
    bool TakeInputEvent(const clap_event_header_t& header);
    void SendPending(const clap_output_events_t& out) noexcept;
    void PushParameterEvent(const clap_output_events_t& out, const TPendingEvent& event,
                            std::uint32_t frame) noexcept;
    void ReadTransport(const clap_event_transport_t& transport) noexcept;
    /// The time info of a span of `length` frames that starts this many frames after the last
    /// transport reading.
    void FillTimeInfo(std::uint32_t framesSinceTransport, std::uint32_t length) noexcept;
    const void* HostExtension(const char* id) const;
    TEffectDriver& Driver() const;
    TEffectDriver& Formatter();
    void WatchEditorInput();
    void StopWatchingEditorInput();

    const clap_host_t* FHost;
    clap_plugin_t FPlugin{};
    const TProductDescription& FDescription;
    std::unique_ptr<TEffectDriver> FDriver;
    /// A second instance that formats and parses values without touching the playing one.
    std::unique_ptr<TEffectDriver> FFormatter;
    std::mutex FFormatLock;
    double FSampleRate = 44100;
    std::uint32_t FMaxFrames = TEffectDriver::kMaxSpan;

    // Processing state (audio thread).
    const clap_output_events_t* FOut = nullptr;
    TPosition FPosition;
    std::uint32_t FTransportFrame = 0; ///< the frame of the last transport reading in the block
    bool FWasPlaying = false;
    /// The song position counted on from the host's readings by frames.
    TPhaseLock FPhaseLock;
    bool FLocked = false; ///< FPhaseLock holds an anchor

    // Parameter events from the main thread. The audio thread only tries the lock: whoever
    // holds it asks the host for a flush after letting go, so nothing waits long.
    // The list grows only on the main thread; the audio thread empties it without freeing.
    std::mutex FPendingLock;
    std::vector<TPendingEvent> FPending;
    /// Parameters inside an editor gesture; a change outside one (a mapped controller) gets a
    /// gesture of its own. Written by the editor's thread, read by the audio thread.
    std::vector<std::atomic<bool>> FInGesture;

    // Editor.
    bool FGuiCreated = false;
    bool FGuiOpen = false;
    clap_id FTimer = CLAP_INVALID_ID;
    int FDescriptor = -1; ///< the editor's event descriptor while the host watches it
};

} // namespace tumblet
