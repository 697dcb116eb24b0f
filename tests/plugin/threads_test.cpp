// Hosts set parameters from other threads while processing runs; nothing may be read
// half-changed. Run under ThreadSanitizer by the test script.

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
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
    std::atomic<bool> done{false};

    std::thread audio(
        [&]
        {
            std::vector<float> left(256), right(256);
            float* outputs[2] = {left.data(), right.data()};
            for (int i = 0; i < 3000; ++i)
            {
                if (i % 40 == 0)
                    host.SendEvents({NoteOn(60), NoteOn(64), NoteOn(67)});
                if (i % 40 == 30)
                    host.SendEvents({NoteOff(60), NoteOff(64), NoteOff(67)});
                effect->processReplacing(effect, nullptr, outputs, 256);
            }
            done = true;
        });
    std::thread parameters(
        [&]
        {
            int i = 0;
            while (!done)
            {
                const std::int32_t index = i % 22;
                effect->setParameter(effect, index, static_cast<float>((i * 7) % 11) / 10.0f);
                (void)effect->getParameter(effect, (i + 3) % 22);
                char text[256];
                effect->dispatcher(effect, effGetParamDisplay, (i + 5) % 22, 0, text, 0.0f);
                ++i;
            }
        });
    audio.join();
    parameters.join();
    SUCCEED();
}

} // namespace
} // namespace tumblet::test
