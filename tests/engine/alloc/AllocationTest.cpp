// Replaces the global allocation functions with counting ones, so this binary can prove that
// the engine's processing path never touches the heap.

#include "engine/Arpeggiator.h"
#include "engine/Random.h"
#include "support/CountingAllocator.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

constexpr int kBlockSize = 256;
constexpr int kBlocks = 20000;

// Changes the chord and the settings the way a busy session would: notes arrive and leave
// (with duplicates, and beyond the held-note bound), every order and octave setting is visited,
// and the tempo, rate, speed and loop move.
void ChangeSomething(TArpeggiator& engine, int block)
{
    TMidiNoteList& held = engine.HeldNotes();
    switch (block % 16)
    {
    case 0:
        held.BeginUpdate();
        for (int i = 0; i < 40; ++i)
        {
            held.AddNote(i % 16, 36 + (block / 16 + i * 7) % 60, 1 + (block + i) % 127);
        }
        held.EndUpdate();
        break;
    case 3:
        held.RemoveNote(held.Count() > 0 ? held.Items(0).Note : 0);
        break;
    case 5:
        engine.SetNoteOrder(static_cast<std::uint8_t>((block / 16) % 18));
        engine.SetOctaveOrder(static_cast<std::uint8_t>((block / 32) % 8));
        break;
    case 7:
        engine.SetOctaves(1 + (block / 16) % 5);
        engine.SetOctavesRandom((block / 48) % 4);
        engine.SetRest((block / 64) % 2 == 0 ? (block / 16) % 17 : 1000);
        break;
    case 9:
        engine.SetRate(static_cast<std::uint8_t>((block / 16) % 9));
        engine.SetNoteType(static_cast<std::uint8_t>((block / 16) % 3));
        engine.SetVelocityMode(static_cast<std::uint8_t>((block / 16) % 7));
        break;
    case 11:
        engine.SetSpeed((block / 160) % 3 == 0 ? 0 : ((block / 16) % 7 - 3) * 100);
        if ((block / 16) % 16 == 0)
        {
            engine.SetTempo(90.0 + (block / 256) % 60);
        }
        break;
    case 13:
        if (block % 4096 == 13)
        {
            engine.ClearAll();
        }
        else if (block % 1024 == 13)
        {
            engine.SetLatch(!engine.Latch());
        }
        break;
    default:
        break;
    }
}

TEST(ArpeggiatorAllocationTest, LongRunWithChordChangesAllocatesNothing)
{
    SetRandSeed(4242);
    TArpeggiator engine;
    engine.SetVelocityRandom(40);
    engine.SetGateRandom(60);
    engine.SetShiftRandom(20);
    engine.SetSwing(30);
    engine.SetSwingRandom(30);
    engine.SetNoteProbability(80);
    engine.SetCycleActive(true);
    engine.SetCycleEnd(engine.BeatsToSamples(64.0));
    char infoLine[256];

    test::TAllocationCounter::Start();
    long notes = 0;
    double samplePos = 0.0;
    for (int block = 0; block < kBlocks; ++block)
    {
        ChangeSomething(engine, block);
        if (block % 2000 == 1999)
        {
            samplePos = 0.0; // the host loop jumps back
        }
        engine.SetSamplePos(samplePos);
        engine.SetPpq(engine.SamplesToBeats(samplePos));
        if (engine.GenerateStep(kBlockSize))
        {
            ++notes;
        }
        engine.HeldNotes().NotesText(infoLine, sizeof(infoLine));
        samplePos += kBlockSize;
    }
    const long allocations = test::TAllocationCounter::Stop();

    EXPECT_EQ(allocations, 0);
    EXPECT_GT(notes, 500) << "the run must actually play";
}

TEST(ArpeggiatorAllocationTest, LargestChordBuildsWithoutAllocating)
{
    TArpeggiator engine;
    engine.SetOctaves(5);
    engine.SetOctaveOrder(3);
    test::TAllocationCounter::Start();
    engine.HeldNotes().BeginUpdate();
    for (int i = 0; i < TArpeggiator::kMaxHeldNotes * 2; ++i)
    {
        engine.HeldNotes().AddNote(0, i % 128, 100);
    }
    engine.HeldNotes().EndUpdate();
    for (int order = 0; order < 18; ++order)
    {
        engine.SetNoteOrder(static_cast<std::uint8_t>(order));
        engine.SetRest(order % 2 == 0 ? 16 : 1000);
    }
    const long allocations = test::TAllocationCounter::Stop();
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(engine.HeldNotes().Count(), TArpeggiator::kMaxHeldNotes);
}

} // namespace
} // namespace tumblet
