// The host loop allocates once before the first block and never while it drives the plug-in:
// a render ten times longer makes no more allocations.

#include "InputSchedule.h"
#include "PluginHost.h"
#include "Renderer.h"
#include "Transport.h"
#include "support/CountingAllocator.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

long AllocationsForRender(double beats)
{
    TTimeGrid grid;
    grid.LengthBeats = beats;
    std::vector<TTimedChord> chords;
    for (int beat = 0; beat < static_cast<int>(beats); ++beat)
        chords.push_back({static_cast<double>(beat), 0.5, {{60, 100}, {64, 90}}});
    const TInputSchedule input = TInputSchedule::FromChords(chords, grid);
    THostSettings settings;
    settings.BlockSize = 64;
    TPluginHost host(settings);
    host.Load(FAKE_PLUGIN_PATH);
    TTransportSettings transportSettings;
    transportSettings.Grid = grid;
    transportSettings.LoopActive = true;
    transportSettings.LoopStartBeat = 1.0;
    transportSettings.LoopEndBeat = 3.0;
    TTransport transport(transportSettings);
    TRenderer renderer(host, transport, settings.BlockSize);
    const auto total = static_cast<std::int64_t>(beats * grid.SamplesPerBeat());
    test::TAllocationCounter::Start();
    const TRenderResult result = renderer.Run(input, total);
    const long during = test::TAllocationCounter::Stop();
    EXPECT_EQ(result.Events.size(), 4 * static_cast<std::size_t>(beats)); // echoed back
    return during;
}

TEST(HostLoopAllocationTest, LongerRenderMakesNoMoreAllocations)
{
    const long shortRender = AllocationsForRender(4.0);
    const long longRender = AllocationsForRender(40.0);
    EXPECT_EQ(longRender, shortRender);
    EXPECT_LE(shortRender, 4); // the event block, its records and the output reserve
}

} // namespace
} // namespace tumblet
