#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tumblet
{

/// One note. Each role of the list uses a subset of the fields.
struct TMidiNoteItem
{
    std::int32_t SourceNote = 0; ///< held note a generated note was made from
    std::int32_t Channel = 0;    ///< MIDI channel, 0 to 15
    double Length = 0.0;         ///< length of a generated note, in samples
    std::int32_t Note = 0;       ///< MIDI note number
    double Start = 0.0;          ///< absolute sample position where a generated note starts
    std::int32_t Velocity = 0;   ///< note-on velocity
};

class TMidiNoteList;

/// Change notification: a plain function and a context, so that raising it from the audio
/// thread allocates nothing.
using TMidiNoteListChangeHandler = void (*)(void* context, TMidiNoteList& sender);

/// Note names by note number modulo 12.
inline constexpr std::array<std::string_view, 12> NoteNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                               "F#", "G",  "G#", "A",  "A#", "B"};

/// The process-wide octave numbering offset (the LowestOctave setting); 0 at load.
// Thread: any.
std::int8_t OctaveOffset() noexcept;
// Thread: any.
void SetOctaveOffset(std::int8_t offset) noexcept;

/// Name and octave of a note, such as "C3" or "C−1" (U+2212 before a negative octave).
std::string NoteName(std::int32_t note);

/// An ordered list of MIDI notes: the held chord, the pressed keys or the sounding notes.
/// Storage for `capacity` notes is reserved at construction; an add beyond it is ignored, so
/// the list never allocates after construction.
// Thread: the owner's; every member but the NotesText string form is allocation-free.
class TMidiNoteList
{
public:
    static constexpr int kDefaultCapacity = 256;

    explicit TMidiNoteList(int capacity = kDefaultCapacity);
    TMidiNoteList(const TMidiNoteList&) = delete;
    TMidiNoteList& operator=(const TMidiNoteList&) = delete;

    /// false: adds do nothing when an item with the same Note exists; true: they always append.
    bool AllowDuplicates = false;

    /// Bound once by the owner, before the list is used from the audio thread.
    void SetOnChange(TMidiNoteListChangeHandler handler, void* context) noexcept;

    /// Each add returns whether an item was appended.
    bool AddNote(std::int32_t note);
    bool AddNote(std::int32_t channel, std::int32_t note, std::int32_t velocity);
    bool AddSounding(std::int32_t sourceNote, std::int32_t channel, double length, double start,
                     std::int32_t velocity, std::int32_t note);

    int IndexOfNote(std::int32_t note) const noexcept;
    /// Removes the first item with this Note; false when there is none.
    bool RemoveNote(std::int32_t note);
    /// Removes the item at index (out-of-range indices are ignored).
    void Delete(int index);
    /// Empties the list inside one update bracket (one notification); an empty list is left alone.
    void Clear();

    TMidiNoteItem& Items(int index) { return FItems[static_cast<std::size_t>(index)]; }
    const TMidiNoteItem& Items(int index) const { return FItems[static_cast<std::size_t>(index)]; }
    int Count() const noexcept { return static_cast<int>(FItems.size()); }
    int Capacity() const noexcept { return FCapacity; }

    /// Nested bracket: changes inside it notify once, when the outermost EndUpdate closes it.
    void BeginUpdate() noexcept;
    void EndUpdate();

    /// The notes' names joined by " - ", in list order.
    std::string NotesText() const;
    /// The same text written into buffer and zero-terminated, cut before the first name that
    /// does not fit; returns its length in bytes. Allocates nothing.
    std::size_t NotesText(char* buffer, std::size_t size) const noexcept;

private:
    bool Append(const TMidiNoteItem& item);
    void Changed();

    std::vector<TMidiNoteItem> FItems;
    int FCapacity;
    int FUpdateCount = 0;
    TMidiNoteListChangeHandler FOnChange = nullptr;
    void* FOnChangeContext = nullptr;
};

} // namespace tumblet
