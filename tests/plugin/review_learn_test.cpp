// Review findings in controller learn after a damaged preset.

#include "StateTestSupport.h"

#include <gtest/gtest.h>

namespace tumblet::test
{
namespace
{

constexpr std::uint8_t kCC = 0xB0;

class VSTPluginBaseLearnTest : public ::testing::Test
{
protected:
    void SetUp() override { Instance = std::make_unique<TStateInstance>(); }
    TStateInstance& I() { return *Instance; }

    /// A preset file whose Rate (the first parameter) names no entry of the rate list.
    std::string WriteDamagedPreset()
    {
        TStreamBuilder b;
        b.Header("1.20").Raw({0x01, 0x01});
        for (int i = 0; i < 22; ++i)
            b.Float(i == 0 ? 50.0 : 0.0);
        b.Raw({0x00, 0x00, 0x01, 0x00});
        MakeFolders(Home.PresetsFolder());
        const std::string path = Home.PresetsFolder() + "Damaged.brindlexp";
        WriteFile(path, b.Container());
        return path;
    }

    THomeFolder Home;
    std::unique_ptr<TStateInstance> Instance;
};

TEST_F(VSTPluginBaseLearnTest, LearnCompletesAfterADamagedPresetLeftAnUnknownRate)
{
    I().Plugin().LoadPresetFile(WriteDamagedPreset(), nullptr);
    ASSERT_EQ(I().Dialogs().Messages.size(), 1u);
    ASSERT_EQ(I().Value("Rate"), 50.0f);

    // Completing a learn resends the first parameter from the processing thread; the value it
    // cannot take must not end the host's process.
    I().Plugin().ToggleLearn();
    I().Plugin().LearnControlPressed("Gate");
    I().Send(kCC, 21, 0);

    std::lock_guard<std::recursive_mutex> lock(I().Plugin().InstanceLock());
    ASSERT_EQ(I().Plugin().MidiCCList().Count(), 1);
    EXPECT_EQ(I().Plugin().MidiCCList().Items(0).CC, 21);
    EXPECT_EQ(I().Plugin().LearnState(), TVSTPluginBase::lsNone);
}

} // namespace
} // namespace tumblet::test
