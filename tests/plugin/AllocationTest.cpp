// The processing path allocates nothing: every operator new in this binary is counted.

#include "PluginTestSupport.h"
#include "support/CountingAllocator.h"

#include <gtest/gtest.h>

namespace tumblet::test
{
namespace
{

TEST(ProcessingAllocationTest, TenThousandBlocksWithChordAndParameterChangesAllocateNothing)
{
    TTestHost host;
    ASSERT_NE(host.LoadAndOpenWith(&InProcessEntry), nullptr);
    host.SetPlaying();
    AEffect* effect = host.Effect();
    // Prepared outside the counted region: the test host's own buffers.
    std::vector<float> left(4096), right(4096);
    float* outputs[2] = {left.data(), right.data()};
    std::vector<VstMidiEvent> records(3);
    struct
    {
        std::int32_t numEvents;
        std::intptr_t reserved;
        VstEvent* events[3];
    } block{};
    for (int i = 0; i < 3; ++i)
        block.events[i] = reinterpret_cast<VstEvent*>(&records[i]);
    auto send = [&](std::uint8_t s0, std::uint8_t d1, std::uint8_t d2, std::uint8_t s1 = 0,
                    std::uint8_t e1 = 0, std::uint8_t f1 = 0)
    {
        records[0] = VstMidiEvent{};
        records[0].type = kVstMidiType;
        records[0].midiData[0] = static_cast<char>(s0);
        records[0].midiData[1] = static_cast<char>(d1);
        records[0].midiData[2] = static_cast<char>(d2);
        records[0].deltaFrames = d1 % 5; // keys inside the block split its processing
        records[1] = records[0];
        records[1].midiData[0] = static_cast<char>(s1);
        records[1].midiData[1] = static_cast<char>(e1);
        records[1].midiData[2] = static_cast<char>(f1);
        block.numEvents = s1 == 0 ? 1 : 2;
        effect->dispatcher(effect, effProcessEvents, 0, 0, &block, 0.0f);
    };
    host.Recording = false;

    for (int i = 0; i < 50; ++i)
        effect->processReplacing(effect, nullptr, outputs, 512);

    TAllocationCounter::Start();
    for (int i = 0; i < 10000; ++i)
    {
        const auto note = static_cast<std::uint8_t>(48 + (i / 7) % 24);
        if (i % 7 == 0)
            send(0x90, note, 90, 0x90, static_cast<std::uint8_t>(note + 4), 80);
        if (i % 7 == 5)
            send(0x80, note, 0, 0x80, static_cast<std::uint8_t>(note + 4), 0);
        if (i % 11 == 0)
            send(0xB0, 1, static_cast<std::uint8_t>(i % 128));
        if (i % 13 == 0)
            effect->setParameter(effect, i % 22, static_cast<float>((i * 37) % 100) / 100.0f);
        // Blocks shorter and longer than a step.
        const std::int32_t frames = (i % 4 == 0) ? 4096 : (i % 4 == 1 ? 7 : 512);
        effect->processReplacing(effect, nullptr, outputs, frames);
        host.TimeInfo.samplePos += frames;
        host.TimeInfo.ppqPos += frames / 44100.0 * 2.0;
    }
    const long allocations = TAllocationCounter::Stop();
    EXPECT_GT(host.EventCount, 1000u); // the arpeggio really played
    EXPECT_EQ(allocations, 0);
    if (allocations != 0)
        TAllocationCounter::PrintFirstAllocation();
}

// The accumulating entry, which older hosts still call, allocates nothing once resumed.
TEST(DspVSTModuleAllocationTest, FirstAccumulatingBlockAfterResumeAllocatesNothing)
{
    TTestHost host;
    ASSERT_NE(host.LoadAndOpenWith(&InProcessEntry), nullptr); // block size 512, resumed
    host.SetPlaying();
    host.Recording = false;
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    AEffect* effect = host.Effect();

    const long allocations = CountAllocations(
        [&]
        {
            effect->process(effect, nullptr, outputs, 512);
            effect->process(effect, nullptr, outputs, 256);
        });
    EXPECT_EQ(allocations, 0);
    if (allocations != 0)
        TAllocationCounter::PrintFirstAllocation();
}

} // namespace
} // namespace tumblet::test
