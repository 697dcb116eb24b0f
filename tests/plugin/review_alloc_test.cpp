// Review findings: the accumulating entry, which older hosts still call, allocates nothing
// once the plug-in has been resumed.

#include "PluginTestSupport.h"
#include "support/CountingAllocator.h"

#include <gtest/gtest.h>

namespace tumblet::test
{
namespace
{

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
