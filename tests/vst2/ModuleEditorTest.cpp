#include "vst2/LayerTestModule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace tumblet::test
{
namespace
{

// What every fake form did, kept outside the forms so it survives their destruction.
struct TFormLog
{
    int Created = 0;
    int Destroyed = 0;
    int Refreshes = 0;
    int Focuses = 0;
    std::uintptr_t Parent = 0;
    std::vector<std::string> Steps;
    std::vector<VstKeyCode> Keys;
    bool FailPlacement = false;
};

class TFakeEditorForm : public TVstEditorForm
{
public:
    explicit TFakeEditorForm(TFormLog& log) : FLog(log) { ++FLog.Created; }
    ~TFakeEditorForm() override { ++FLog.Destroyed; }

    std::int32_t Width() const override { return 610; }
    std::int32_t Height() const override { return 420; }
    std::int32_t ClientWidth() const override { return 600; }
    std::int32_t ClientHeight() const override { return 400; }
    void SetParentWindow(std::uintptr_t parent) override
    {
        FLog.Parent = parent;
        FLog.Steps.push_back("parent");
        if (FLog.FailPlacement)
            throw std::runtime_error("BadWindow");
    }
    void Show() override { FLog.Steps.push_back("show"); }
    void RemoveBorder() override { FLog.Steps.push_back("border"); }
    void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                   std::int32_t height) override
    {
        FLog.Steps.push_back("bounds " + std::to_string(left) + " " + std::to_string(top) + " " +
                             std::to_string(width) + " " + std::to_string(height));
    }
    void Invalidate() override { FLog.Steps.push_back("invalidate"); }
    void RefreshControls() override { ++FLog.Refreshes; }
    void FocusControlUnderMouse() override { ++FLog.Focuses; }
    void ShowInfo(const std::string&) override {}
    void UpdatePresetName() override {}
    void SetInfoText(const std::string&) override {}
    void DeliverKey(const VstKeyCode& key, bool) override { FLog.Keys.push_back(key); }

private:
    TFormLog& FLog;
};

// The host's parent window, an X11 Window id carried by value in the pointer argument.
void* const kParentWindow = reinterpret_cast<void*>(std::uintptr_t{0x3a00007});

// A module wired as the product wires its editor: size from the open form, refresh at idle,
// wheel focus through the vendor-specific call.
std::unique_ptr<TLayerTestModule> CreateEditorModule(TFormLog& log, bool withClass = true)
{
    return TLayerTestModule::Create(
        [&log, withClass](TLayerTestModule& m)
        {
            m.SetFlags(effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks);
            AddParameter(m, "Gate", 0.0f, 200.0f);
            if (withClass)
                m.SetEditorFormClass([&log](TCustomVSTModule&)
                                     { return std::make_unique<TFakeEditorForm>(log); });
            m.OnEditGetSize =
                [](TCustomVSTModule& sender, std::int16_t& width, std::int16_t& height)
            {
                if (sender.Editor() == nullptr)
                    return;
                width = static_cast<std::int16_t>(sender.Editor()->Width());
                height = static_cast<std::int16_t>(sender.Editor()->Height());
            };
            m.OnEditIdle = [](TCustomVSTModule& sender)
            {
                if (sender.Editor() != nullptr)
                    sender.Editor()->RefreshControls();
            };
            m.OnVendorSpecific = [](TCustomVSTModule& sender, std::int32_t, std::intptr_t value,
                                    void*, float) -> std::int32_t
            {
                if (value == kVendorSpecificWheel && sender.Editor() != nullptr)
                    sender.Editor()->FocusControlUnderMouse();
                return 0;
            };
        });
}

ERect* GetRect(TLayerTestModule& module, std::intptr_t* answer)
{
    ERect* rect = nullptr;
    *answer = module.Call(effEditGetRect, 0, 0, &rect);
    return rect;
}

TEST(CustomVSTModuleEditorTest, RectBeforeWhileAndAfterAnEditor)
{
    TFormLog log;
    auto module = CreateEditorModule(log);
    EXPECT_EQ(module->Call(effEditGetRect, 0, 0, nullptr), 0);

    std::intptr_t answer = -1;
    ERect* rect = GetRect(*module, &answer);
    EXPECT_EQ(answer, 0);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 0);
    EXPECT_EQ(rect->right, 0);

    ASSERT_EQ(module->Call(effEditOpen, 0, 0, kParentWindow), 1);
    rect = GetRect(*module, &answer);
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(rect->bottom, 420);
    EXPECT_EQ(rect->right, 610);

    module->Call(effEditClose);
    ERect* after = GetRect(*module, &answer);
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(after, rect); // the rectangle lives in the module
    EXPECT_EQ(after->bottom, 420);
    EXPECT_EQ(after->right, 610);
}

