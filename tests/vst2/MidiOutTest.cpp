#include "vst2/LayerTestModule.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace tumblet::test
{
namespace
{

constexpr std::int32_t kBlock = 1024;

class MidiOutTest : public ::testing::Test
{
protected:
    /// Every audioMasterProcessEvents call so far: the module asks nothing else of the host here.
    std::vector<TRecordedHostCall>& Flushes() { return Module->HostCalls; }

    std::unique_ptr<TLayerTestModule> Module = TLayerTestModule::Create(nullptr);
};

struct TQueueCase
{
    const char* Name;
    void (*Queue)(TVSTModuleWithMidi&);
    std::uint8_t Bytes[3];
};

const TQueueCase kQueueCases[] = {
    {"NoteOn", [](TVSTModuleWithMidi& m) { m.QueueNoteOn(15, 60, 100, 3); }, {0x9F, 0x3C, 0x64}},
    {"NoteOff",
     [](TVSTModuleWithMidi& m)
     {
         m.QueueNoteOn(1, 64, 1, 2); // a note-off is sent only for a sounding note
         m.QueueNoteOff(1, 64, 0, 3);
     },
     {0x81, 64, 0}},
    {"ControlChange",
     [](TVSTModuleWithMidi& m) { m.QueueControlChange(2, 7, 127, 3); },
     {0xB2, 7, 127}},
    {"PolyPressure",
     [](TVSTModuleWithMidi& m) { m.QueuePolyPressure(3, 60, 5, 3); },
     {0xA3, 60, 5}},
    {"PitchBend", [](TVSTModuleWithMidi& m) { m.QueuePitchBend(4, 0, 64, 3); }, {0xE4, 0, 64}},
    {"ChannelPressure",
     [](TVSTModuleWithMidi& m) { m.QueueChannelPressure(0, 80, 3); },
     {0xD0, 0x50, 0x00}},
};

// Each event is a plain 24-byte MIDI event: the fields a host may read but that carry nothing
// here are zero.
TEST_F(MidiOutTest, EveryQueueOperationWritesItsStatusAndData)
{
    for (const TQueueCase& c : kQueueCases)
    {
        SCOPED_TRACE(c.Name);
        Flushes().clear();
        c.Queue(*Module);
        Module->FlushMidiOut(kBlock);
        ASSERT_EQ(Flushes().size(), 1u);
        const VstMidiEvent& e = Flushes()[0].Events.back();
        EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[0]), c.Bytes[0]);
        EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[1]), c.Bytes[1]);
        EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[2]), c.Bytes[2]);
        EXPECT_EQ(e.deltaFrames, 3);
        EXPECT_EQ(e.type, kVstMidiType);
        EXPECT_EQ(e.byteSize, 24);
        EXPECT_EQ(e.midiData[3], 0);
        EXPECT_EQ(e.flags | e.noteLength | e.noteOffset | e.detune | e.noteOffVelocity, 0);
    }
}

TEST_F(MidiOutTest, StatusIsAnUnmaskedByteSum)
{
    // Channels beyond 15 are the caller's fault; the byte simply wraps.
    Module->QueueNoteOn(0x70, 0x13C, 0x164, 5);
    Module->FlushMidiOut(kBlock);
    const VstMidiEvent& e = Flushes().at(0).Events.at(0);
    EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[0]), 0x00);
    EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[1]), 0x3C);
    EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[2]), 0x64);
    EXPECT_EQ(e.deltaFrames, 5);
}

TEST_F(MidiOutTest, BlockCarriesAtMost1023Events)
{
    for (int i = 0; i < 1030; ++i)
        Module->QueueControlChange(0, 7, i % 128, i);
    EXPECT_EQ(Module->MidiOutCount(), 1023);
    Module->FlushMidiOut(kBlock);
    ASSERT_EQ(Flushes().size(), 1u);
    ASSERT_EQ(Flushes()[0].Events.size(), 1023u);
    for (int i = 0; i < 1023; ++i)
        ASSERT_EQ(Flushes()[0].Events[i].deltaFrames, i);
    EXPECT_EQ(Module->MidiOutCount(), 0);
}

// Issue 16: hosts drop events that are out of time order or outside the block.
TEST_F(MidiOutTest, FlushSendsInTimeOrderInsideTheBlockAndCarriesTheRest)
{
    Module->QueueNoteOn(0, 60, 1, 40);
    Module->QueueNoteOn(0, 61, 1, 10);
    Module->QueueControlChange(0, 1, 2, -615);
    Module->QueueNoteOn(0, 62, 1, 25);
    Module->QueueNoteOff(0, 61, 0, 64);
    Module->QueueNoteOff(0, 62, 0, 25 + 64);
    Module->FlushMidiOut(64);
    Module->FlushMidiOut(64);
    ASSERT_EQ(Flushes().size(), 2u);
    const std::vector<std::pair<int, int>> first = {{0xB0, 0}, {0x90, 10}, {0x90, 25}, {0x90, 40}};
    const std::vector<std::pair<int, int>> second = {{0x80, 0}, {0x80, 25}};
    for (const auto& [flush, expected] : {std::pair{0, first}, std::pair{1, second}})
    {
        const auto& events = Flushes()[flush].Events;
        ASSERT_EQ(events.size(), expected.size());
        for (std::size_t i = 0; i < events.size(); ++i)
        {
            EXPECT_EQ(static_cast<std::uint8_t>(events[i].midiData[0]), expected[i].first);
            EXPECT_EQ(events[i].deltaFrames, expected[i].second);
        }
    }
}

