// Hosts set parameters, rates and states from other threads while processing runs; nothing may
// be read half-changed. Run under ThreadSanitizer by the test script.

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

namespace tumblet::test
{
namespace
{

TEST(ThreadsTest, ParameterChangesWhileProcessingAreSafe)
{
    TTestHost host;
    ASSERT_NE(host.LoadAndOpenWith(&InProcessEntry), nullptr);
    host.SetPlaying();
    AEffect* effect = host.Effect();
    ProcessWhile(
        effect, 3000,
        [&](int i)
        {
            if (i % 40 == 0)
                host.SendEvents({NoteOn(60), NoteOn(64), NoteOn(67)});
            if (i % 40 == 30)
                host.SendEvents({NoteOff(60), NoteOff(64), NoteOff(67)});
        },
        [&](int i)
        {
            const std::int32_t index = i % 22;
            effect->setParameter(effect, index, static_cast<float>((i * 7) % 11) / 10.0f);
            (void)effect->getParameter(effect, (i + 3) % 22);
            char text[256];
            effect->dispatcher(effect, effGetParamDisplay, (i + 5) % 22, 0, text, 0.0f);
        });
    host.SetStopped();
    host.ProcessAndAdvance(256);
    EXPECT_GT(host.EventCount, 100u);
    EXPECT_TRUE(NotesAlternateAndEnd(host.Flushes));
}

// Some hosts change the rate without suspending the plug-in first.
TEST(ThreadsTest, SampleRateChangesWhileProcessingAreSafe)
{
    TTestHost host;
    ASSERT_NE(host.LoadAndOpenWith(&InProcessEntry), nullptr);
    host.SetPlaying();
    AEffect* effect = host.Effect();
    ProcessWhile(
        effect, 2000,
        [&](int i)
        {
            if (i % 40 == 0)
                host.SendEvents({NoteOn(60), NoteOn(64)});
        },
        [&](int i) {
            effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr,
                               i % 2 == 0 ? 48000.0f : 44100.0f);
        });
    host.SetStopped();
    host.ProcessAndAdvance(256);
    EXPECT_GT(host.EventCount, 100u);
    EXPECT_TRUE(NotesAlternateAndEnd(host.Flushes));
}

// Issue 16: a host whose automation callback waits for its audio thread must not deadlock when
// it loads a state: the reports reach it only after the instance lock is released.
TEST(ThreadsTest, StateLoadReportsToTheHostOutsideTheInstanceLock)
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
