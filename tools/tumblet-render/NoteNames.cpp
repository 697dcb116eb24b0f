#include "NoteNames.h"

#include "RenderError.h"

#include <cctype>
#include <charconv>

namespace tumblet
{

namespace
{

constexpr int kLowestNote = 0;
constexpr int kHighestNote = 127;
constexpr int kSemitonesPerOctave = 12;
// C4 = 60, so octave -1 starts at note 0.
constexpr int kOctaveOffset = 1;

bool ParseInt(std::string_view text, int& value)
{
    if (text.empty())
        return false;
    if (text.front() == '+')
        text.remove_prefix(1);
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

int PitchClass(char letter)
{
    static const int kClasses[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    return upper >= 'A' && upper <= 'G' ? kClasses[upper - 'A'] : -1;
}

bool ParseNoteName(std::string_view text, int& pitch)
{
    if (text.empty())
        return false;
    int value = PitchClass(text.front());
    if (value < 0)
        return false;
    text.remove_prefix(1);
    while (!text.empty() && (text.front() == '#' || text.front() == 'b'))
    {
        value += text.front() == '#' ? 1 : -1;
        text.remove_prefix(1);
    }
    int octave = 0;
    if (!ParseInt(text, octave) || text.front() == '+')
        return false;
    pitch = value + (octave + kOctaveOffset) * kSemitonesPerOctave;
    return true;
}

} // namespace

TChordNote ParseChordNote(std::string_view text)
{
    const std::string quoted = "'" + std::string(text) + "'";
    TChordNote note;
    std::string_view pitchText = text;
    const auto colon = text.find(':');
    if (colon != std::string_view::npos)
    {
        pitchText = text.substr(0, colon);
        if (!ParseInt(text.substr(colon + 1), note.Velocity) || note.Velocity < 1 ||
            note.Velocity > kHighestNote)
            ThrowUsage("bad velocity in " + quoted + ": give 1 to 127, as in C4:90");
    }
    const bool numeric =
        !pitchText.empty() && std::isdigit(static_cast<unsigned char>(pitchText[0]));
    const bool parsed =
        numeric ? ParseInt(pitchText, note.Pitch) : ParseNoteName(pitchText, note.Pitch);
    if (!parsed)
        ThrowUsage("bad note " + quoted +
                   ": give a name such as C4, F#3, Bb2 or a number 0 to 127");
    if (note.Pitch < kLowestNote || note.Pitch > kHighestNote)
        ThrowUsage("note " + quoted + " is outside the MIDI range C-1 (0) to G9 (127)");
    return note;
}

std::vector<TChordNote> ParseChord(std::string_view text)
{
    std::vector<TChordNote> chord;
    std::size_t pos = 0;
    while (pos < text.size())
    {
        const auto start = text.find_first_not_of(" ,\t", pos);
        if (start == std::string_view::npos)
            break;
        auto end = text.find_first_of(" ,\t", start);
        if (end == std::string_view::npos)
            end = text.size();
        chord.push_back(ParseChordNote(text.substr(start, end - start)));
        pos = end;
    }
    if (chord.empty())
        ThrowUsage("empty chord: give notes such as \"C4 E4 G4\"");
    return chord;
}

std::string PitchName(int pitch)
{
    static const char* const kNames[] = {"C",  "C#", "D",  "D#", "E",  "F",
                                         "F#", "G",  "G#", "A",  "A#", "B"};
    if (pitch < kLowestNote || pitch > kHighestNote)
        return "?";
    return std::string(kNames[pitch % kSemitonesPerOctave]) +
           std::to_string(pitch / kSemitonesPerOctave - kOctaveOffset);
}

} // namespace tumblet
