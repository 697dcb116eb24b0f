// Hosts set parameters, rates and states from other threads while processing runs; nothing may
// be read half-changed. Run under ThreadSanitizer by the test script.

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

namespace tumblet::test
{
namespace
{

// The audio thread plays chords while another thread calls the host's entries; what was played
// must still alternate note-on and note-off per key and end every note after a stop.
class ThreadsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(Host.LoadAndOpenWith(&InProcessEntry), nullptr);
        Host.SetPlaying();
        Effect = Host.Effect();
    }
    void PlayWhile(int blocks, const std::function<void(int)>& beforeBlock,
                   const std::function<void(int)>& other)
    {
        ProcessWhile(Effect, blocks, beforeBlock, other);
        Host.SetStopped();
        Host.ProcessAndAdvance(256);
        EXPECT_GT(Host.EventCount, 100u);
        EXPECT_TRUE(NotesAlternateAndEnd(Host.Flushes));
    }

    TTestHost Host;
    AEffect* Effect = nullptr;
};

TEST_F(ThreadsTest, ParameterChangesWhileProcessingAreSafe)
{
    PlayWhile(
        3000,
        [&](int i)
        {
            if (i % 40 == 0)
                Host.SendEvents({NoteOn(60), NoteOn(64), NoteOn(67)});
            if (i % 40 == 30)
                Host.SendEvents({NoteOff(60), NoteOff(64), NoteOff(67)});
        },
        [&](int i)
        {
            const std::int32_t index = i % 22;
            Effect->setParameter(Effect, index, static_cast<float>((i * 7) % 11) / 10.0f);
            (void)Effect->getParameter(Effect, (i + 3) % 22);
            char text[256];
            Effect->dispatcher(Effect, effGetParamDisplay, (i + 5) % 22, 0, text, 0.0f);
        });
}

// Some hosts change the rate without suspending the plug-in first.
TEST_F(ThreadsTest, SampleRateChangesWhileProcessingAreSafe)
{
    PlayWhile(
        2000,
        [&](int i)
        {
            if (i % 40 == 0)
                Host.SendEvents({NoteOn(60), NoteOn(64)});
        },
        [&](int i) {
            Effect->dispatcher(Effect, effSetSampleRate, 0, 0, nullptr,
                               i % 2 == 0 ? 48000.0f : 44100.0f);
        });
}

// Issue 16: a host whose automation callback waits for its audio thread must not deadlock when
// it loads a state: the reports reach it only after the instance lock is released.
TEST(ThreadsStateTest, StateLoadReportsToTheHostOutsideTheInstanceLock)
{
    TTestHost host;
    ASSERT_NE(host.LoadAndOpenWith(&InProcessEntry), nullptr);
    host.SetPlaying();
    void* data = nullptr;
    const std::intptr_t size = host.Dispatch(effGetChunk, 1, 0, &data);
    ASSERT_GT(size, 0);
    std::vector<std::uint8_t> state(static_cast<std::uint8_t*>(data),
                                    static_cast<std::uint8_t*>(data) + size);
    host.Recording = false;
    AEffect* effect = host.Effect();
    int reports = 0;
    bool stalled = false;
    std::thread audio;
    // Outlive the callbacks: a stalled processing call finishes only after the load.
    std::vector<std::unique_ptr<std::promise<void>>> finished;
    host.OnOtherCall = [&](const THostCall& call, void*) -> std::intptr_t
    {
        if (call.Opcode != audioMasterAutomate || stalled)
            return 0;
        ++reports;
        std::promise<void>& done = *finished.emplace_back(std::make_unique<std::promise<void>>());
        audio = std::thread(
            [effect, &done]
            {
                std::vector<float> left(64), right(64);
                float* outputs[2] = {left.data(), right.data()};
                effect->processReplacing(effect, nullptr, outputs, 64);
                done.set_value();
            });
        // A real host would wait for ever; this one gives up so that the test can report.
        stalled = done.get_future().wait_for(std::chrono::seconds(10)) != std::future_status::ready;
        if (!stalled)
            audio.join();
        return 0;
    };
    EXPECT_EQ(host.Dispatch(effSetChunk, 1, size, state.data()), size);
    if (audio.joinable())
        audio.join();
    EXPECT_FALSE(stalled);
    EXPECT_GT(reports, 0);
}

} // namespace
} // namespace tumblet::test
