// The 22 parameters as the host and the editor see them.

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace tumblet::test
{
namespace
{

const std::string kMinus = "\xE2\x88\x92"; // U+2212

class ParametersTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(Host.LoadAndOpenWith(&InProcessEntry), nullptr); }
    TVSTPlugin& Plugin() { return PluginOf(Host.Effect()); }
    std::string Display(std::int32_t index) { return Host.DispatchText(effGetParamDisplay, index); }
    void SetRealValue(std::int32_t index, float value) { Plugin().SetParameter(index, value); }
    TTestHost Host;
};

struct TRow
{
    const char* Name;
    float Default;
    const char* Display;
    float Normalised;
};

const TRow kTable[] = {
    {"Rate", 3, "1/16", 0.3f},
    {"Type", 1, "Normal", 0.5f},
    {"Note Order", 0, "Up", 0.0f},
    {"Octaves", 2, "2", 0.25f},
    {"Octave Order", 0, "Up", 0.0f},
    {"Gate", 100, "100%", 0.5f},
    {"Velocity Mode", 0, "As Played", 0.0f},
    {"Velocity Fixed", 100, "100", 100.0f / 127.0f},
    {"Velocity", 0, "0%", 0.5f},
    {"Note Probability", 100, "100%", 1.0f},
    {"Shift", 0, "0%", 0.5f},
    {"Swing", 0, "0%", 0.0f},
    {"Latch", 0, "Off", 0.0f},
    {"Restart", 0, "Off", 0.0f},
    {"Transpose", 0, "0", 0.5f},
    {"Gate Random", 0, "0", 0.0f},
    {"Velocity Random", 0, "0", 0.0f},
    {"Shift Random", 0, "0", 0.0f},
    {"Swing Random", 0, "0", 0.0f},
    {"Rest", 0, "0", 0.0f},
    {"Octaves Random", 0, "0", 0.0f},
    {"Speed", 0, "1", 0.5f},
};

TEST_F(ParametersTest, TableNamesDefaultsAndDisplaysAsTheHostSeesThem)
{
    ASSERT_EQ(Host.Effect()->numParams, 22);
    for (std::int32_t i = 0; i < 22; ++i)
    {
        SCOPED_TRACE(kTable[i].Name);
        EXPECT_EQ(Host.DispatchText(effGetParamName, i), kTable[i].Name);
        EXPECT_EQ(Display(i), kTable[i].Display);
        EXPECT_EQ(Host.DispatchText(effGetParamLabel, i), "");
        EXPECT_NEAR(Host.Effect()->getParameter(Host.Effect(), i), kTable[i].Normalised, 1e-6);
        EXPECT_EQ(Plugin().ParameterValues().Items(i).Value(), kTable[i].Default);
        EXPECT_EQ(Host.Dispatch(effCanBeAutomated, i), 1);
    }
}

TEST_F(ParametersTest, RateRoundsTiesToEvenIntoTheRateList)
{
    SetNormalised(Host, 0, 0.5f);
    EXPECT_EQ(Plugin().ParameterValues().Items(0).Value(), 5.0f);
    EXPECT_EQ(Plugin().Arpeggiator().RateIndex(), 6);
    SetRealValue(0, 3.5f);
    EXPECT_EQ(Plugin().Arpeggiator().RateIndex(), 5); // tag 4
    SetRealValue(0, 2.5f);
    EXPECT_EQ(Plugin().Arpeggiator().RateIndex(), 3);             // tag 2
    EXPECT_EQ(Plugin().ParameterValues().Items(0).Value(), 2.5f); // stored unrounded
}

TEST_F(ParametersTest, HandlersDoNotClamp)
{
    SetRealValue(14, 50.0f); // Transpose beyond +36
    EXPECT_EQ(Plugin().Arpeggiator().Transpose(), 50);
    EXPECT_EQ(Display(14), "+50");
    SetRealValue(5, -3.0f);
    EXPECT_EQ(Plugin().Arpeggiator().Gate(), -3);
    EXPECT_EQ(Display(5), kMinus + "3%");
}

