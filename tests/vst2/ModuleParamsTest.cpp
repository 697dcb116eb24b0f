#include "vst2/LayerTestModule.h"

#include "vst2/HostText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace tumblet::test
{
namespace
{

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// One linear parameter -36..36 ("Transpose"), module values (no programs, no chunks).
std::unique_ptr<TLayerTestModule> CreateTransposeModule()
{
    return TLayerTestModule::Create([](TLayerTestModule& m)
                                    { AddParameter(m, "Transpose", -36.0f, 36.0f); });
}

// ---- Mapping ---------------------------------------------------------------------------------

struct TLinearCase
{
    float Normalised;
    float Stored;
};

class LinearMappingTest : public ::testing::TestWithParam<TLinearCase>
{
};

TEST_P(LinearMappingTest, HostSetStoresClampedRealValue)
{
    auto module = CreateTransposeModule();
    module->HostSet(0, GetParam().Normalised);
    EXPECT_FLOAT_EQ(module->GetParameter(0), GetParam().Stored);
}

INSTANTIATE_TEST_SUITE_P(CustomVstParameterProperty, LinearMappingTest,
                         ::testing::Values(TLinearCase{0.5f, 0.0f}, TLinearCase{1.2f, 36.0f},
                                           TLinearCase{-0.5f, -36.0f}, TLinearCase{0.0f, -36.0f},
                                           TLinearCase{0.75f, 18.0f}, TLinearCase{kNaN, -36.0f}));

TEST(VSTModuleWithProgramsTest, HostReadsBackNormalisedAndClamped)
{
    auto module = CreateTransposeModule();
    module->HostSet(0, 0.5f);
    EXPECT_FLOAT_EQ(module->HostGet(0), 0.5f);
    module->StoreParameter(0, 100.0f); // beyond Max: the host still sees 1
    EXPECT_FLOAT_EQ(module->HostGet(0), 1.0f);
    module->StoreParameter(0, kNaN);
    EXPECT_FLOAT_EQ(module->HostGet(0), 0.0f);
}

TEST(CustomVstParameterPropertyTest, CurvesRoundTripAndHitTheEnds)
{
    auto module = TLayerTestModule::Create(
        [](TLayerTestModule& m)
        {
            AddParameter(m, "Log", 20.0f, 20000.0f).SetCurve(TCurveType::ctLogarithmic);
            TCustomVstParameterProperty& exponential = AddParameter(m, "Exp", 0.0f, 10.0f);
            exponential.SetCurve(TCurveType::ctExponential);
            exponential.SetCurveFactor(4.0f);
            AddParameter(m, "Freq", 20.0f, 20000.0f).SetCurve(TCurveType::ctFrequencyScale);
        });
    EXPECT_FLOAT_EQ(module->ParameterProperties()[0].CurveFactor(), 1000.0f);
    for (std::int32_t index = 0; index < 3; ++index)
    {
        const auto& property = module->ParameterProperties()[index];
        EXPECT_NEAR(module->VSTParameterToParameter(index, 0.0f), property.Min(), 1e-3) << index;
        EXPECT_NEAR(module->VSTParameterToParameter(index, 1.0f), property.Max(), 1e-1) << index;
        for (float n : {0.1f, 0.25f, 0.5f, 0.9f})
        {
            const float value = module->VSTParameterToParameter(index, n);
            EXPECT_NEAR(module->ParameterToVSTParameter(index, value), n, 1e-4) << index;
        }
    }
}

TEST(CustomVstParameterPropertyTest, DegenerateRangesAnswerFiniteValues)
{
    auto module = TLayerTestModule::Create(
        [](TLayerTestModule& m)
        {
            AddParameter(m, "Flat", 5.0f, 5.0f);
            AddParameter(m, "FreqFromZero", 0.0f, 100.0f).SetCurve(TCurveType::ctFrequencyScale);
            TCustomVstParameterProperty& zeroFactor = AddParameter(m, "ZeroFactor", 0.0f, 1.0f);
            zeroFactor.SetCurve(TCurveType::ctExponential);
            zeroFactor.SetCurveFactor(0.0f);
        });
    EXPECT_FLOAT_EQ(module->VSTParameterToParameter(0, 0.7f), 5.0f);
    EXPECT_FLOAT_EQ(module->ParameterToVSTParameter(0, 5.0f), 0.0f);
    // Curves whose constants divide by zero fall back to their linear limit.
    EXPECT_FLOAT_EQ(module->VSTParameterToParameter(1, 0.5f), 50.0f);
    EXPECT_FLOAT_EQ(module->ParameterToVSTParameter(1, 50.0f), 0.5f);
    EXPECT_FLOAT_EQ(module->VSTParameterToParameter(2, 0.5f), 0.5f);
}

TEST(CustomVstParameterPropertyTest, SmoothingFollowsHostValuesGradually)
{
    auto module = TLayerTestModule::Create(
        [](TLayerTestModule& m)
        { AddParameter(m, "Smooth", 0.0f, 1.0f).SetSmoothingFactor(0.5f); });
    module->HostSet(0, 1.0f);
    EXPECT_FLOAT_EQ(module->GetParameter(0), 0.5f);
    module->HostSet(0, 1.0f);
    EXPECT_FLOAT_EQ(module->GetParameter(0), 0.75f);
}

TEST(CustomVstParameterPropertyTest, SmoothingFactorOutsideItsRangeSwitchesOff)
{
    auto module = CreateTransposeModule();
    auto& property = module->ParameterProperties()[0];
    for (float factor : {1.0f, -0.1f, 2.0f, kNaN})
    {
        property.SetSmoothingFactor(0.3f);
        property.SetSmoothingFactor(factor);
        EXPECT_EQ(property.SmoothingFactor(), 0.0f) << factor;
    }
}

// ---- Names -------------------------------------------------------------------------------------

TEST(CustomVstParameterPropertyTest, ShortLabelFollowsNameUntilSetByHand)
{
    auto module = TLayerTestModule::Create(
        [](TLayerTestModule& m)
        {
            m.ParameterProperties().Add();
            m.ParameterProperties().Add();
        });
    auto& first = module->ParameterProperties()[0];
    auto& second = module->ParameterProperties()[1];
    EXPECT_EQ(second.DisplayName(), "Parameter 2");
    EXPECT_EQ(second.ShortLabel(), "");

    first.SetDisplayName("Velocity Random");
    EXPECT_EQ(first.ShortLabel(), "Velocit");
    first.SetShortLabel("VelRnd");
    first.SetDisplayName("Velocity Randomness");
    EXPECT_EQ(first.ShortLabel(), "VelRnd");

    // A short label equal to the old name follows the new one.
    second.SetDisplayName("Gate");
    second.SetDisplayName("Swing");
    EXPECT_EQ(second.ShortLabel(), "Swing");
}

TEST(CustomVstParameterPropertyTest, DisplayNameIsCutToSixtyFourCharacters)
{
    auto module = CreateTransposeModule();
    auto& property = module->ParameterProperties()[0];
    std::string name;
    for (int i = 0; i < 70; ++i)
        name += "\xC3\xA9"; // é: one UTF-16 unit, two bytes
    property.SetDisplayName(name);
    EXPECT_EQ(property.DisplayName(), name.substr(0, 128));
}

// ---- Store, set and automation -------------------------------------------------------------

TEST(VSTModuleWithProgramsTest, HostSetNeverAutomatesButSetParameterDoes)
{
    auto module = CreateTransposeModule();
    int changes = 0;
    module->ParameterProperties()[0].OnParameterChange =
        [&](TCustomVstParameterProperty&, std::int32_t, float& value)
    {
        ++changes;
        value = value * 0.5f; // a hook may change what is stored
    };
    module->HostSet(0, 1.0f);
    EXPECT_EQ(module->CountHostCalls(audioMasterAutomate), 0u);
    EXPECT_EQ(changes, 1);

    module->SetParameter(0, 36.0f);
    ASSERT_EQ(module->CountHostCalls(audioMasterAutomate), 1u);
    const TRecordedHostCall& automate = module->HostCalls.back();
    EXPECT_EQ(automate.Index, 0);
    EXPECT_FLOAT_EQ(automate.Opt, 1.0f); // from the value passed, not the hook's
    EXPECT_FLOAT_EQ(module->GetParameter(0), 18.0f);
    EXPECT_TRUE(module->EditorNeedsUpdate());
}

TEST(VSTModuleWithProgramsTest, NotAutomatableParameterStoresWithoutTellingTheHost)
{
    auto module = CreateTransposeModule();
    module->ParameterProperties()[0].SetCanBeAutomated(false);
    int moduleChanges = 0;
    module->OnParameterChange = [&](TVSTModuleWithPrograms&, std::int32_t, float&)
    { ++moduleChanges; };
    module->SetParameter(0, 12.0f);
    EXPECT_FLOAT_EQ(module->GetParameter(0), 12.0f);
    EXPECT_EQ(moduleChanges, 1);
    EXPECT_EQ(module->CountHostCalls(audioMasterAutomate), 0u);
    EXPECT_EQ(module->Call(effCanBeAutomated, 0), 0);
}

TEST(VSTModuleWithProgramsTest, IndexesOutsideTheCollection)
{
    auto module = CreateTransposeModule();
    int sizeFailures = 0;
    module->OnParameterSizeFailed = [&](TVSTModuleWithPrograms&) { ++sizeFailures; };
    module->HostSet(1, 0.5f);
    EXPECT_EQ(sizeFailures, 1);
    EXPECT_EQ(module->HostGet(1), 0.0f);
    EXPECT_EQ(module->HostGet(-1), 0.0f);
    EXPECT_EQ(module->Call(effCanBeAutomated, 1), 1);
    for (std::int32_t opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay})
        EXPECT_EQ(module->CallText(opcode, 1), "undefined") << opcode;
    char text[] = "3";
    EXPECT_EQ(module->Call(effString2Parameter, 1, 0, text), 0); // contained at the boundary
    EXPECT_NO_THROW(module->SetParameter(5, 1.0f));
    try
    {
        module->StoreParameter(5, 1.0f);
        FAIL() << "StoreParameter accepted index 5";
    }
    catch (const EVstParameterError& e)
    {
        EXPECT_STREQ(e.what(), "Index out of bounds (5)");
    }
}

TEST(VSTModuleWithProgramsTest, SetParameterByNameMatchesExactlyOrSaysWhy)
{
    auto empty = TLayerTestModule::Create(nullptr);
    EXPECT_THROW(
        {
            try
            {
                empty->SetParameterByName("Gate", 1.0f);
            }
            catch (const EVstParameterError& e)
            {
                EXPECT_STREQ(e.what(), "No parameter available!");
                throw;
            }
        },
        EVstParameterError);

    auto module = CreateTransposeModule();
    module->SetParameterByName("Transpose", 7.0f);
    EXPECT_FLOAT_EQ(module->GetParameter(0), 7.0f);
    EXPECT_EQ(module->CountHostCalls(audioMasterAutomate), 1u);
    try
    {
        module->SetParameterByName("transpose", 1.0f);
        FAIL() << "names are case-sensitive";
    }
    catch (const EVstParameterError& e)
    {
        EXPECT_STREQ(e.what(), "Unknown parameter name: transpose");
    }
}

TEST(VSTModuleWithProgramsTest, ProgramValuesKeepWhatTheHookMadeOfThem)
{
    auto module = TLayerTestModule::Create(
        [](TLayerTestModule& m)
        {
            AddParameter(m, "A", 0.0f, 10.0f).OnParameterChange =
                [](TCustomVstParameterProperty&, std::int32_t, float& value) { value += 1.0f; };
            m.Programs().Add();
        });
    module->StoreParameter(0, 3.0f);
    EXPECT_FLOAT_EQ(module->Programs()[0].ParameterValues().Get(0), 4.0f);
    EXPECT_FLOAT_EQ(module->GetParameter(0), 4.0f);
}

TEST(VSTModuleWithProgramsTest, ChunkModeReadsThroughTheHookAndStoresNothing)
{
    float productValue = 2.0f;
    auto module = TLayerTestModule::Create(
        [&](TLayerTestModule& m)
        {
            m.SetFlags(effFlagsProgramChunks);
            AddParameter(m, "A", 0.0f, 10.0f).OnParameterChange =
                [&](TCustomVstParameterProperty&, std::int32_t, float& value)
            { productValue = value; };
            m.OnGetChunkParameter = [&](TVSTModuleWithPrograms&, std::int32_t)
            { return productValue; };
        });
    EXPECT_FLOAT_EQ(module->HostGet(0), 0.2f);
    module->HostSet(0, 0.5f);
    EXPECT_FLOAT_EQ(productValue, 5.0f);
    EXPECT_EQ(module->Effect()->numParams, 1);
}

// ---- Texts -------------------------------------------------------------------------------------

TEST(VSTModuleWithProgramsTest, DefaultDisplayRoundsToFourPlacesOrShowsChunkValueFully)
{
    auto module = CreateTransposeModule();
    module->StoreParameter(0, 12.34567f);
    EXPECT_EQ(module->GetParameterDisplay(0), "12.35");
    module->StoreParameter(0, 0.123456f);
    EXPECT_EQ(module->GetParameterDisplay(0), "0.1235");

    auto chunked = TLayerTestModule::Create(
        [](TLayerTestModule& m)
        {
            m.SetFlags(effFlagsProgramChunks);
            AddParameter(m, "A", 0.0f, 1.0f);
            m.OnGetChunkParameter = [](TVSTModuleWithPrograms&, std::int32_t) { return 0.1f; };
        });
    EXPECT_EQ(chunked->CallText(effGetParamDisplay, 0), "0.100000001490116");
}

TEST(VSTModuleWithProgramsTest, DisplayAndLabelHooksReplaceTheTextAndFailuresShowError)
{
    auto module = CreateTransposeModule();
    auto& property = module->ParameterProperties()[0];
    property.SetUnits("st");
    EXPECT_EQ(module->CallText(effGetParamLabel, 0), "st");
    property.OnCustomParameterLabel = [](TCustomVstParameterProperty&, std::int32_t,
                                         std::string& text) { text = "semi"; };
    EXPECT_EQ(module->CallText(effGetParamLabel, 0), "semi");
    property.OnCustomParameterDisplay =
        [](TCustomVstParameterProperty&, std::int32_t index, std::string& text)
    { text = "#" + std::to_string(index); };
    EXPECT_EQ(module->CallText(effGetParamDisplay, 0), "#0");
    property.OnCustomParameterDisplay = [](TCustomVstParameterProperty&, std::int32_t, std::string&)
    { throw std::runtime_error("no tag"); };
    EXPECT_EQ(module->CallText(effGetParamDisplay, 0), "error");
}

TEST(VSTModuleWithProgramsTest, HostTextsAreCappedAndTruncatedOnRequest)
{
    auto module = CreateTransposeModule();
    module->ParameterProperties()[0].SetDisplayName(std::string(64, 'n'));
    char buffer[128];
    std::memset(buffer, 'x', sizeof(buffer));
    module->Call(effGetParamName, 0, 0, buffer);
    EXPECT_EQ(std::strlen(buffer), kHostTextLimit);
    EXPECT_EQ(buffer[kHostTextLimit + 1], 'x');

    module->SetTruncateStrings(true);
    EXPECT_EQ(module->CallText(effGetParamName, 0), std::string(8, 'n'));
    EXPECT_EQ(module->Call(effGetParamName, 0, 0, nullptr), 0);
}

// ---- effString2Parameter ---------------------------------------------------------------------

TEST(VSTModuleWithProgramsTest, String2ParameterWithoutHandlerRestoresAndStillAutomates)
{
    auto module = CreateTransposeModule();
    module->StoreParameter(0, 5.0f);
    char text[] = "3";
    EXPECT_EQ(module->Call(effString2Parameter, 0, 0, text), 0);
    EXPECT_FLOAT_EQ(module->GetParameter(0), 5.0f);
    EXPECT_EQ(module->CountHostCalls(audioMasterAutomate), 1u);
    EXPECT_EQ(module->Call(effString2Parameter, 0, 0, nullptr), 0);
}

struct TParseCase
{
    const char* Units;
    const char* Text;
    float Expected; // the parameter starts at 7
};

class DefaultString2ParameterTest : public ::testing::TestWithParam<TParseCase>
{
};

TEST_P(DefaultString2ParameterTest, ReadsNumberUnitsAndPrefix)
{
    auto module = TLayerTestModule::Create(
        [](TLayerTestModule& m) {
            AddParameter(m, "Freq", -100000.0f, 100000.0f).UseDefaultString2ParameterHandler = true;
        });
    module->ParameterProperties()[0].SetUnits(GetParam().Units);
    module->StoreParameter(0, 7.0f);
    std::string text = GetParam().Text;
    EXPECT_EQ(module->Call(effString2Parameter, 0, 0, text.data()), 1);
    EXPECT_FLOAT_EQ(module->GetParameter(0), GetParam().Expected) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    VSTModuleWithPrograms, DefaultString2ParameterTest,
    ::testing::Values(TParseCase{"Hz", " 2.5 kHz", 2500.0f}, TParseCase{"dB", "-12 dB", -12.0f},
                      TParseCase{"", "abc", 7.0f}, TParseCase{"", "2E2", 200.0f},
                      TParseCase{"Hz", "1 KHz", 1024.0f}, TParseCase{"s", "5 ms", 0.005f},
                      TParseCase{"", "m 5", 5.0f}, // a prefix before the number is no prefix
                      TParseCase{"", "1,5", 7.0f}, // not the separator of the C locale
                      TParseCase{"", "+3", 3.0f}, TParseCase{"", "\t\n", 7.0f}));

TEST(HostTextTest, ParsesWithTheUsersSeparator)
{
    EXPECT_DOUBLE_EQ(*ParseParameterString("1,5 kHz", "Hz", ","), 1500.0);
    EXPECT_FALSE(ParseParameterString("1.5", "", ",").has_value());
    EXPECT_EQ(FormatGeneral(0.25, 4, ","), "0,25");
    EXPECT_EQ(FormatGeneral(-12.0, 4, ","), "-12");
}

TEST(VSTModuleWithProgramsTest, StringHookSeesTextAndParsedValue)
{
    auto module = TLayerTestModule::Create(
        [](TLayerTestModule& m)
        {
            auto& property = AddParameter(m, "A", 0.0f, 100.0f);
            property.UseDefaultString2ParameterHandler = true;
            property.OnStringToParameter = [](TCustomVstParameterProperty&, std::int32_t,
                                              const std::string& text, float& value)
            {
                if (text == "half")
                    value = 50.0f;
                else
                    value += 1.0f;
            };
        });
    char half[] = "half";
    EXPECT_EQ(module->Call(effString2Parameter, 0, 0, half), 1);
    EXPECT_FLOAT_EQ(module->GetParameter(0), 50.0f);
    char number[] = "20";
    module->Call(effString2Parameter, 0, 0, number);
    EXPECT_FLOAT_EQ(module->GetParameter(0), 21.0f);
}

// ---- effGetParameterProperties and categories --------------------------------------------------

TEST(VSTModuleWithProgramsTest, ParameterPropertiesUntouchedWhenNotReported)
{
    auto module = CreateTransposeModule();
    VstParameterProperties record;
    std::memset(&record, 0xAB, sizeof(record));
    const VstParameterProperties before = record;
    EXPECT_EQ(module->Call(effGetParameterProperties, 0, 0, &record), 0);
    EXPECT_EQ(module->Call(effGetParameterProperties, 3, 0, &record), 0);
    EXPECT_EQ(std::memcmp(&record, &before, sizeof(record)), 0);
}

TEST(VSTModuleWithProgramsTest, ParameterPropertiesReportWhatTheFlagsSay)
{
    using F = TVstParameterPropertiesFlag;
    auto module = TLayerTestModule::Create(
        [](TLayerTestModule& m)
        {
            AddParameter(m, "Other", 0.0f, 1.0f);
            auto& property = AddParameter(m, "Cutoff", 0.0f, 100.0f);
            property.ReportVST2Properties = true;
            property.StepFloat = 10.0f;
            property.Flags = ParameterFlagBit(F::ppfParameterUsesFloatStep) |
                             ParameterFlagBit(F::ppfParameterSupportsDisplayIndex) |
                             ParameterFlagBit(F::ppfParameterSupportsDisplayCategory);
            property.SetCategory("Filter");
            m.ParameterProperties()[0].SetCategory("Filter");
        });
    VstParameterProperties record;
    std::memset(&record, 0xAB, sizeof(record));
    EXPECT_EQ(module->Call(effGetParameterProperties, 1, 0, &record), 1);
    EXPECT_STREQ(record.label, "Cutoff");
    EXPECT_STREQ(record.shortLabel, "Cutoff");
    EXPECT_FLOAT_EQ(record.stepFloat, 0.1f);
    EXPECT_EQ(record.minInteger, 0);
    EXPECT_EQ(record.stepInteger, 1);
    EXPECT_EQ(record.largeStepInteger, 2);
    EXPECT_EQ(record.displayIndex, 1);
    EXPECT_STREQ(record.categoryLabel, "Filter");
    EXPECT_EQ(record.category, 1);
    EXPECT_EQ(record.numParametersInCategory, 2);
    EXPECT_EQ(module->ParameterCategories().Count(), 1);
}

TEST(VSTModuleWithProgramsTest, ParameterPropertiesLabelStaysZeroTerminated)
{
    auto module = CreateTransposeModule();
    auto& property = module->ParameterProperties()[0];
    property.ReportVST2Properties = true;
    property.SetDisplayName(std::string(64, 'L'));
    VstParameterProperties record;
    std::memset(&record, 0xAB, sizeof(record));
    EXPECT_EQ(module->Call(effGetParameterProperties, 0, 0, &record), 1);
    EXPECT_EQ(record.label[sizeof(record.label) - 1], 0);
    EXPECT_EQ(std::string(record.label), std::string(63, 'L'));
    EXPECT_FLOAT_EQ(record.stepFloat, 0.01f); // no float-step flag: the defaults
}

TEST(CustomVstParameterCategoriesTest, RemovingACategoryClearsItFromProperties)
{
    auto module = CreateTransposeModule();
    auto& property = module->ParameterProperties()[0];
    module->ParameterCategories().Add(); // "Category 1"
    property.SetCategory("Pitch");
    EXPECT_EQ(module->ParameterCategories()[1].DisplayName(), "Pitch");
    EXPECT_EQ(property.CategoryIndex(), 2);
    module->ParameterCategories().Remove(1);
    EXPECT_EQ(property.Category(), "");
    EXPECT_EQ(property.CategoryIndex(), 0);
}

TEST(VSTModuleWithProgramsTest, NumParamsFollowsTheCollection)
{
    auto module = CreateTransposeModule();
    module->ParameterProperties().Add();
    EXPECT_EQ(module->Effect()->numParams, 2);
    module->StoreParameter(1, 0.5f);
    module->ParameterProperties().Remove(0);
    EXPECT_EQ(module->Effect()->numParams, 1);
    EXPECT_EQ(module->ParameterProperties()[0].DisplayName(), "Parameter 2");
}

} // namespace
} // namespace tumblet::test
