// The plug-in as a host sees it: only the exported entry and the effect record.

#include "support/TestHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>

namespace tumblet::test
{
namespace
{

class EntryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        if (TTestHost::Library(&error) == nullptr)
            FAIL() << "cannot load " << TTestHost::PluginPath() << ": " << error;
    }
    TTestHost Host;
};

TEST_F(EntryTest, ExportsExactlyTheTwoEntryNames)
{
    const std::string command = "nm -D --defined-only '" + TTestHost::PluginPath() + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> symbols;
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get()) != nullptr)
    {
        char address[64], kind[8], name[400];
        if (std::sscanf(line, "%63s %7s %399s", address, kind, name) == 3)
            symbols.insert(name);
    }
    EXPECT_EQ(symbols, (std::set<std::string>{"VSTPluginMain", "main"}));
}

TEST_F(EntryTest, RecordShowsTheProductConfiguration)
{
    AEffect* effect = Host.Load();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->flags, 0x131);
    EXPECT_EQ(effect->numInputs, 0);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->uniqueID, FourCC('b', 'x', '0', '2'));
    EXPECT_EQ(effect->version, 1000);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_EQ(effect->object, nullptr);
    EXPECT_NE(effect->user, nullptr);
    EXPECT_EQ(effect->resvd1, 0);
    EXPECT_EQ(effect->initialDelay, 0);
}

TEST_F(EntryTest, BothExportNamesCreateIndependentInstances)
{
    TTestHost other;
    AEffect* a = Host.Load("VSTPluginMain");
    AEffect* b = other.Load("main");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
}

TEST_F(EntryTest, CreationAsksVersionThenProductBeforeTheRecordExists)
{
    ASSERT_NE(Host.Load(), nullptr);
    ASSERT_GE(Host.Calls.size(), 2u);
    EXPECT_EQ(Host.Calls[0].Opcode, audioMasterVersion);
    EXPECT_EQ(Host.Calls[1].Opcode, audioMasterGetProductString);
}

TEST_F(EntryTest, HostAnsweringVersionZeroGetsNull)
{
    Host.VersionAnswer = 0;
    EXPECT_EQ(Host.Load(), nullptr);
}

