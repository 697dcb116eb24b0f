// Mapped controllers and the completion of a learn run inside the host's event call: they
// allocate nothing. Every operator new in this binary is counted.

#include "StateTestSupport.h"
#include "support/CountingAllocator.h"

#include <gtest/gtest.h>

#include <functional>

namespace tumblet::test
{
namespace
{

class LearnAllocationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Instance = std::make_unique<TStateInstance>();
        Instance->Host.Recording = false;
        for (auto& record : Records)
        {
            record = VstMidiEvent{};
            record.type = kVstMidiType;
            record.byteSize = sizeof(VstMidiEvent);
        }
        Block.events[0] = reinterpret_cast<VstEvent*>(&Records[0]);
    }
    void SendController(std::uint8_t controller, std::uint8_t value)
    {
        Records[0].midiData[0] = static_cast<char>(0xB0);
        Records[0].midiData[1] = static_cast<char>(controller);
        Records[0].midiData[2] = static_cast<char>(value);
        Block.numEvents = 1;
        AEffect* effect = Instance->Host.Effect();
        effect->dispatcher(effect, effProcessEvents, 0, 0, &Block, 0.0f);
    }
    long Counted(const std::function<void()>& action) { return CountAllocations(action); }

    THomeFolder Home;
    std::unique_ptr<TStateInstance> Instance;
    VstMidiEvent Records[1];
    struct
    {
        std::int32_t numEvents;
        std::intptr_t reserved;
        VstEvent* events[1];
    } Block{};
};

std::vector<int>* volatile gKept = nullptr;

TEST_F(LearnAllocationTest, MappedControllersAllocateNothing)
{
    ASSERT_EQ(Counted([] { gKept = new std::vector<int>(); }), 1); // the counter counts
    delete gKept;
    TVSTPlugin& plugin = Instance->Plugin();
    plugin.SetMapping("Gate", 1);
    plugin.SetMapping("Note Probability", 1);
    plugin.SetMapping("Velocity", 2);
    EXPECT_EQ(Counted(
                  [&]
                  {
                      for (int i = 0; i < 5000; ++i)
                          SendController(static_cast<std::uint8_t>(1 + i % 3),
                                         static_cast<std::uint8_t>(i % 128));
                  }),
              0);
    EXPECT_EQ(plugin.ParameterValues().Items("Velocity").Value(),
              static_cast<float>(-100.0 + 200.0 * (4999 % 128) / 127.0));
}

TEST_F(LearnAllocationTest, CompletingALearnAllocatesNothing)
{
    TVSTPlugin& plugin = Instance->Plugin();
    // A name longer than a short-string buffer: a new mapping must not copy it on the way.
    for (const char* name : {"Note Probability", "Velocity Random", "Note Probability"})
    {
        plugin.ToggleLearn();
        plugin.LearnControlPressed(name);
        EXPECT_EQ(Counted([&] { SendController(21, 0); }), 0) << name;
        EXPECT_EQ(plugin.LearnState(), 0);
    }
    ASSERT_EQ(plugin.MidiCCList().Count(), 2);
    EXPECT_EQ(plugin.MidiCCList().Items(0).Name, "Note Probability");
    EXPECT_EQ(plugin.MidiCCList().Items(1).Name, "Velocity Random");
    EXPECT_EQ(Instance->TakeInfo(), "Note Probability = CC# 21");
}

} // namespace
} // namespace tumblet::test
