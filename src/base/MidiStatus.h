#pragma once

// MIDI channel messages: the kinds in a status byte's upper half, the channel in its lower half.

#include <cstdint>

namespace tumblet
{

inline constexpr std::uint8_t kMidiNoteOff = 0x80;
inline constexpr std::uint8_t kMidiNoteOn = 0x90;
inline constexpr std::uint8_t kMidiPolyPressure = 0xA0;
inline constexpr std::uint8_t kMidiControlChange = 0xB0;
inline constexpr std::uint8_t kMidiProgramChange = 0xC0;
inline constexpr std::uint8_t kMidiChannelPressure = 0xD0;
inline constexpr std::uint8_t kMidiPitchBend = 0xE0;
inline constexpr std::uint8_t kMidiSystem = 0xF0;

constexpr std::uint8_t MidiKind(std::uint8_t status)
{
    return status & 0xF0;
}

constexpr std::uint8_t MidiChannel(std::uint8_t status)
{
    return status & 0x0F;
}

/// A status byte for a kind on a channel (0 to 15; higher bits are dropped).
constexpr std::uint8_t MidiStatus(std::uint8_t kind, std::int32_t channel)
{
    return static_cast<std::uint8_t>(kind | (channel & 0x0F));
}

/// The data bytes after a channel message's status: one for program change and channel
/// pressure, two for the others.
constexpr int MidiDataBytes(std::uint8_t status)
{
    const std::uint8_t kind = MidiKind(status);
    return kind == kMidiProgramChange || kind == kMidiChannelPressure ? 1 : 2;
}

/// A note-on with velocity 0 ends its note, as a note-off does.
constexpr bool IsMidiNoteOn(std::uint8_t status, std::uint8_t velocity)
{
    return MidiKind(status) == kMidiNoteOn && velocity != 0;
}

constexpr bool IsMidiNoteOff(std::uint8_t status, std::uint8_t velocity)
{
    return MidiKind(status) == kMidiNoteOff || (MidiKind(status) == kMidiNoteOn && velocity == 0);
}

} // namespace tumblet
