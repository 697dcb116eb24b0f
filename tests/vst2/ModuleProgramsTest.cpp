#include "vst2/LayerTestModule.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tumblet::test
{
namespace
{

struct TChunkEvent
{
    bool Load;
    std::int32_t Index;
    bool IsPreset;
    std::string Bytes;
};

// A chunk-mode module like the product: one program "Default" whose hooks write the current
// state text into the chunk and record every load.
struct TChunkFixture
{
    std::string State = "state-1";
    std::vector<TChunkEvent> Events;
    std::unique_ptr<TLayerTestModule> Module;

    explicit TChunkFixture(std::int32_t programs = 1)
    {
        Module = TLayerTestModule::Create(
            [&](TLayerTestModule& m)
            {
                m.SetFlags(effFlagsProgramChunks | effFlagsHasEditor);
                m.SetUniqueID("bx02");
                for (std::int32_t i = 0; i < programs; ++i)
                {
                    TVstProgram& program = m.Programs().Add();
                    program.SetDisplayName(i == 0 ? "Default" : "Other");
                    program.OnStoreChunk =
                        [this](TCustomVstProgram& sender, std::int32_t index, bool isPreset)
                    {
                        sender.Chunk().Clear();
                        sender.Chunk().Write(State.data(), State.size());
                        Events.push_back({false, index, isPreset, State});
                    };
                    program.OnLoadChunk =
                        [this](TCustomVstProgram& sender, std::int32_t index, bool isPreset)
                    {
                        std::string bytes(sender.Chunk().Size(), '\0');
                        sender.Chunk().Read(bytes.data(), bytes.size());
                        Events.push_back({true, index, isPreset, bytes});
                    };
                }
            });
    }

    std::string GetChunk(std::int32_t index, std::intptr_t* length = nullptr)
    {
        void* data = nullptr;
        const std::intptr_t size = Module->Call(effGetChunk, index, 0, &data);
        if (length != nullptr)
            *length = size;
        return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
    }
};

std::string Bank(const std::vector<std::string>& entries)
{
    std::string bank;
    for (const std::string& entry : entries)
    {
        const auto n = static_cast<std::uint32_t>(entry.size());
        for (int i = 0; i < 4; ++i)
            bank.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
        bank += entry;
    }
    return bank;
}

// ---- Programs ------------------------------------------------------------------------------

TEST(VSTModuleWithProgramsTest, ProgramNamesAndNumbers)
{
    TChunkFixture fixture;
    TLayerTestModule& module = *fixture.Module;
    EXPECT_EQ(module.Effect()->numPrograms, 1);
    EXPECT_EQ(module.Call(effGetProgram), 0);
    char name[256] = {};
    EXPECT_EQ(module.Call(effGetProgramNameIndexed, 0, 0, name), 1);
    EXPECT_STREQ(name, "Default");
    EXPECT_EQ(module.Call(effGetProgramNameIndexed, 1, 0, name), 0);
    EXPECT_EQ(module.Call(effGetProgramNameIndexed, -1, 0, name), 0);
    EXPECT_EQ(module.Call(effGetProgramNameIndexed, 0, 0, nullptr), 0);
    EXPECT_EQ(module.CallText(effGetProgramName), "Default");
    EXPECT_EQ(module.Call(effGetNumProgramCategories), 1);
}

TEST(VSTModuleWithProgramsTest, ProgramNameIsCutToFiftyCharacters)
{
    TChunkFixture fixture;
    TLayerTestModule& module = *fixture.Module;
    std::string sixty;
    for (int i = 0; i < 60; ++i)
        sixty.push_back(static_cast<char>('A' + i % 26));
    EXPECT_EQ(module.Call(effSetProgramName, 0, 0, sixty.data()), 0);
    EXPECT_EQ(module.CurrentProgramName(), sixty.substr(0, 50));
    EXPECT_EQ(module.CallText(effGetProgramName), sixty.substr(0, 50));
    module.SetTruncateStrings(true);
    EXPECT_EQ(module.CallText(effGetProgramName), sixty.substr(0, 24));
}

TEST(VSTModuleWithProgramsTest, CurrentProgramNameAssignmentTellsEditorAndHost)
{
    TChunkFixture fixture;
    TLayerTestModule& module = *fixture.Module;
    module.SetEditorNeedsUpdate(false);
    module.SetCurrentProgramName("Bright");
    EXPECT_EQ(module.CurrentProgramName(), "Bright");
    EXPECT_TRUE(module.EditorNeedsUpdate());
    EXPECT_EQ(module.CountHostCalls(audioMasterUpdateDisplay), 1u);
}

TEST(VSTModuleWithProgramsTest, SelectingAProgramLoadsItsValues)
{
    std::vector<float> seen;
    auto module = TLayerTestModule::Create(
        [&](TLayerTestModule& m)
        {
            AddParameter(m, "A", 0.0f, 10.0f).OnParameterChange =
                [&](TCustomVstParameterProperty&, std::int32_t, float& value)
            { seen.push_back(value); };
            m.Programs().Add();
            m.Programs().Add();
        });
    EXPECT_EQ(module->CurrentProgram(), 0);
    EXPECT_TRUE(seen.empty()); // the first program becomes current without loading
    module->Programs()[1].ParameterValues().Set(0, 6.0f);
    module->SetEditorNeedsUpdate(false);
    module->Call(effSetProgram, 0, 1);
    EXPECT_EQ(module->Call(effGetProgram), 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_FLOAT_EQ(seen[0], 6.0f);
    EXPECT_TRUE(module->EditorNeedsUpdate());
    EXPECT_EQ(module->CountHostCalls(audioMasterUpdateDisplay), 1u);

    module->Call(effSetProgram, 0, 2);  // out of range
    module->Call(effSetProgram, 0, -1); // out of range
    module->Call(effSetProgram, 0, 1);  // already current
    EXPECT_EQ(module->CurrentProgram(), 1);
    EXPECT_EQ(seen.size(), 1u);
}

TEST(VSTModuleWithProgramsTest, ProgramValueArraysFollowTheParameterCount)
{
    auto module = TLayerTestModule::Create(
        [](TLayerTestModule& m)
        {
            m.Programs().Add();
            AddParameter(m, "A", 0.0f, 1.0f);
            AddParameter(m, "B", 0.0f, 1.0f);
        });
    EXPECT_EQ(module->Programs()[0].ParameterValues().Size(), 2);
    module->StoreParameter(1, 0.25f);
    EXPECT_FLOAT_EQ(module->HostGet(1), 0.25f);
}

TEST(VSTModuleWithProgramsTest, BeginLoadAnswersByUniqueId)
{
    TChunkFixture fixture;
    TLayerTestModule& module = *fixture.Module;
    int raised = 0;
    module.OnBeginLoadProgram = [&](TVSTModuleWithPrograms&, const VstPatchChunkInfo& info)
    { raised += info.numElements; };
    VstPatchChunkInfo info{};
    info.pluginUniqueID = FourCC('b', 'x', '0', '2');
    info.numElements = 1;
    EXPECT_EQ(module.Call(effBeginLoadProgram, 0, 0, &info), 1);
    EXPECT_EQ(module.Call(effBeginLoadBank, 0, 0, &info), 1);
    info.pluginUniqueID = FourCC('b', 'x', '0', '3');
    EXPECT_EQ(module.Call(effBeginLoadProgram, 0, 0, &info), -1);
    EXPECT_EQ(module.Call(effBeginLoadProgram, 0, 0, nullptr), 0);
    EXPECT_EQ(raised, 2);
    EXPECT_EQ(module.Call(effBeginSetProgram), 0);
    module.OnBeginSetProgram = [](TVSTModuleWithPrograms&) {};
    EXPECT_EQ(module.Call(effBeginSetProgram), 1);
}

// ---- Chunks --------------------------------------------------------------------------------

// A program chunk is the program's own bytes; a bank chunk is each program's chunk after its
// length, in program order.
TEST(VSTModuleWithProgramsTest, BankChunkIsEachProgramChunkAfterItsLength)
{
    TChunkFixture fixture(2);
    std::intptr_t programLength = 0;
    EXPECT_EQ(fixture.GetChunk(1, &programLength), "state-1");
    EXPECT_EQ(programLength, 7);
    ASSERT_EQ(fixture.Events.size(), 1u);
    EXPECT_TRUE(fixture.Events[0].IsPreset);

    fixture.Events.clear();
    std::intptr_t bankLength = 0;
    EXPECT_EQ(fixture.GetChunk(0, &bankLength), Bank({"state-1", "state-1"}));
    EXPECT_EQ(bankLength, 2 * (programLength + 4));
    ASSERT_EQ(fixture.Events.size(), 2u);
    EXPECT_EQ(fixture.Events[0].Index, 0);
    EXPECT_EQ(fixture.Events[1].Index, 1);
    EXPECT_FALSE(fixture.Events[1].IsPreset);
}

TEST(VSTModuleWithProgramsTest, BankRestoreLoadsTwiceAndProgramRestoreOnce)
{
    TChunkFixture fixture;
    TLayerTestModule& module = *fixture.Module;
    std::string bank = Bank({"saved"});
    module.SetEditorNeedsUpdate(false);
    EXPECT_EQ(module.Call(effSetChunk, 0, static_cast<std::intptr_t>(bank.size()), bank.data()),
              static_cast<std::intptr_t>(bank.size()));
    ASSERT_EQ(fixture.Events.size(), 2u);
    for (const TChunkEvent& event : fixture.Events)
    {
        EXPECT_TRUE(event.Load);
        EXPECT_FALSE(event.IsPreset);
        EXPECT_EQ(event.Index, 0);
        EXPECT_EQ(event.Bytes, "saved");
    }
    EXPECT_TRUE(module.EditorNeedsUpdate());

    fixture.Events.clear();
    std::string program = "preset";
    EXPECT_EQ(module.Call(effSetChunk, 1, 6, program.data()), 6);
    ASSERT_EQ(fixture.Events.size(), 1u);
    EXPECT_TRUE(fixture.Events[0].IsPreset);
    EXPECT_EQ(fixture.Events[0].Bytes, "preset");
}

TEST(VSTModuleWithProgramsTest, ChunkBufferLivesUntilTheNextChunkCall)
{
    TChunkFixture fixture;
    TLayerTestModule& module = *fixture.Module;
    for (std::int32_t index : {0, 1})
    {
        fixture.State = "first";
        void* first = nullptr;
        const std::intptr_t firstLength = module.Call(effGetChunk, index, 0, &first);
        // The host reads after the call returned; other opcodes do not disturb the buffer.
        module.Call(effGetProgram);
        module.HostSet(0, 0.5f);
        const std::string firstText(static_cast<const char*>(first), firstLength);
        EXPECT_NE(firstText.find("first"), std::string::npos) << index;

        fixture.State = "second";
        const std::string second = fixture.GetChunk(index);
        EXPECT_NE(second.find("second"), std::string::npos) << index;
    }
}

TEST(VSTModuleWithProgramsTest, HostMayHandBackTheBufferItWasGiven)
{
    TChunkFixture fixture;
    TLayerTestModule& module = *fixture.Module;
    void* data = nullptr;
    const std::intptr_t length = module.Call(effGetChunk, 1, 0, &data);
    EXPECT_EQ(module.Call(effSetChunk, 1, length, data), length);
    EXPECT_EQ(fixture.Events.back().Bytes, "state-1");
}

struct TMalformedBank
{
    const char* Name;
    std::string Bytes;
};

class MalformedBankTest : public ::testing::TestWithParam<TMalformedBank>
{
};

TEST_P(MalformedBankTest, IsRefusedWholeAndChangesNothing)
{
    TChunkFixture fixture(2);
    TLayerTestModule& module = *fixture.Module;
    std::string bytes = GetParam().Bytes;
    module.SetEditorNeedsUpdate(false);
    EXPECT_EQ(module.Call(effSetChunk, 0, static_cast<std::intptr_t>(bytes.size()), bytes.data()),
              0);
    EXPECT_TRUE(fixture.Events.empty());
    EXPECT_FALSE(module.EditorNeedsUpdate());
    EXPECT_EQ(module.Programs()[0].Chunk().Size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    VSTModuleWithPrograms, MalformedBankTest,
    ::testing::Values(TMalformedBank{"LengthPastTheEnd", Bank({"abc"}).substr(0, 6)},
                      TMalformedBank{"SecondEntryMissing", Bank({"abc"})},
                      TMalformedBank{"SecondLengthCut", Bank({"abc"}) + std::string(2, '\0')},
                      TMalformedBank{"NegativeLength",
                                     std::string("\xFF\xFF\xFF\xFF", 4) + Bank({"x"})},
                      TMalformedBank{"Empty", std::string()}),
    [](const ::testing::TestParamInfo<TMalformedBank>& info) { return info.param.Name; });

TEST(VSTModuleWithProgramsTest, SetChunkWithNoBytesToReadChangesNothing)
{
    TChunkFixture fixture;
    TLayerTestModule& module = *fixture.Module;
    char byte = 'x';
    EXPECT_EQ(module.Call(effSetChunk, 1, -1, &byte), 0);
    EXPECT_EQ(module.Call(effSetChunk, 0, -5, &byte), 0);
    EXPECT_EQ(module.Call(effSetChunk, 1, 4, nullptr), 0);
    EXPECT_EQ(module.Call(effGetChunk, 1, 0, nullptr), 0);
    EXPECT_TRUE(fixture.Events.empty());
}

TEST(VSTModuleWithProgramsTest, ChunkOpcodesWithoutProgramsAnswerZero)
{
    auto module = TLayerTestModule::Create(nullptr);
    EXPECT_EQ(module->CurrentProgram(), -1);
    void* data = nullptr;
    EXPECT_EQ(module->Call(effGetChunk, 0, 0, &data), 0);
    char bytes[4] = {};
    EXPECT_EQ(module->Call(effSetChunk, 0, 4, bytes), 0);
    EXPECT_EQ(module->CallText(effGetProgramName), "");
}

} // namespace
} // namespace tumblet::test