// Issue 16: a held pitch repeated every step must not be cut by the previous note's late
// note-off, and the host never sees two note-ons or a stray note-off for one key.
TEST_F(MidiOutTest, NoteOnsAndNoteOffsOfAKeyAlternate)
{
    Module->QueueNoteOn(0, 60, 100, 0);
    Module->QueueNoteOff(0, 60, 0, 300); // due a little after the next note-on
    Module->QueueNoteOn(0, 60, 100, 296);
    Module->QueueNoteOff(0, 61, 0, 10); // never started
    Module->QueueNoteOn(1, 62, 100, 5);
    Module->QueueNoteOn(1, 62, 100, 6); // already sounding
    Module->FlushMidiOut(kBlock);
    const auto& events = Flushes().at(0).Events;
    const std::vector<std::pair<int, int>> expected = {
        {0x90, 0}, {0x91, 5}, {0x80, 296}, {0x90, 296}};
    ASSERT_EQ(events.size(), expected.size());
    for (std::size_t i = 0; i < events.size(); ++i)
    {
        EXPECT_EQ(static_cast<std::uint8_t>(events[i].midiData[0]), expected[i].first);
        EXPECT_EQ(events[i].deltaFrames, expected[i].second);
    }
}

TEST_F(MidiOutTest, NothingQueuedMeansNoHostCallAndRefusedFlushStillEmpties)
{
    Module->FlushMidiOut(kBlock);
    EXPECT_TRUE(Flushes().empty());
    Module->ProcessEventsAnswer = 0;
    Module->QueueNoteOn(0, 60, 1, 0);
    Module->FlushMidiOut(kBlock);
    EXPECT_EQ(Flushes().size(), 1u);
    EXPECT_EQ(Module->MidiOutCount(), 0);
}

class EventDispatchTest : public ::testing::Test
{
protected:
    std::unique_ptr<TLayerTestModule> Module = TLayerTestModule::Create(nullptr);
    std::vector<std::string> Seen;

    void SendBlock(std::vector<VstEvent*> events)
    {
        std::vector<char> memory(offsetof(VstEvents, events) +
                                 std::max<std::size_t>(events.size(), 2) * sizeof(VstEvent*));
        auto* block = reinterpret_cast<VstEvents*>(memory.data());
        block->numEvents = static_cast<std::int32_t>(events.size());
        if (!events.empty())
            std::memcpy(EventList(*block), events.data(), events.size() * sizeof(VstEvent*));
        Module->Call(effProcessEvents, 0, 0, block);
    }
};

TEST_F(EventDispatchTest, EachTypeReachesItsHookInBlockOrder)
{
    Module->OnProcessEvents = [this](TVSTModuleWithMidi&, TVstEvents&) { Seen.push_back("block"); };
    Module->OnProcessMidi = [this](TVSTModuleWithMidi&, const TVstMidiEvent&)
    { Seen.push_back("midi"); };
    Module->OnProcessMidiSysEx = [this](TVSTModuleWithMidi&, const VstMidiSysExEvent&)
    { Seen.push_back("sysex"); };
    Module->OnProcessEvent = [this](TVSTModuleWithMidi&, const VstEvent& e)
    { Seen.push_back("other" + std::to_string(e.type)); };
    VstMidiEvent midi{};
    midi.type = kVstMidiType;
    VstMidiSysExEvent sysex{};
    sysex.type = kVstSysExType;
    VstEvent trigger{};
    trigger.type = kVstTriggerType;
    SendBlock({reinterpret_cast<VstEvent*>(&midi), reinterpret_cast<VstEvent*>(&sysex), &trigger});
    EXPECT_EQ(Seen, (std::vector<std::string>{"block", "midi", "sysex", "other5"}));
}

TEST_F(EventDispatchTest, UnassignedHooksAreSkippedAndEmptyBlockOnlyAnnounced)
{
    Module->OnProcessEvents = [this](TVSTModuleWithMidi&, TVstEvents&) { Seen.push_back("block"); };
    SendBlock({});
    EXPECT_EQ(Seen, (std::vector<std::string>{"block"}));
    Module->OnProcessMidi = [this](TVSTModuleWithMidi&, const TVstMidiEvent&)
    { Seen.push_back("midi"); };
    VstMidiSysExEvent sysex{};
    sysex.type = kVstSysExType;
    SendBlock({reinterpret_cast<VstEvent*>(&sysex)});
    EXPECT_EQ(Seen, (std::vector<std::string>{"block", "block"}));
}

// Found by the host-call fuzzer: a block declares two event slots but carries numEvents of them;
// reading past the declared two must be a plain pointer walk, not an out-of-bounds index.
TEST_F(EventDispatchTest, BlockLongerThanItsDeclaredTwoSlotsIsReadWhole)
{
    std::vector<int> notes;
    Module->OnProcessMidi = [&](TVSTModuleWithMidi&, const TVstMidiEvent& e)
    { notes.push_back(e.midiData[1]); };
    VstMidiEvent midi[5]{};
    std::vector<VstEvent*> events;
    for (int i = 0; i < 5; ++i)
    {
        midi[i].type = kVstMidiType;
        midi[i].midiData[1] = static_cast<char>(60 + i);
        events.push_back(reinterpret_cast<VstEvent*>(&midi[i]));
    }
    SendBlock(events);
    EXPECT_EQ(notes, (std::vector<int>{60, 61, 62, 63, 64}));
}

TEST_F(EventDispatchTest, NullBlockAnswersOneAndNullEntriesAreSkipped)
{
    EXPECT_EQ(Module->Call(effProcessEvents), 1);
    int midiCount = 0;
    Module->OnProcessMidi = [&](TVSTModuleWithMidi&, const TVstMidiEvent&) { ++midiCount; };
    VstMidiEvent midi{};
    midi.type = kVstMidiType;
    SendBlock({nullptr, reinterpret_cast<VstEvent*>(&midi)});
    EXPECT_EQ(midiCount, 1);
}

} // namespace
} // namespace tumblet::test
