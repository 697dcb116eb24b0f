#include "host/TestModule.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace tumblet::test
{
namespace
{

struct TFlushed
{
    std::vector<VstMidiEvent> Events;
};

// Records what the module hands to the host in audioMasterProcessEvents.
std::vector<TFlushed>* gFlushes = nullptr;
std::intptr_t gProcessEventsAnswer = 1;

std::intptr_t RecordingHost(AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr,
                            float)
{
    if (opcode == audioMasterVersion)
        return kVstVersion;
    if (opcode == audioMasterProcessEvents && gFlushes != nullptr)
    {
        auto* block = static_cast<VstEvents*>(ptr);
        TFlushed flushed;
        for (std::int32_t i = 0; i < block->numEvents; ++i)
            flushed.Events.push_back(*reinterpret_cast<VstMidiEvent*>(EventList(*block)[i]));
        gFlushes->push_back(flushed);
        return gProcessEventsAnswer;
    }
    return 0;
}

class MidiOutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gFlushes = &Flushes;
        gProcessEventsAnswer = 1;
        Module = TTestModule::CreateConnected(&RecordingHost);
    }
    void TearDown() override { gFlushes = nullptr; }

    std::vector<TFlushed> Flushes;
    std::unique_ptr<TTestModule> Module;
};

TEST_F(MidiOutTest, NoteOnBytesAndUntouchedFields)
{
    Module->QueueNoteOn(15, 60, 100, 17);
    Module->FlushMidiOut();
    ASSERT_EQ(Flushes.size(), 1u);
    ASSERT_EQ(Flushes[0].Events.size(), 1u);
    const VstMidiEvent& e = Flushes[0].Events[0];
    EXPECT_EQ(e.type, kVstMidiType);
    EXPECT_EQ(e.byteSize, 24);
    EXPECT_EQ(e.deltaFrames, 17);
    EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[0]), 0x9F);
    EXPECT_EQ(e.midiData[1], 0x3C);
    EXPECT_EQ(e.midiData[2], 0x64);
    EXPECT_EQ(e.midiData[3], 0);
    EXPECT_EQ(e.flags, 0);
    EXPECT_EQ(e.noteLength, 0);
    EXPECT_EQ(e.noteOffset, 0);
    EXPECT_EQ(e.detune, 0);
    EXPECT_EQ(e.noteOffVelocity, 0);
}

struct TQueueCase
{
    const char* Name;
    void (*Queue)(TVSTModuleWithMidi&);
    std::uint8_t Bytes[3];
};

const TQueueCase kQueueCases[] = {
    {"NoteOff", [](TVSTModuleWithMidi& m) { m.QueueNoteOff(1, 64, 0, 3); }, {0x81, 64, 0}},
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

TEST_F(MidiOutTest, EveryQueueOperationWritesItsStatusAndData)
{
    for (const TQueueCase& c : kQueueCases)
    {
        SCOPED_TRACE(c.Name);
        Flushes.clear();
        c.Queue(*Module);
        Module->FlushMidiOut();
        ASSERT_EQ(Flushes.size(), 1u);
        const VstMidiEvent& e = Flushes[0].Events.at(0);
        EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[0]), c.Bytes[0]);
        EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[1]), c.Bytes[1]);
        EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[2]), c.Bytes[2]);
        EXPECT_EQ(e.deltaFrames, 3);
    }
}

TEST_F(MidiOutTest, StatusIsAnUnmaskedByteSum)
{
    // Channels beyond 15 are the caller's fault; the byte simply wraps.
    Module->QueueNoteOn(0x70, 0x13C, 0x164, -5);
    Module->FlushMidiOut();
    const VstMidiEvent& e = Flushes.at(0).Events.at(0);
    EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[0]), 0x00);
    EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[1]), 0x3C);
    EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[2]), 0x64);
    EXPECT_EQ(e.deltaFrames, -5);
}

TEST_F(MidiOutTest, BlockCarriesAtMost1023EventsInQueueOrder)
{
    for (int i = 0; i < 1030; ++i)
        Module->QueueNoteOn(0, i % 128, 1, i);
    EXPECT_EQ(Module->MidiOutCount(), 1023);
    Module->FlushMidiOut();
    ASSERT_EQ(Flushes.size(), 1u);
    ASSERT_EQ(Flushes[0].Events.size(), 1023u);
    for (int i = 0; i < 1023; ++i)
        ASSERT_EQ(Flushes[0].Events[i].deltaFrames, i);
    EXPECT_EQ(Module->MidiOutCount(), 0);
}

TEST_F(MidiOutTest, FlushKeepsQueueOrderNotTimeOrder)
{
    Module->QueueNoteOn(0, 60, 1, 40);
    Module->QueueNoteOn(0, 61, 1, 10);
    Module->QueueNoteOn(0, 62, 1, 25);
    Module->FlushMidiOut();
    const auto& events = Flushes.at(0).Events;
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].deltaFrames, 40);
    EXPECT_EQ(events[1].deltaFrames, 10);
    EXPECT_EQ(events[2].deltaFrames, 25);
}

TEST_F(MidiOutTest, NothingQueuedMeansNoHostCallAndRefusedFlushStillEmpties)
{
    Module->FlushMidiOut();
    EXPECT_TRUE(Flushes.empty());
    gProcessEventsAnswer = 0;
    Module->QueueNoteOn(0, 60, 1, 0);
    Module->FlushMidiOut();
    EXPECT_EQ(Flushes.size(), 1u);
    EXPECT_EQ(Module->MidiOutCount(), 0);
}

class EventDispatchTest : public ::testing::Test
{
protected:
    std::unique_ptr<TTestModule> Module = TTestModule::CreateConnected(nullptr);
    std::vector<std::string> Seen;

    void SendBlock(std::vector<VstEvent*> events)
    {
        std::vector<char> memory(offsetof(VstEvents, events) +
                                 std::max<std::size_t>(events.size(), 2) * sizeof(VstEvent*));
        auto* block = reinterpret_cast<VstEvents*>(memory.data());
        block->numEvents = static_cast<std::int32_t>(events.size());
        if (!events.empty())
            std::memcpy(EventList(*block), events.data(), events.size() * sizeof(VstEvent*));
        Module->Dispatch(effProcessEvents, 0, 0, block, 0.0f);
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
    EXPECT_EQ(Module->Dispatch(effProcessEvents, 0, 0, nullptr, 0.0f), 1);
    int midiCount = 0;
    Module->OnProcessMidi = [&](TVSTModuleWithMidi&, const TVstMidiEvent&) { ++midiCount; };
    VstMidiEvent midi{};
    midi.type = kVstMidiType;
    SendBlock({nullptr, reinterpret_cast<VstEvent*>(&midi)});
    EXPECT_EQ(midiCount, 1);
}

} // namespace
} // namespace tumblet::test
