// An hour of music at 64-sample blocks: a changing chord, random automation of every
// parameter and host loop jumps. Every event lies inside its block, in time order, the
// note-ons and note-offs of each key alternate, no note may stay on and memory must not grow.
// Leaks are LeakSanitizer's to find in the sanitizer tree.

#include "support/TestHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>
#include <unistd.h>

namespace tumblet::test
{
namespace
{

long ResidentPages()
{
    long size = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r"))
    {
        if (std::fscanf(statm, "%ld %ld", &size, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident;
}

TEST(SoakTest, AnHourOfAutomatedLoopingMusicLeavesNoNoteOnAndNoGrowth)
{
    constexpr std::int32_t kBlock = 64;
    constexpr double kRate = 44100.0;
    constexpr long kBlocks = static_cast<long>(3600.0 * kRate / kBlock);

    TTestHost host;
    ASSERT_NE(host.LoadAndOpen(), nullptr);
    host.SetPlaying();
    host.Recording = false;
    std::map<int, bool> open;
    long noteOns = 0;
    long broken = 0;            // events that break the output rules
    std::int32_t lastDelta = 0; // of the current block
    host.OnEvent = [&](const TOutEvent& e)
    {
        broken += e.DeltaFrames < lastDelta || e.DeltaFrames >= kBlock ? 1 : 0;
        lastDelta = e.DeltaFrames;
        const int kind = e.Status() & 0xF0;
        if (kind != 0x80 && kind != 0x90)
            return;
        const int key = (e.Status() & 0x0F) * 128 + e.Data[1];
        const bool on = kind == 0x90 && e.Data[2] > 0;
        broken += open[key] == on ? 1 : 0;
        open[key] = on;
        noteOns += on ? 1 : 0;
    };

    std::mt19937 random(20261209);
    std::vector<std::uint8_t> chord;
    long residentAfterWarmUp = 0;
    for (long block = 0; block < kBlocks; ++block)
    {
        if (block % 700 == 0)
        {
            std::vector<TInEvent> events;
            for (std::uint8_t note : chord)
                events.push_back(NoteOff(note));
            chord.clear();
            const int size = 1 + static_cast<int>(random() % 6);
            for (int i = 0; i < size; ++i)
                chord.push_back(static_cast<std::uint8_t>(36 + random() % 60));
            for (std::uint8_t note : chord)
                events.push_back(NoteOn(note, static_cast<std::uint8_t>(1 + random() % 127)));
            host.SendEvents(events);
        }
        if (block % 97 == 0)
        {
            const auto index = static_cast<std::int32_t>(random() % 22);
            host.Effect()->setParameter(host.Effect(), index,
                                        static_cast<float>(random() % 1001) / 1000.0f);
        }
        // A host loop of eight bars that jumps back.
        if (host.TimeInfo.ppqPos >= 32.0)
        {
            host.TimeInfo.ppqPos = 0.0;
            host.TimeInfo.samplePos = 0.0;
        }
        lastDelta = 0;
        host.ProcessAndAdvance(kBlock);
        if (block == kBlocks / 10)
            residentAfterWarmUp = ResidentPages();
    }
    host.SendEvents({});
    host.SetStopped();
    lastDelta = 0;
    host.ProcessAndAdvance(kBlock);

    EXPECT_GT(noteOns, 10000);
    EXPECT_EQ(broken, 0);
    for (const auto& [key, sounding] : open)
        EXPECT_FALSE(sounding) << "note " << key % 128 << " on channel " << key / 128;
#ifndef TUMBLET_SANITIZED
    // Under AddressSanitizer freed memory sits in its quarantine, so resident size says nothing
    // there; leaks are LeakSanitizer's to report in that tree.
    const long growth = (ResidentPages() - residentAfterWarmUp) * sysconf(_SC_PAGESIZE);
    EXPECT_LT(growth, 4L * 1024 * 1024) << "resident memory grew by " << growth << " bytes";
#else
    (void)residentAfterWarmUp;
#endif
}

} // namespace
} // namespace tumblet::test
