// MIDI controller learn, the set-number dialog and mapped controllers, through the host's
// event call where the controllers arrive.

#include "StateTestSupport.h"

#include <gtest/gtest.h>

namespace tumblet::test
{
namespace
{

constexpr std::uint8_t kCC = 0xB0;
enum TIndex : std::int32_t
{
    kRate = 0,
    kGate = 5,
    kSwing = 11,
};

class ControllerLearnTest : public ::testing::Test
{
protected:
    void SetUp() override { Instance = std::make_unique<TStateInstance>(); }
    TStateInstance& I() { return *Instance; }
    TVSTPlugin& P() { return I().Plugin(); }
    void Learn(const char* name, std::uint8_t controller, std::uint8_t channel = 0)
    {
        P().ToggleLearn();
        P().LearnControlPressed(name);
        I().Send(static_cast<std::uint8_t>(kCC | channel), controller, 0);
    }

    THomeFolder Home;
    std::unique_ptr<TStateInstance> Instance;
};

enum class TCommand
{
    Learn,
    SetCC,
    Press,
    Controller,
};

struct TTransition
{
    const char* Name;
    std::vector<TCommand> Commands;
    std::uint8_t State;
    const char* Info;
};

TEST_F(ControllerLearnTest, StateMachineFollowsTheTable)
{
    const TTransition table[] = {
        {"none + learn", {TCommand::Learn}, 1, "MIDI Learn: Click control"},
        {"none + set", {TCommand::SetCC}, 2, "MIDI Set CC: Click control"},
        {"learning + learn", {TCommand::Learn, TCommand::Learn}, 0, ""},
        {"learning + set", {TCommand::Learn, TCommand::SetCC}, 2, "MIDI Set CC: Click control"},
        {"setting + set", {TCommand::SetCC, TCommand::SetCC}, 0, ""},
        {"setting + learn", {TCommand::SetCC, TCommand::Learn}, 1, "MIDI Learn: Click control"},
        {"learning + press",
         {TCommand::Learn, TCommand::Press},
         1,
         "MIDI Learn: Move MIDI controller"},
        {"learning with target + CC",
         {TCommand::Learn, TCommand::Press, TCommand::Controller},
         0,
         "Gate = CC# 9"},
        {"learning without target + CC", {TCommand::Learn, TCommand::Controller}, 1, "<none>"},
        {"setting + CC", {TCommand::SetCC, TCommand::Controller}, 2, "<none>"},
    };
    for (const TTransition& row : table)
    {
        SCOPED_TRACE(row.Name);
        P().SetLearnState(0);
        P().MidiCCList().Clear();
        I().TakeInfo();
        for (TCommand command : row.Commands)
        {
            I().TakeInfo();
            switch (command)
            {
            case TCommand::Learn:
                P().ToggleLearn();
                break;
            case TCommand::SetCC:
                P().ToggleSetCC();
                break;
            case TCommand::Press:
                P().LearnControlPressed("Gate");
                break;
            case TCommand::Controller:
                I().Send(kCC, 9, 64);
                break;
            }
        }
        EXPECT_EQ(P().LearnState(), row.State);
        EXPECT_EQ(I().TakeInfo(), row.Info);
        if (row.State != 1)
        {
            EXPECT_EQ(P().LearnTarget(), "");
        }
    }
}

TEST_F(ControllerLearnTest, LearnIgnoresTheChannelAndLaterMessagesOnAnyChannelApply)
{
    P().ToggleLearn();
    P().LearnControlPressed("Gate");
    I().Host.ClearRecords();
    I().Send(kCC | 9, 7, 0); // channel 10
    ASSERT_EQ(P().MidiCCList().Count(), 1);
    EXPECT_EQ(P().MidiCCList().Items(0).Name, "Gate");
    EXPECT_EQ(P().MidiCCList().Items(0).CC, 7);
    EXPECT_EQ(I().TakeInfo(), "Gate = CC# 7");
    // The completed learn resends the first parameter, so hosts notice the changed state.
    EXPECT_EQ(I().Automated(), std::vector<std::int32_t>{kRate});
    I().Send(kCC | 3, 7, 127);
    EXPECT_EQ(I().Value("Gate"), 200.0f);
    Learn("Gate", 11); // learning again replaces the mapping
    ASSERT_EQ(P().MidiCCList().Count(), 1);
    EXPECT_EQ(P().MidiCCList().Items(0).CC, 11);
}

TEST_F(ControllerLearnTest, OneControllerDrivesSeveralParametersInListOrder)
{
    P().SetMapping("Gate", 1);
    P().SetMapping("Swing", 1);
    I().Host.ClearRecords();
    I().Send(kCC, 1, 127);
    EXPECT_EQ(I().Automated(), (std::vector<std::int32_t>{kGate, kSwing}));
    EXPECT_EQ(I().Value("Gate"), 200.0f);
    EXPECT_EQ(I().Value("Swing"), 100.0f);
}

struct TScaling
{
    const char* Name;
    std::uint8_t Value;
    float Expected;
};

TEST_F(ControllerLearnTest, ControllerValuesScaleOntoTheParameterRange)
{
    const TScaling cases[] = {
        {"Gate", 64, static_cast<float>(200.0 * 64.0 / 127.0)},
        {"Gate", 127, 200.0f},
        {"Velocity", 0, -100.0f},
        {"Velocity", 64, static_cast<float>(-100.0 + 200.0 * 64.0 / 127.0)},
        {"Octaves", 127, 5.0f},
        {"Note Order", 127, 17.0f},
    };
    for (const TScaling& c : cases)
    {
        P().MidiCCList().Clear();
        P().SetMapping(c.Name, 10);
        I().Send(kCC, 10, c.Value);
        EXPECT_EQ(I().Value(c.Name), c.Expected) << c.Name << " " << int(c.Value);
    }
    P().MidiCCList().Clear();
    P().SetMapping("Gate", 10);
    P().SetMapping("Velocity", 10);
    I().Send(kCC, 10, 64);
    EXPECT_EQ(P().Arpeggiator().Gate(), 101);
    EXPECT_EQ(P().Arpeggiator().VelocityScale(), 1);
}

// A mapping of a name the module does not know is skipped; the others drive their parameters.
TEST_F(ControllerLearnTest, MappingsRestoredFromAChunkDriveTheirParameters)
{
    TStreamBuilder b;
    b.Header("1.20").Raw({0x01, 0x01});
    for (int i = 0; i < 22; ++i)
        b.Float(0.0);
    b.Raw({0x00, 0x00, 0x01, 0x01}).ShortString("Bogus").Raw({0x02, 5, 0x00});
    b.Raw({0x01}).ShortString("Gate").Raw({0x02, 5, 0x00});
    b.Raw({0x01}).ShortString("Rate").Raw({0x02, 20, 0x00, 0x00});
    I().SetChunk(b.Container());
    ASSERT_TRUE(I().Dialogs().Messages.empty());
    ASSERT_EQ(P().MidiCCList().Count(), 3);
    I().Send(kCC, 5, 127);
    EXPECT_EQ(I().Value("Gate"), 200.0f);
    I().Send(kCC, 20, 127);
    EXPECT_EQ(I().Value("Rate"), 10.0f);
}

TEST_F(ControllerLearnTest, NotesWhileLearningAreNotControllers)
{
    P().ToggleLearn();
    P().LearnControlPressed("Gate");
    I().Send(0x90, 60, 100);
    I().Send(0x80, 60, 0);
    EXPECT_EQ(P().LearnState(), 1);
    EXPECT_EQ(P().MidiCCList().Count(), 0);
}

TEST_F(ControllerLearnTest, ControllerWhileLearningWithoutTargetIsDropped)
{
    P().SetMapping("Gate", 4);
    P().ToggleLearn();
    I().Send(kCC, 4, 0);
    EXPECT_EQ(I().Value("Gate"), 100.0f);
    EXPECT_EQ(P().MidiCCList().Count(), 1);
}

TEST_F(ControllerLearnTest, TransportStartEndsLearning)
{
    P().ToggleLearn();
    P().LearnControlPressed("Gate");
    I().Host.SetPlaying();
    I().Host.Process(512);
    EXPECT_EQ(P().LearnState(), 0);
    EXPECT_EQ(P().LearnTarget(), "");
}

TEST_F(ControllerLearnTest, SetNumberDialogStartsAtOneAndRoundsTheAnswer)
{
    const std::pair<double, std::int32_t> answers[] = {{20.5, 20}, {21.5, 22}, {0.0, 0}};
    for (const auto& [answer, expected] : answers)
    {
        P().MidiCCList().Clear();
        P().ToggleSetCC();
        I().Dialogs().NumberAnswers.push_back({true, answer});
        I().Host.ClearRecords();
        P().SetCCControlPressed("Swing");
        const auto& request = I().Dialogs().NumberRequests.back();
        EXPECT_EQ(request.Caption, "MIDI Set CC: Swing");
        EXPECT_EQ(request.Prompt, "CC# (0-127)");
        EXPECT_EQ(request.Initial, 1.0);
        EXPECT_EQ(request.MinValue, 0.0);
        EXPECT_EQ(request.MaxValue, 127.0);
        EXPECT_EQ(request.Decimals, 0);
        ASSERT_EQ(P().MidiCCList().Count(), 1);
        EXPECT_EQ(P().MidiCCList().Items(0).CC, expected);
        EXPECT_EQ(I().TakeInfo(), "Swing = CC# " + std::to_string(expected));
        EXPECT_EQ(I().Automated(), std::vector<std::int32_t>{kRate});
        EXPECT_EQ(P().LearnState(), 0);
    }
}

TEST_F(ControllerLearnTest, SetNumberDialogStartsAtTheCurrentNumberAndCancelClearsTheLine)
{
    P().SetMapping("Swing", 33);
    P().ToggleSetCC();
    I().Dialogs().NumberAnswers.push_back({false, 0});
    P().SetCCControlPressed("Swing");
    EXPECT_EQ(I().Dialogs().NumberRequests.back().Initial, 33.0);
    EXPECT_EQ(P().MidiCCList().Items(0).CC, 33);
    EXPECT_EQ(I().TakeInfo(), "");
    EXPECT_EQ(P().LearnState(), 0);
}

TEST_F(ControllerLearnTest, NumberOutsideTheRangeNeverReachesAMapping)
{
    I().Dialogs().NumberAnswers.push_back({true, 500});
    P().SetCCControlPressed("Gate");
    EXPECT_EQ(P().MidiCCList().Items(0).CC, 127);
}

TEST_F(ControllerLearnTest, RemovingAMappingResendsTheFirstParameter)
{
    P().SetMapping("Gate", 1);
    P().SetMapping("Swing", 2);
    I().Host.ClearRecords();
    P().RemoveMapping(0);
    ASSERT_EQ(P().MidiCCList().Count(), 1);
    EXPECT_EQ(P().MidiCCList().Items(0).Name, "Swing");
    EXPECT_EQ(I().Automated(), std::vector<std::int32_t>{kRate});
    P().RemoveMapping(5); // outside: nothing
    EXPECT_EQ(P().MidiCCList().Count(), 1);
}

TEST_F(ControllerLearnTest, InitRemovesTheMappings)
{
    P().SetMapping("Gate", 1);
    P().LoadInitPreset();
    EXPECT_EQ(P().MidiCCList().Count(), 0);
}

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