TEST(CustomVSTModuleEditorTest, RectWithoutSizeHookIsTheSmallDefault)
{
    TFormLog log;
    auto module = CreateEditorModule(log);
    module->OnEditGetSize = nullptr;
    std::intptr_t answer = -1;
    ERect* rect = GetRect(*module, &answer);
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(rect->bottom, 32);
    EXPECT_EQ(rect->right, 64);
    module->Call(effEditOpen, 0, 0, kParentWindow);
    rect = GetRect(*module, &answer);
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(rect->bottom, 400); // the form's client size wins over the default
    EXPECT_EQ(rect->right, 600);
}

TEST(CustomVSTModuleEditorTest, OpenPlacesTheFormIntoTheHostWindow)
{
    TFormLog log;
    auto module = CreateEditorModule(log);
    std::uintptr_t hookParent = 0;
    module->OnEditOpen =
        [&](TCustomVSTModule&, std::unique_ptr<TVstEditorForm>& gui, std::uintptr_t parent)
    {
        EXPECT_NE(gui, nullptr);
        hookParent = parent;
    };
    EXPECT_EQ(module->Call(effEditOpen, 0, 0, kParentWindow), 1);
    EXPECT_EQ(log.Created, 1);
    EXPECT_EQ(log.Parent, 0x3a00007u);
    EXPECT_EQ(hookParent, 0x3a00007u);
    const std::vector<std::string> expected = {"parent", "show", "border", "bounds 0 0 610 420",
                                               "invalidate"};
    EXPECT_EQ(log.Steps, expected);
    EXPECT_NE(module->Editor(), nullptr);
}

TEST(CustomVSTModuleEditorTest, OpenRefusesWithoutFlagParentOrFormClass)
{
    TFormLog log;
    auto module = CreateEditorModule(log);
    EXPECT_EQ(module->Call(effEditOpen, 0, 0, nullptr), 0);
    module->SetFlags(effFlagsCanReplacing);
    EXPECT_EQ(module->Call(effEditOpen, 0, 0, kParentWindow), 0);
    EXPECT_EQ(log.Created, 0);

    TFormLog noClassLog;
    auto noClass = CreateEditorModule(noClassLog, false);
    EXPECT_EQ(noClass->Call(effEditOpen, 0, 0, kParentWindow), 0);
    EXPECT_EQ(noClass->Editor(), nullptr);
}

TEST(CustomVSTModuleEditorTest, FailedPlacementStillCountsAsOpen)
{
    TFormLog log;
    log.FailPlacement = true;
    auto module = CreateEditorModule(log);
    EXPECT_EQ(module->Call(effEditOpen, 0, 0, kParentWindow), 1);
    EXPECT_NE(module->Editor(), nullptr);
}

TEST(CustomVSTModuleEditorTest, OneRefreshPerBatchOfChanges)
{
    TFormLog log;
    auto module = CreateEditorModule(log);
    module->OnGetChunkParameter = [](TVSTModuleWithPrograms&, std::int32_t) { return 0.0f; };
    module->Call(effEditOpen, 0, 0, kParentWindow);
    module->Call(effEditIdle); // whatever was pending before the editor opened
    const int before = log.Refreshes;

    module->HostSet(0, 0.1f);
    module->HostSet(0, 0.2f);
    module->HostSet(0, 0.3f);
    module->Call(effEditIdle);
    EXPECT_EQ(log.Refreshes, before + 1);
    module->Call(effEditIdle);
    EXPECT_EQ(log.Refreshes, before + 1);
    EXPECT_FALSE(module->EditorNeedsUpdate());
}