TEST_F(ParametersTest, SpeedHasADeadZoneAroundZeroCheckedInDoublePrecision)
{
    struct TCase
    {
        float Value;
        int EngineSpeed;
        const char* Display;
    };
    const TCase cases[] = {
        {2.0f, 0, "1.02x"},       {2.37f, 0, "1.02x"},    {-2.37f, 0, "0.97x"},
        {2.38f, 2, "1.02x"},      {2.6f, 3, "1.03x"},     {-2.5f, -2, "0.97x"},
        {50.0f, 50, "1.50x"},     {-50.0f, -50, "0.66x"}, {300.0f, 300, "4.00x"},
        {-300.0f, -300, "0.25x"}, {0.0f, 0, "1"},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Value);
        SetRealValue(21, c.Value);
        EXPECT_EQ(Plugin().Arpeggiator().Speed(), c.EngineSpeed);
        EXPECT_EQ(Display(21), c.Display);
    }
}

TEST_F(ParametersTest, LatchAndRestartAreOnOnlyWhenTheRoundedValueIsNotZero)
{
    SetRealValue(12, 0.5f);
    EXPECT_FALSE(Plugin().Arpeggiator().Latch());
    EXPECT_EQ(Display(12), "Off");
    SetRealValue(12, 0.51f);
    EXPECT_TRUE(Plugin().Arpeggiator().Latch());
    EXPECT_EQ(Display(12), "On");
    SetRealValue(13, 1.5f);
    EXPECT_TRUE(Plugin().Arpeggiator().Restart());
}

TEST_F(ParametersTest, SignedAndPercentDisplays)
{
    SetRealValue(8, -100.0f);
    EXPECT_EQ(Display(8), kMinus + "100%");
    SetRealValue(8, 100.0f);
    EXPECT_EQ(Display(8), "+100%");
    SetRealValue(10, 5.0f);
    EXPECT_EQ(Display(10), "+5%");
    SetRealValue(20, 250.0f);
    EXPECT_EQ(Display(20), "250");
    SetRealValue(2, 1.0f);
    EXPECT_EQ(Display(2), "Down");
}

TEST_F(ParametersTest, ResetToDefaultSkipsUnchangedValuesUnlessForced)
{
    int reports = 0;
    Host.OnOtherCall = [&](const THostCall& call, void*) -> std::intptr_t
    {
        if (call.Opcode == audioMasterAutomate)
            ++reports;
        return 0;
    };
    TVSTParameterValue& gate = Plugin().ParameterValues().Items("Gate");
    gate.ResetToDefault(false);
    EXPECT_EQ(reports, 0);
    gate.ResetToDefault(true);
    EXPECT_EQ(reports, 1);
    SetRealValue(5, 150.0f);
    reports = 0;
    gate.ResetToDefault(false);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(Plugin().Arpeggiator().Gate(), 100);
}

TEST_F(ParametersTest, ChunkParameterPastTheEndIsZeroAndUnknownNamesThrow)
{
    EXPECT_EQ(Plugin().VSTModuleGetChunkParameter(22), 0.0f);
    EXPECT_EQ(Plugin().VSTModuleGetChunkParameter(-1), 0.0f);
    EXPECT_EQ(Plugin().VSTModuleGetChunkParameter(5), 100.0f);
    try
    {
        Plugin().ParameterValues().FindByName("gate");
        FAIL();
    }
    catch (const std::exception& e)
    {
        EXPECT_STREQ(e.what(), "TVSTParameterValues.FindByName - No match: gate");
    }
}

TEST_F(ParametersTest, HostSetNeverReportsBackButPluginSetDoes)
{
    Host.ClearRecords();
    SetNormalised(Host, 5, 0.75f);
    EXPECT_EQ(Host.CountCalls(audioMasterAutomate), 0u);
    Plugin().SetParameter(5, 50.0f);
    ASSERT_EQ(Host.CountCalls(audioMasterAutomate), 1u);
    EXPECT_FLOAT_EQ(Host.Calls.back().Opt, 0.25f);
}

TEST_F(ParametersTest, TouchNotifiesOtherHostsWithTheNormalisedValue)
{
    Host.ClearRecords();
    Plugin().NotifyParameterTouched("Gate");
    ASSERT_EQ(Host.CountCalls(audioMasterAutomate), 1u);
    EXPECT_EQ(Host.Calls.back().Index, 5);
    EXPECT_FLOAT_EQ(Host.Calls.back().Opt, 0.5f);
}

TEST(ParametersHostTest, TouchIsSilentUnderLive)
{
    TTestHost host;
    host.ProductString = "Live";
    ASSERT_NE(host.LoadAndOpenWith(&InProcessEntry), nullptr);
    host.ClearRecords();
    PluginOf(host.Effect()).NotifyParameterTouched("Gate");
    EXPECT_EQ(host.CountCalls(audioMasterAutomate), 0u);
}

} // namespace
} // namespace tumblet::test