TEST_F(EntryTest, IdentityAndCategoryAnswers)
{
    ASSERT_NE(Host.Load(), nullptr);
    EXPECT_EQ(Host.DispatchText(effGetEffectName), "Tumblet");
    EXPECT_EQ(Host.DispatchText(effGetProductString), "Tumblet");
    EXPECT_EQ(Host.DispatchText(effGetVendorString), "Brindlex");
    EXPECT_EQ(Host.Dispatch(effGetEffectName, 0, 0, nullptr), 0);
    EXPECT_EQ(Host.Dispatch(effGetPlugCategory), 2);
    EXPECT_EQ(Host.Dispatch(effGetVendorVersion), 1000);
    EXPECT_EQ(Host.Dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(Host.Dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(Host.Dispatch(effGetTailSize), 0);
    EXPECT_EQ(Host.Dispatch(effKeysRequired), 1);
    EXPECT_EQ(Host.Dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(Host.Dispatch(effSetTotalSampleToProcess, 0, 12345), 12345);
    EXPECT_EQ(Host.Dispatch(effSetProcessPrecision, 0, 1), 0);
    EXPECT_EQ(Host.Dispatch(effConnectInput, 0, 1), 1);
    EXPECT_EQ(Host.Dispatch(effStartProcess), 0);
    EXPECT_EQ(Host.Dispatch(effSetBypass, 0, 1), 0);
    EXPECT_EQ(Host.Dispatch(effProcessVarIo), 0);
    EXPECT_EQ(Host.Dispatch(effSetSpeakerArrangement, 0, 0, nullptr), 0);
    EXPECT_EQ(Host.Dispatch(effSetBlockSizeAndSampleRate, 0, 256, nullptr, 48000.0f), 1);
}

TEST_F(EntryTest, OpcodesOutsideTheTableAnswerZero)
{
    ASSERT_NE(Host.Load(), nullptr);
    for (std::int32_t opcode : {-1, 80, 1000, INT32_MIN, INT32_MAX})
        EXPECT_EQ(Host.Dispatch(opcode, 1, 2, nullptr, 3.0f), 0) << opcode;
    for (std::int32_t opcode :
         {effEditDraw, effEditMouse, effEditKey, effCopyProgram, effGetErrorText, effIdle,
          effGetIcon, effGetMidiKeyName, effGetNumMidiInputChannels, effGetNumMidiOutputChannels})
        EXPECT_EQ(Host.Dispatch(opcode), 0) << opcode;
}

TEST_F(EntryTest, CanDoIsExactAndCaseSensitive)
{
    ASSERT_NE(Host.Load(), nullptr);
    auto canDo = [&](const char* text)
    { return Host.Dispatch(effCanDo, 0, 0, const_cast<char*>(text)); };
    EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
    EXPECT_EQ(canDo("sendVstEvents"), 1);
    EXPECT_EQ(canDo("sendVstMidiEvent"), 1);
    EXPECT_EQ(canDo("2in2out"), 1);
    EXPECT_EQ(canDo("receiveVstEvents"), -1);
    EXPECT_EQ(canDo("receiveVstTimeInfo"), -1);
    EXPECT_EQ(canDo("bypass"), -1);
    EXPECT_EQ(canDo("ReceiveVstMidiEvent"), 0);
    EXPECT_EQ(canDo("hasCockosExtensions"), 0);
    EXPECT_EQ(canDo(""), 0);
    EXPECT_EQ(Host.Dispatch(effCanDo, 0, 0, nullptr), 0);
}

TEST_F(EntryTest, PinPropertiesForTwoOutputsAndNoInputs)
{
    ASSERT_NE(Host.Load(), nullptr);
    VstPinProperties pin{};
    EXPECT_EQ(Host.Dispatch(effGetInputProperties, 0, 0, &pin), 0);
    EXPECT_EQ(Host.Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Output #2");
    EXPECT_STREQ(pin.shortLabel, "Out2");
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    EXPECT_EQ(pin.arrangementType, kSpeakerArrStereo);

    VstPinProperties untouched;
    std::memset(&untouched, 0x5A, sizeof untouched);
    VstPinProperties copy = untouched;
    EXPECT_EQ(Host.Dispatch(effGetOutputProperties, 2, 0, &copy), 0);
    EXPECT_EQ(std::memcmp(&copy, &untouched, sizeof copy), 0);
    EXPECT_EQ(Host.Dispatch(effGetOutputProperties, -1, 0, &copy), 0);
    EXPECT_EQ(Host.Dispatch(effGetOutputProperties, 0, 0, nullptr), 0);
}

TEST_F(EntryTest, ResumeAsksForMidiAndSuspendAsksNothing)
{
    ASSERT_NE(Host.Load(), nullptr);
    Host.ClearRecords();
    EXPECT_EQ(Host.Dispatch(effMainsChanged, 0, 0), 0);
    EXPECT_TRUE(Host.Calls.empty());
    EXPECT_EQ(Host.Dispatch(effMainsChanged, 0, 1), 0);
    ASSERT_EQ(Host.CountCalls(audioMasterWantMidi), 1u);
    for (const auto& call : Host.Calls)
    {
        if (call.Opcode == audioMasterWantMidi)
        {
            EXPECT_EQ(call.Value, 1);
        }
    }
}

TEST_F(EntryTest, ProcessingBeforeOpenDoesNothingAndCopiedPointerWorksAfter)
{
    AEffect* effect = Host.Load();
    ASSERT_NE(effect, nullptr);
    AEffectProcessProc copied = effect->processReplacing;
    Host.Process(64);
    EXPECT_EQ(Host.Outputs[0][0], TTestHost::kOutputMarker);
    EXPECT_TRUE(Host.RequestedTimeMasks.empty());

    Host.Dispatch(effOpen);
    std::vector<float> left(64, TTestHost::kOutputMarker), right(64, TTestHost::kOutputMarker);
    float* outputs[2] = {left.data(), right.data()};
    Host.ClearRecords();
    copied(effect, nullptr, outputs, 64);
    // A host that copied the entry before effOpen still reaches real processing through it:
    // the outputs are silenced and the block asks for the host's time.
    EXPECT_EQ(left[0], 0.0f);
    EXPECT_EQ(right[63], 0.0f);
    EXPECT_FALSE(Host.RequestedTimeMasks.empty());
}

TEST_F(EntryTest, ZeroFramesAndNullBuffersDoNothing)
{
    ASSERT_NE(Host.LoadAndOpen(), nullptr);
    Host.ClearRecords();
    float* none[2] = {nullptr, nullptr};
    Host.Effect()->processReplacing(Host.Effect(), nullptr, none, 0);
    Host.Effect()->processReplacing(Host.Effect(), nullptr, nullptr, 64);
    Host.Effect()->processReplacing(Host.Effect(), nullptr, none, -5);
    EXPECT_TRUE(Host.Calls.empty());
}

TEST_F(EntryTest, NullEffectIsHarmlessOnEveryEntry)
{
    ASSERT_NE(Host.Load(), nullptr);
    AEffect* effect = Host.Effect();
    EXPECT_EQ(effect->dispatcher(nullptr, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(effect->getParameter(nullptr, 0), 0.0f);
    effect->setParameter(nullptr, 0, 0.5f);
    effect->processReplacing(nullptr, nullptr, nullptr, 64);
}

TEST_F(EntryTest, CloseAnswersOneAndLaterCallsAreNeutral)
{
    ASSERT_NE(Host.Load(), nullptr);
    AEffect* effect = Host.Effect();
    Host.Dispatch(effOpen);
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
    // A careless host keeps calling through the record it was given.
    EXPECT_EQ(effect->getParameter(effect, 0), 0.0f);
    EXPECT_EQ(effect->dispatcher(effect, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 0);
    effect->setParameter(effect, 0, 1.0f);
    std::vector<float> out(16, 3.0f);
    float* outputs[2] = {out.data(), out.data()};
    effect->processReplacing(effect, nullptr, outputs, 16);
    EXPECT_EQ(out[0], 3.0f);
    EXPECT_EQ(effect->user, nullptr);
    Host.Dispatch(effClose); // the test host's own close is also harmless now
}

struct THostObjectCase
{
    const char* Product;
    bool ObjectMode;
};

class HostObjectModeTest : public EntryTest, public ::testing::WithParamInterface<THostObjectCase>
{
};

TEST_P(HostObjectModeTest, ProductStringSelectsTheField)
{
    Host.ProductString = GetParam().Product;
    AEffect* effect = Host.Load();
    ASSERT_NE(effect, nullptr);
    if (GetParam().ObjectMode)
    {
        EXPECT_NE(effect->object, nullptr);
        EXPECT_EQ(effect->user, nullptr);
    }
    else
    {
        EXPECT_EQ(effect->object, nullptr);
        EXPECT_NE(effect->user, nullptr);
    }
    // Either way the record still answers through its entries.
    EXPECT_EQ(Host.DispatchText(effGetEffectName), "Tumblet");
    EXPECT_EQ(Host.Dispatch(effGetVstVersion), 2400);
}

INSTANTIATE_TEST_SUITE_P(
    Products, HostObjectModeTest,
    ::testing::Values(THostObjectCase{"energyXT", true}, THostObjectCase{"XT", true},
                      THostObjectCase{"Sound Forge Pro 10.0", true}, THostObjectCase{"Forge", true},
                      THostObjectCase{"energyXT2", false},
                      THostObjectCase{"Sound Forge Pro 11.0", false},
                      THostObjectCase{"energyxt", false}, THostObjectCase{"Bitwig Studio", false}));

} // namespace
} // namespace tumblet::test
