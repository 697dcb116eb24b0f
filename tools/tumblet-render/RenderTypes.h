#pragma once

// Plain records shared by the parts of the tool. Times are counted from the first sample of the
// render ("render time"), which keeps running through loop jumps and a stopped transport, so a
// recording reads the way it was heard.

#include <cstdint>
#include <string>
#include <vector>

namespace tumblet
{

/// The longest render the tool plays, in quarter-note beats: about 14 hours at 120 BPM.
constexpr double kMaxRenderBeats = 100000.0;
/// Tempo range in beats per minute; a MIDI file cannot hold a slower one (24-bit microseconds).
constexpr double kMinTempo = 4.0;
constexpr double kMaxTempo = 999.0;
/// Time signatures: 1 to 32 over 1, 2, 4, 8, 16 or 32.
constexpr int kMaxNumerator = 32;
constexpr int kMaxDenominator = 32;

/// One channel message (note, controller, pressure, bend) at a time in beats of render time.
struct TTimedMessage
{
    double Beat = 0.0;         ///< quarter-note beats from the render start
    std::uint8_t Data[3] = {}; ///< status and two data bytes
};

/// One channel message at a sample of render time, as the plug-in sent it.
struct TRecordedEvent
{
    std::int64_t Sample = 0; ///< block start plus the event's deltaFrames; may be negative
    std::uint8_t Data[3] = {};
};

/// A note-on paired with its note-off.
struct TRenderedNote
{
    std::int64_t StartSample = 0;
    std::int64_t EndSample = 0; ///< the note-off, or the render end when none came
    int Pitch = 0;
    int Velocity = 0;
    int Channel = 0;    ///< 0..15
    bool Closed = true; ///< false when the render ended before the note-off
};

/// A note the user asked to play, for the input lane of the piano roll.
struct TInputNote
{
    double StartBeat = 0.0;
    double EndBeat = 0.0;
    int Pitch = 0;
    int Velocity = 0;
};

/// The time grid of a render: tempo, metre, rate and length.
struct TTimeGrid
{
    double Tempo = 120.0; ///< beats per minute
    int Numerator = 4;
    int Denominator = 4;
    double SampleRate = 44100.0; ///< Hz
    double LengthBeats = 16.0;   ///< render length in quarter-note beats

    double SamplesPerBeat() const { return SampleRate * 60.0 / Tempo; }
    double BeatsPerBar() const { return Numerator * 4.0 / Denominator; }
};

} // namespace tumblet
