#include "engine/Arpeggiator.h"

#include "engine/ArpeggiatorCodes.h"
#include "engine/Random.h"

#include <algorithm>

namespace tumblet
{

namespace
{

constexpr int kSemitonesPerOctave = 12;
constexpr std::int32_t kRestValue = -1;

// These note orders arrange the octaves themselves, so the octave order is taken as "Up".
bool ArrangesOctaves(std::uint8_t noteOrder)
{
    switch (noteOrder)
    {
    case kNoteOrderUpDown:
    case kNoteOrderUpDown2:
    case kNoteOrderConvergeUp:
    case kNoteOrderDownUp:
    case kNoteOrderDownUp2:
    case kNoteOrderConvergeDown:
    case kNoteOrderRandom:
    case kNoteOrderXross:
    case kNoteOrderRandomOnce:
        return true;
    default:
        return false;
    }
}

enum TSort
{
    kUnsorted,
    kAscending,
    kDescending,
};

void Sort(TBlxIntList& list, int sortOrder)
{
    if (sortOrder == kAscending)
    {
        list.SortAscending();
    }
    else if (sortOrder == kDescending)
    {
        list.SortDescending();
    }
}

} // namespace

void TArpeggiator::BuildSequence(bool restartFlag)
{
    if (FHeldNotes.Count() == 0)
    {
        return;
    }
    const bool hasPrevious = FSequenceIndex >= 0 && FSequenceIndex < FSequence.Count();
    const std::int32_t previous = hasPrevious ? FSequence.Items(FSequenceIndex) : kRestValue;
    FSequence.Clear();
    const int octaveCount = OctaveCount();
    BuildOctaveList(ArrangesOctaves(FNoteOrder) ? int{kOctaveOrderUp} : int{FOctaveOrder},
                    octaveCount);
    FillSequence();
    AppendRests();
    RestorePosition(restartFlag, previous);
}

// Octaves outside 1 to 5 (possible only through a faulty parameter layer) are held to that
// range, so the random part can never ask for a negative draw.
int TArpeggiator::OctaveCount()
{
    std::int64_t count = std::clamp<std::int32_t>(FOctaves, 1, kMaxOctaves);
    if (FOctavesRandom > 0)
    {
        std::int64_t extra = FOctavesRandom;
        if (count + extra > kMaxOctaves)
        {
            extra = kMaxOctaves - count;
        }
        count += Random(static_cast<std::uint32_t>(extra + 1));
    }
    return static_cast<int>(count);
}

// An unknown octave-order code (not reachable through the value list) is taken as "Up".
void TArpeggiator::BuildOctaveList(int effectiveOrder, int octaveCount)
{
    const int last = octaveCount - 1;
    FOctaveList.Clear();
    switch (effectiveOrder)
    {
    case kOctaveOrderDown:
    case kOctaveOrderDownUp:
    case kOctaveOrderDownUp2:
        for (int octave = last; octave >= 0; --octave)
        {
            FOctaveList.Add(octave);
        }
        break;
    default:
        for (int octave = 0; octave <= last; ++octave)
        {
            FOctaveList.Add(octave);
        }
        break;
    }
    switch (effectiveOrder)
    {
    case kOctaveOrderUpDown:
        for (int octave = last - 1; octave >= 1; --octave)
        {
            FOctaveList.Add(octave);
        }
        break;
    case kOctaveOrderUpDown2:
        for (int octave = last; octave >= 0; --octave)
        {
            FOctaveList.Add(octave);
        }
        break;
    case kOctaveOrderDownUp:
        for (int octave = 1; octave <= last - 1; ++octave)
        {
            FOctaveList.Add(octave);
        }
        break;
    case kOctaveOrderDownUp2:
        for (int octave = 0; octave <= last; ++octave)
        {
            FOctaveList.Add(octave);
        }
        break;
    case kOctaveOrderRandom:
    case kOctaveOrderRandomOnce:
        FOctaveList.Shuffle();
        break;
    default:
        break;
    }
}

// Appends the held chord transposed to the slot's octave, in held-chord order.
void TArpeggiator::FillBlock(int slot, TBlxIntList& list) const
{
    const std::int32_t transpose = FOctaveList.Items(slot) * kSemitonesPerOctave;
    for (int i = 0; i < FHeldNotes.Count(); ++i)
    {
        list.Add(FHeldNotes.Items(i).Note + transpose, i);
    }
}

void TArpeggiator::AppendBlock(int slot, int sortOrder, bool dropFirst, bool dropLast)
{
    FScratch.Clear();
    FillBlock(slot, FScratch);
    Sort(FScratch, sortOrder);
    if (dropFirst && FScratch.Count() > 0)
    {
        FScratch.Delete(0);
    }
    if (dropLast && FScratch.Count() > 0)
    {
        FScratch.Delete(FScratch.Count() - 1);
    }
    FSequence.AddList(FScratch);
}

void TArpeggiator::AppendAllBlocks(int sortOrder, bool converge)
{
    FScratch.Clear();
    for (int slot = 0; slot < FOctaveList.Count(); ++slot)
    {
        FillBlock(slot, FScratch);
    }
    Sort(FScratch, sortOrder);
    if (converge)
    {
        AppendConverged(FScratch);
    }
    else
    {
        FSequence.AddList(FScratch);
    }
}

void TArpeggiator::AppendBlocksConverged(int sortOrder)
{
    for (int slot = 0; slot < FOctaveList.Count(); ++slot)
    {
        FScratch.Clear();
        FillBlock(slot, FScratch);
        Sort(FScratch, sortOrder);
        AppendConverged(FScratch);
    }
}

void TArpeggiator::AppendBlocksShuffled()
{
    for (int slot = 0; slot < FOctaveList.Count(); ++slot)
    {
        FScratch.Clear();
        FillBlock(slot, FScratch);
        FScratch.Shuffle();
        FSequence.AddList(FScratch);
    }
}

// One pass through the slots one way, then back the other way; with trimEnds the turning
// points are not repeated.
void TArpeggiator::AppendPingPong(bool upFirst, bool trimEnds)
{
    const int last = FOctaveList.Count() - 1;
    const int firstOrder = upFirst ? kAscending : kDescending;
    const int secondOrder = upFirst ? kDescending : kAscending;
    for (int i = 0; i <= last; ++i)
    {
        AppendBlock(upFirst ? i : last - i, firstOrder, false, false);
    }
    for (int i = 0; i <= last; ++i)
    {
        const int slot = upFirst ? last - i : i;
        const bool atTurn = upFirst ? slot == last : slot == 0;
        const bool atStart = upFirst ? slot == 0 : slot == last;
        AppendBlock(slot, secondOrder, trimEnds && atTurn, trimEnds && atStart);
    }
}

void TArpeggiator::AppendPerOctavePingPong(bool upFirst)
{
    for (int slot = 0; slot < FOctaveList.Count(); ++slot)
    {
        AppendBlock(slot, upFirst ? kAscending : kDescending, false, false);
        AppendBlock(slot, upFirst ? kDescending : kAscending, true, false);
    }
}

// Walks the converged pairs back outwards, leaving out the innermost pair (or, for an odd
// count, the middle note and the pair next to it).
void TArpeggiator::AppendXrossReturn()
{
    FScratch.Clear();
    const int count = FSequence.Count();
    if (count <= 3)
    {
        return;
    }
    for (int index = count % 2 == 0 ? count - 4 : count - 3; index >= 0; index -= 2)
    {
        FScratch.Add(FSequence.Items(index), FSequence.Counter(index));
        FScratch.Add(FSequence.Items(index + 1), FSequence.Counter(index + 1));
    }
    FSequence.AddList(FScratch);
}

void TArpeggiator::FillSequence()
{
    switch (FNoteOrder)
    {
    case kNoteOrderUp:
    case kNoteOrderDown:
    case kNoteOrderAsPlayed:
    {
        const int order = FNoteOrder == kNoteOrderUp     ? kAscending
                          : FNoteOrder == kNoteOrderDown ? kDescending
                                                         : kUnsorted;
        for (int slot = 0; slot < FOctaveList.Count(); ++slot)
        {
            AppendBlock(slot, order, false, false);
        }
        break;
    }
    case kNoteOrderUpDown:
    case kNoteOrderUpDown2:
        AppendPingPong(true, FNoteOrder == kNoteOrderUpDown);
        break;
    case kNoteOrderDownUp:
    case kNoteOrderDownUp2:
        AppendPingPong(false, FNoteOrder == kNoteOrderDownUp);
        break;
    case kNoteOrderUpDownOct:
    case kNoteOrderDownUpOct:
        AppendPerOctavePingPong(FNoteOrder == kNoteOrderUpDownOct);
        break;
    case kNoteOrderConvergeUp:
        AppendAllBlocks(kAscending, true);
        break;
    case kNoteOrderConvergeDown:
        AppendAllBlocks(kDescending, true);
        break;
    case kNoteOrderConvergeUpOct:
        AppendBlocksConverged(kAscending);
        break;
    case kNoteOrderConvergeDownOct:
        AppendBlocksConverged(kDescending);
        break;
    case kNoteOrderRandom:
    case kNoteOrderRandomOnce:
        FScratch.Clear();
        for (int slot = 0; slot < FOctaveList.Count(); ++slot)
        {
            FillBlock(slot, FScratch);
        }
        FScratch.Shuffle();
        FSequence.AddList(FScratch);
        break;
    case kNoteOrderRandomOct:
    case kNoteOrderRandomOctOnce:
        AppendBlocksShuffled();
        break;
    case kNoteOrderXross:
        AppendAllBlocks(kAscending, true);
        AppendXrossReturn();
        break;
    default:
        break;
    }
}

// Converges the list from both ends into the Sequence: an ascending a0 < a1 < ... < a5 goes in
// as a0 a5 a1 a4 a2 a3. The same order as moving the last pair to positions 1, 3, 5, ... in
// place, but linear rather than quadratic in the length.
void TArpeggiator::AppendConverged(const TBlxIntList& list)
{
    int front = 0;
    int back = list.Count() - 1;
    bool fromFront = true;
    while (front <= back)
    {
        const int index = fromFront ? front++ : back--;
        FSequence.Add(list.Items(index), list.Counter(index));
        fromFront = !fromFront;
    }
}

// Rests beyond the reserved room are dropped rather than grown into.
void TArpeggiator::AppendRests()
{
    const int rests = std::clamp(FRest, 0, FSequence.Free());
    for (int i = 0; i < rests; ++i)
    {
        FSequence.Add(kRestValue, 0);
    }
}

// Without a restart the arpeggio carries on after the pitch it played last, when that pitch is
// still in the new sequence.
void TArpeggiator::RestorePosition(bool restartFlag, std::int32_t previous)
{
    FSequenceIndex = -1;
    if (restartFlag || previous <= kRestValue)
    {
        return;
    }
    for (int i = 0; i < FSequence.Count(); ++i)
    {
        if (FSequence.Items(i) == previous)
        {
            FSequenceIndex = i;
            return;
        }
    }
}

} // namespace tumblet
