// Review findings: host calls from other threads that change the engine while processing runs.
// Run under ThreadSanitizer by the test script.

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tumblet::test
{
namespace
{

TEST(VSTPluginThreadsTest, SampleRateChangesWhileProcessingAreSafe)
{
    TTestHost host;
    ASSERT_NE(host.LoadAndOpenWith(&InProcessEntry), nullptr);
    host.SetPlaying();
    AEffect* effect = host.Effect();
    std::atomic<bool> done{false};

    std::thread audio(
        [&]
        {
            std::vector<float> left(256), right(256);
            float* outputs[2] = {left.data(), right.data()};
            for (int i = 0; i < 2000; ++i)
            {
                if (i % 40 == 0)
                    host.SendEvents({NoteOn(60), NoteOn(64)});
                effect->processReplacing(effect, nullptr, outputs, 256);
            }
            done = true;
        });
    // Some hosts change the rate without suspending the plug-in first.
    std::thread control(
        [&]
        {
            for (int i = 0; !done; ++i)
                effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr,
                                   i % 2 == 0 ? 48000.0f : 44100.0f);
        });
    audio.join();
    control.join();
    SUCCEED();
}

} // namespace
} // namespace tumblet::test
