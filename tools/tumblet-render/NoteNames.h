#pragma once

// Note names as musicians type them: C4 is note 60, sharps with '#', flats with 'b'.

#include <string>
#include <string_view>
#include <vector>

namespace tumblet
{

struct TChordNote
{
    int Pitch = 60;     ///< MIDI note 0..127
    int Velocity = 100; ///< 1..127
};

constexpr int kDefaultVelocity = 100;

/// "C4", "f#3", "Bb-1" or a number 0..127, optionally followed by ":velocity" (1..127).
/// Throws a usage error naming the bad text.
TChordNote ParseChordNote(std::string_view text);

/// A chord: notes separated by spaces or commas. Throws a usage error when empty or malformed.
std::vector<TChordNote> ParseChord(std::string_view text);

/// "C4", "C#4", "A-1" for 0..127.
std::string PitchName(int pitch);

} // namespace tumblet