TEST(CustomVSTModuleEditorTest, ChangesWithoutAnEditorWaitForTheNextOne)
{
    TFormLog log;
    auto module = CreateEditorModule(log);
    module->HostSet(0, 0.5f);
    module->Call(effEditIdle);
    EXPECT_TRUE(module->EditorNeedsUpdate());
    module->Call(effEditOpen, 0, 0, kParentWindow);
    module->Call(effEditIdle);
    EXPECT_EQ(log.Refreshes, 1);
    EXPECT_FALSE(module->EditorNeedsUpdate());
}

TEST(CustomVSTModuleEditorTest, SecondOpenReplacesTheFirstForm)
{
    TFormLog log;
    auto module = CreateEditorModule(log);
    module->Call(effEditOpen, 0, 0, kParentWindow);
    EXPECT_EQ(module->Call(effEditOpen, 0, 0, kParentWindow), 1);
    EXPECT_EQ(log.Created, 2);
    EXPECT_EQ(log.Destroyed, 1);
    EXPECT_NE(module->Editor(), nullptr);
}

TEST(CustomVSTModuleEditorTest, CloseDestroysTheFormAndIdleThenDoesNothing)
{
    TFormLog log;
    auto module = CreateEditorModule(log);
    module->Call(effEditOpen, 0, 0, kParentWindow);
    EXPECT_EQ(module->Call(effEditClose), 0);
    EXPECT_EQ(log.Destroyed, 1);
    EXPECT_EQ(module->Editor(), nullptr);
    module->SetEditorNeedsUpdate(true);
    module->Call(effEditIdle);
    EXPECT_EQ(log.Refreshes, 0);
    EXPECT_TRUE(module->EditorNeedsUpdate());

    // A close hook may keep the form.
    module->OnEditClose = [](TCustomVSTModule&, bool& destroyForm) { destroyForm = false; };
    module->Call(effEditOpen, 0, 0, kParentWindow);
    module->Call(effEditClose);
    EXPECT_NE(module->Editor(), nullptr);
}

TEST(CustomVSTModuleEditorTest, EffCloseDestroysAnOpenEditorBeforeTheProductGoes)
{
    TFormLog log;
    auto module = CreateEditorModule(log);
    int destroyedWhenProductWent = -1;
    module->OnDestroy = [&](TVSTModule&) { destroyedWhenProductWent = log.Destroyed; };
    module->Call(effEditOpen, 0, 0, kParentWindow);
    TLayerTestModule* raw = module.release(); // effClose owns the module from here
    EXPECT_EQ(raw->Call(effClose), 1);
    EXPECT_EQ(destroyedWhenProductWent, 1);
    EXPECT_EQ(log.Destroyed, 1);
}

TEST(CustomVSTModuleEditorTest, KeysAreRefusedWhileKeysAreNotRequired)
{
    TFormLog log;
    auto module = CreateEditorModule(log);
    for (bool open : {false, true})
    {
        if (open)
            module->Call(effEditOpen, 0, 0, kParentWindow);
        EXPECT_EQ(module->Call(effEditKeyDown, 'a', 0, nullptr, 0.0f), -1) << open;
        EXPECT_EQ(module->Call(effEditKeyUp, 'a', 0, nullptr, 0.0f), -1) << open;
    }
    EXPECT_TRUE(log.Keys.empty());
}

