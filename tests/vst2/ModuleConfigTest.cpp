#include "vst2/LayerTestModule.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tumblet::test
{
namespace
{

std::intptr_t SilentHost(AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void*, float)
{
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

TEST(CustomVSTModuleTest, VersionNumberFollowsTheReleaseRule)
{
    TLayerTestModule module;
    EXPECT_EQ(module.GetEffect()->version, 1000);
    module.SetVersionMinor(2);
    module.SetVersionRelease(3);
    EXPECT_EQ(module.GetEffect()->version, 1203);
    module.SetVersionRelease(100);
    EXPECT_EQ(module.GetEffect()->version, 66148);
}

// The product's full four-character ID is checked through the plug-in itself.
TEST(CustomVSTModuleTest, ShortUniqueIdIsPaddedWithZeros)
{
    TLayerTestModule module;
    module.SetUniqueID("ab");
    EXPECT_EQ(static_cast<std::uint32_t>(module.GetEffect()->uniqueID), 0x61620000u);
    EXPECT_EQ(module.UniqueID(), std::string("ab\0\0", 4));
}

TEST(CustomVSTModuleTest, VuRoundsHalfToEvenAndAnswersZeroUnassigned)
{
    auto module = TLayerTestModule::Create(nullptr);
    EXPECT_EQ(module->Call(effGetVu), 0);
    module->OnGetVU = [](float& vu) { vu = 0.5f; };
    EXPECT_EQ(module->Call(effGetVu), 16384);
}

TEST(CustomVSTModuleTest, TruncateStringsCutsNamesOnAssignment)
{
    TLayerTestModule module;
    const std::string longName(80, 'x');
    module.SetEffectName(longName);
    EXPECT_EQ(module.EffectName().size(), 80u);
    module.SetTruncateStrings(true);
    module.SetEffectName(longName);
    module.SetVendorName(longName);
    EXPECT_EQ(module.EffectName().size(), 32u);
    EXPECT_EQ(module.VendorName().size(), 64u);
}

TEST(CustomVSTModuleTest, SampleRateAndBlockSizeRaiseOnlyOnChange)
{
    auto module = TLayerTestModule::Create(nullptr);
    int rateChanges = 0;
    int sizeChanges = 0;
    module->OnSampleRateChange = [&](TCustomVSTModule&, float) { ++rateChanges; };
    module->OnBlockSizeChange = [&](TCustomVSTModule&, std::int32_t) { ++sizeChanges; };
    EXPECT_EQ(module->Call(effSetSampleRate, 0, 0, nullptr, 44100.0f), 1);
    EXPECT_EQ(module->Call(effSetSampleRate, 0, 0, nullptr, 48000.0f), 1);
    EXPECT_EQ(module->Call(effSetBlockSize, 0, 1024), 0);
    EXPECT_EQ(module->Call(effSetBlockSize, 0, 64), 0);
    EXPECT_EQ(rateChanges, 1);
    EXPECT_EQ(sizeChanges, 1);
}

TEST(CustomVSTModuleTest, OnDispatcherFollowsEveryOpcodeWithItsNumber)
{
    auto module = TLayerTestModule::Create(nullptr);
    std::vector<std::int32_t> seen;
    module->OnDispatcher = [&](TBasicVSTModule&, std::int32_t opcode) { seen.push_back(opcode); };
    module->Call(effGetVstVersion);
    module->Call(effIdle);
    module->Call(80);
    EXPECT_EQ(seen, (std::vector<std::int32_t>{effGetVstVersion, effIdle}));
}

TEST(VSTModuleTest, ExceptionInCreationHandlerStillCreatesTheInstance)
{
    struct TThrowingModule : TLayerTestModule
    {
        TThrowingModule()
        {
            OnCreate = [](TVSTModule&) { throw std::runtime_error("creation failed on purpose"); };
        }
    };
    static bool created = false;
    created = false;
    AEffect* effect = CreateVstInstance(&SilentHost,
                                        []() -> std::unique_ptr<TVSTModule>
                                        {
                                            created = true;
                                            return std::make_unique<TThrowingModule>();
                                        });
    ASSERT_NE(effect, nullptr);
    EXPECT_TRUE(created);
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
}

// A host answering version 0 is refused through the plug-in's own entry; no host at all is
// refused here.
TEST(VSTModuleTest, NoHostCallbackGetsNoInstance)
{
    EXPECT_EQ(CreateVstInstance(nullptr,
                                []() -> std::unique_ptr<TVSTModule>
                                { return std::make_unique<TLayerTestModule>(); }),
              nullptr);
}

TEST(VSTModuleTest, AccumulatingEntryAddsTheReplacingResult)
{
    AEffect* effect = CreateVstInstance(
        &SilentHost,
        []() -> std::unique_ptr<TVSTModule>
        {
            auto module =
                std::make_unique<TLayerTestModule>([](TLayerTestModule& m) { m.SetNumOutputs(2); });
            module->OnProcess32Replacing = [](float**, float** outputs, std::uint32_t frames)
            {
                for (std::uint32_t i = 0; i < frames; ++i)
                    outputs[0][i] = 0.25f;
            };
            return module;
        });
    ASSERT_NE(effect, nullptr);
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    std::vector<float> left(8, 1.0f), right(8, 1.0f);
    float* outputs[2] = {left.data(), right.data()};
    effect->process(effect, nullptr, outputs, 8);
    EXPECT_FLOAT_EQ(left[7], 1.25f);
    EXPECT_FLOAT_EQ(right[7], 1.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

} // namespace
} // namespace tumblet::test
