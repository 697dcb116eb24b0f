// Host threads meeting on one instance: values set and read from several threads while a
// processing thread holds the instance lock. Meant for the ThreadSanitizer build, where a
// missing lock or a plain shared field shows up as a report.

#include "vst2/LayerTestModule.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

namespace tumblet::test
{
namespace
{

constexpr int kRounds = 2000;
constexpr std::int32_t kParameters = 4;

TEST(VSTModuleWithProgramsTest, HostThreadsAndProcessingShareValuesSafely)
{
    // Program values, with a change hook that writes state the processing thread reads.
    std::array<float, kParameters> engine{}; // guarded by the instance lock, as the engine is
    auto module = TLayerTestModule::Create(
        [&](TLayerTestModule& m)
        {
            for (std::int32_t i = 0; i < kParameters; ++i)
                AddParameter(m, "P" + std::to_string(i), 0.0f, 100.0f).OnParameterChange =
                    [&engine, i](TCustomVstParameterProperty&, std::int32_t, float& value)
                { engine[i] = value; };
            m.Programs().Add();
        });
    std::atomic<bool> stop{false};

    std::thread processing(
        [&]
        {
            while (!stop.load())
            {
                std::lock_guard<std::recursive_mutex> lock(module->InstanceLock());
                volatile float seen = engine[0] + module->GetParameter(0);
                (void)seen;
            }
        });
    std::thread hostReader(
        [&]
        {
            while (!stop.load())
            {
                for (std::int32_t i = 0; i < kParameters; ++i)
                    EXPECT_LE(module->HostGet(i), 1.0f);
            }
        });
    std::thread hostWriter(
        [&]
        {
            for (int round = 0; round < kRounds; ++round)
                module->HostSet(round % kParameters, static_cast<float>(round % 100) / 100.0f);
        });
    // The editor's side: its own writes and the idle flag.
    for (int round = 0; round < kRounds; ++round)
    {
        module->SetParameter(round % kParameters, static_cast<float>(round % 50));
        module->SetEditorNeedsUpdate(false);
    }
    hostWriter.join();
    stop.store(true);
    processing.join();
    hostReader.join();
    EXPECT_EQ(module->CountHostCalls(audioMasterAutomate), static_cast<std::size_t>(kRounds));
    // Whichever writer came last, the stored value and the one the engine was handed agree: a
    // store and its hook not made as one step under the lock would leave them apart.
    std::lock_guard<std::recursive_mutex> lock(module->InstanceLock());
    for (std::int32_t i = 0; i < kParameters; ++i)
        EXPECT_EQ(engine[i], module->GetParameter(i)) << "parameter " << i;
}

TEST(VSTModuleWithProgramsTest, ChunkRestoreWhileProcessing)
{
    std::atomic<int> loads{0};
    int productState = 0; // guarded by the instance lock
    auto module = TLayerTestModule::Create(
        [&](TLayerTestModule& m)
        {
            m.SetFlags(effFlagsProgramChunks);
            TVstProgram& program = m.Programs().Add();
            program.OnLoadChunk = [&](TCustomVstProgram& sender, std::int32_t, bool)
            {
                productState = static_cast<int>(sender.Chunk().Size());
                loads.fetch_add(1);
            };
            program.OnStoreChunk = [&](TCustomVstProgram& sender, std::int32_t, bool)
            {
                sender.Chunk().Clear();
                sender.Chunk().Write(&productState, sizeof(productState));
            };
        });
    std::atomic<bool> stop{false};
    std::thread processing(
        [&]
        {
            while (!stop.load())
            {
                std::lock_guard<std::recursive_mutex> lock(module->InstanceLock());
                volatile int seen = productState;
                (void)seen;
            }
        });
    char bytes[16] = {};
    for (int round = 0; round < kRounds; ++round)
    {
        module->Call(effSetChunk, 1, round % 16, bytes);
        void* data = nullptr;
        module->Call(effGetChunk, round % 2, 0, &data);
    }
    stop.store(true);
    processing.join();
    EXPECT_EQ(loads.load(), kRounds);
    // The last chunk loaded is the state the module keeps and hands back.
    constexpr int kLastSize = (kRounds - 1) % 16;
    void* data = nullptr;
    ASSERT_EQ(module->Call(effGetChunk, 1, 0, &data), static_cast<std::intptr_t>(sizeof(int)));
    int stored = -1;
    std::memcpy(&stored, data, sizeof(stored));
    EXPECT_EQ(stored, kLastSize);
}

} // namespace
} // namespace tumblet::test