TEST(CustomVSTModuleEditorTest, RequiredKeysReachTheFormAndTheCheckDecides)
{
    TFormLog log;
    auto module = CreateEditorModule(log);
    module->SetKeysRequired(true);
    EXPECT_EQ(module->Call(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    module->Call(effEditOpen, 0, 0, kParentWindow);
    EXPECT_EQ(module->Call(effEditKeyDown, 'a', 7, nullptr, 1.0f), -1); // no check hook
    ASSERT_EQ(log.Keys.size(), 1u);
    EXPECT_EQ(log.Keys[0].character, 'a');
    EXPECT_EQ(log.Keys[0].virt, 7);
    EXPECT_EQ(log.Keys[0].modifier, MODIFIER_SHIFT);

    module->OnCheckKey = [](TCustomVSTModule&, std::int32_t key) { return key == 'a'; };
    EXPECT_EQ(module->Call(effEditKeyUp, 'a', 0, nullptr, 0.0f), 1);
    EXPECT_EQ(module->Call(effEditKeyUp, 'b', 0, nullptr, 0.0f), -1);
    module->OnCheckKey = [](TCustomVSTModule&, std::int32_t) -> bool
    { throw std::runtime_error("no"); };
    EXPECT_EQ(module->Call(effEditKeyDown, 'a', 0, nullptr, 0.0f), -1);
}

TEST(CustomVSTModuleEditorTest, VendorSpecificCallsReachTheHookWithTheHostsArguments)
{
    TFormLog log;
    auto module = CreateEditorModule(log);
    struct TSeen
    {
        std::int32_t Index;
        std::intptr_t Value;
        float Opt;
    };
    std::vector<TSeen> seen;
    module->OnVendorSpecific = [&](TCustomVSTModule&, std::int32_t index, std::intptr_t value,
                                   void*, float opt) -> std::int32_t
    {
        seen.push_back({index, value, opt});
        return 7;
    };
    EXPECT_EQ(module->Call(effVendorSpecific, 5, kVendorSpecificWheel, nullptr, 1.0f), 7);
    EXPECT_EQ(module->Call(effVendorSpecific, -3, FourCC('W', 'h', 'e', 'f'), nullptr, -0.5f), 7);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Index, 5);
    EXPECT_EQ(seen[0].Value, kVendorSpecificWheel);
    EXPECT_EQ(seen[0].Opt, 1.0f);
    EXPECT_EQ(seen[1].Index, -3);
    EXPECT_EQ(seen[1].Opt, -0.5f);
}

TEST(CustomVSTModuleEditorTest, SmallEditorOpcodesRaiseTheirHooks)
{
    TFormLog log;
    auto module = CreateEditorModule(log);
    EXPECT_EQ(module->Call(effSetEditKnobMode, 0, 2), 0);
    std::vector<std::string> raised;
    module->OnEditorKnobMode = [&](TCustomVSTModule&, std::int32_t mode)
    { raised.push_back("knob " + std::to_string(mode)); };
    module->OnEditTop = [&](TCustomVSTModule&) { raised.push_back("top"); };
    module->OnEditSleep = [&](TCustomVSTModule&) { raised.push_back("sleep"); };
    EXPECT_EQ(module->Call(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(module->Call(effEditTop), 0);
    EXPECT_EQ(module->Call(effEditSleep), 0);
    const std::vector<std::string> expected = {"knob 2", "top", "sleep"};
    EXPECT_EQ(raised, expected);
}

TEST(CustomVSTModuleEditorTest, OpeningReannouncesValuesOutsideChunkMode)
{
    std::vector<std::int32_t> announced;
    auto module = TLayerTestModule::Create(
        [&](TLayerTestModule& m)
        {
            m.SetFlags(effFlagsHasEditor);
            AddParameter(m, "A", 0.0f, 1.0f);
            AddParameter(m, "B", 0.0f, 1.0f);
            m.SetEditorFormClass(
                [](TCustomVSTModule&)
                {
                    static TFormLog log;
                    return std::make_unique<TFakeEditorForm>(log);
                });
            m.OnParameterChange = [&](TVSTModuleWithPrograms&, std::int32_t index, float&)
            { announced.push_back(index); };
        });
    module->Call(effEditOpen, 0, 0, kParentWindow);
    const std::vector<std::int32_t> expected = {0, 1};
    EXPECT_EQ(announced, expected);
}

} // namespace
} // namespace tumblet::test
