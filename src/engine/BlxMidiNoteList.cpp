#include "engine/BlxMidiNoteList.h"

#include "engine/IntText.h"

#include <atomic>
#include <cstring>

namespace tumblet
{

namespace
{

std::atomic<std::int8_t> gOctaveOffset{0};

constexpr std::string_view kSeparator = " - ";
constexpr int kNotesPerOctave = 12;

// Longest name: a two-byte note name and an octave number.
constexpr std::size_t kNoteNameMax = 2 + kIntTextMax;

std::size_t FormatNoteName(std::int32_t note, char* out) noexcept
{
    // Floor division keeps the name table index in range for any note number.
    std::int32_t octave = note / kNotesPerOctave;
    std::int32_t pitchClass = note % kNotesPerOctave;
    if (pitchClass < 0)
    {
        pitchClass += kNotesPerOctave;
        --octave;
    }
    const std::string_view name = NoteNames[static_cast<std::size_t>(pitchClass)];
    std::memcpy(out, name.data(), name.size());
    return name.size() + FormatIntText(octave + OctaveOffset(), out + name.size());
}

} // namespace

std::int8_t OctaveOffset() noexcept
{
    return gOctaveOffset.load(std::memory_order_relaxed);
}

void SetOctaveOffset(std::int8_t offset) noexcept
{
    gOctaveOffset.store(offset, std::memory_order_relaxed);
}

std::string NoteName(std::int32_t note)
{
    char buffer[kNoteNameMax];
    return std::string(buffer, FormatNoteName(note, buffer));
}

TMidiNoteList::TMidiNoteList(int capacity) : FCapacity(capacity < 0 ? 0 : capacity)
{
    FItems.reserve(static_cast<std::size_t>(FCapacity));
}

void TMidiNoteList::SetOnChange(TMidiNoteListChangeHandler handler, void* context) noexcept
{
    FOnChange = handler;
    FOnChangeContext = context;
}

bool TMidiNoteList::AddNote(std::int32_t note)
{
    TMidiNoteItem item;
    item.Note = note;
    return Append(item);
}

bool TMidiNoteList::AddNote(std::int32_t channel, std::int32_t note, std::int32_t velocity)
{
    TMidiNoteItem item;
    item.Channel = channel;
    item.Note = note;
    item.Velocity = velocity;
    return Append(item);
}

bool TMidiNoteList::AddSounding(std::int32_t sourceNote, std::int32_t channel, double length,
                                double start, std::int32_t velocity, std::int32_t note)
{
    const TMidiNoteItem item{sourceNote, channel, length, note, start, velocity};
    return Append(item);
}

// The item is complete before anyone hears of it, so a handler never sees a half-filled note.
bool TMidiNoteList::Append(const TMidiNoteItem& item)
{
    if (!AllowDuplicates && IndexOfNote(item.Note) != -1)
    {
        return false;
    }
    if (Count() >= FCapacity)
    {
        return false;
    }
    FItems.push_back(item);
    Changed();
    return true;
}

int TMidiNoteList::IndexOfNote(std::int32_t note) const noexcept
{
    for (std::size_t i = 0; i < FItems.size(); ++i)
    {
        if (FItems[i].Note == note)
        {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool TMidiNoteList::RemoveNote(std::int32_t note)
{
    const int index = IndexOfNote(note);
    if (index == -1)
    {
        return false;
    }
    Delete(index);
    return true;
}

void TMidiNoteList::Delete(int index)
{
    if (index < 0 || index >= Count())
    {
        return;
    }
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TMidiNoteList::Clear()
{
    if (FItems.empty())
    {
        return;
    }
    BeginUpdate();
    while (!FItems.empty())
    {
        Delete(Count() - 1);
    }
    EndUpdate();
}

void TMidiNoteList::BeginUpdate() noexcept
{
    ++FUpdateCount;
}

void TMidiNoteList::EndUpdate()
{
    if (FUpdateCount == 0)
    {
        return;
    }
    if (--FUpdateCount == 0 && FOnChange != nullptr)
    {
        FOnChange(FOnChangeContext, *this);
    }
}

void TMidiNoteList::Changed()
{
    if (FUpdateCount == 0 && FOnChange != nullptr)
    {
        FOnChange(FOnChangeContext, *this);
    }
}

std::string TMidiNoteList::NotesText() const
{
    std::string text;
    char name[kNoteNameMax];
    for (std::size_t i = 0; i < FItems.size(); ++i)
    {
        if (i > 0)
        {
            text += kSeparator;
        }
        text.append(name, FormatNoteName(FItems[i].Note, name));
    }
    return text;
}

std::size_t TMidiNoteList::NotesText(char* buffer, std::size_t size) const noexcept
{
    if (buffer == nullptr || size == 0)
    {
        return 0;
    }
    std::size_t length = 0;
    char name[kNoteNameMax];
    for (std::size_t i = 0; i < FItems.size(); ++i)
    {
        const std::size_t nameLength = FormatNoteName(FItems[i].Note, name);
        const std::size_t separatorLength = i > 0 ? kSeparator.size() : 0;
        if (length + separatorLength + nameLength + 1 > size)
        {
            break;
        }
        std::memcpy(buffer + length, kSeparator.data(), separatorLength);
        length += separatorLength;
        std::memcpy(buffer + length, name, nameLength);
        length += nameLength;
    }
    buffer[length] = '\0';
    return length;
}

} // namespace tumblet
