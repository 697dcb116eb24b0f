// The editor window offscreen, opened through the module's editor opcodes as a host opens it:
// the heading bar, the information line, the controls and their two-way binding.

#include "ui/BlxTestDriver.h"

#include "editor/Editor.h"
#include "editor/EditorTexts.h"
#include "plugin/BlxCommon.h"
#include "plugin/Plugin.h"
#include "support/CountingAllocator.h"
#include "support/TestHost.h"
#include "ui/BlxLabel.h"
#include "ui/BlxStyle.h"
#include "ui/BlxText.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

using namespace test;

constexpr std::int32_t kGate = 5;
constexpr std::int32_t kOctavesRandom = 20;
constexpr std::intptr_t kOffscreenParent = 0x1234;

AEffect* EditorEntry(audioMasterCallback callback)
{
    SetStyleSelector([](const char* name) { TBlxStyle::Select(name); });
    return CreateVstInstance(callback,
                             []() -> std::unique_ptr<TVSTModule>
                             {
                                 auto plugin = std::make_unique<TVSTPlugin>();
                                 plugin->SetEditorFormClass(&CreateEditorForm);
                                 return plugin;
                             });
}

class EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Offscreen().SetPointer({0, 0}, 0);
        ASSERT_NE(Host.LoadAndOpenWith(&EditorEntry), nullptr);
        ASSERT_EQ(Host.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(kOffscreenParent)), 1);
        Idle();
    }
    void TearDown() override
    {
        Host.Dispatch(effEditClose);
        Host.Close();
        TBlxStyle::SelectNone();
    }
    TVSTPlugin& Module()
    {
        return *static_cast<TVSTPlugin*>(TBasicVSTModule::FromEffect(Host.Effect()));
    }
    TfrmEditor& Form() { return dynamic_cast<TfrmEditor&>(*Module().Editor()); }
    void Idle() { Host.Dispatch(effEditIdle); }
    /// Lets virtual time pass, with an idle call after each step of it.
    void Pass(int ms)
    {
        for (int t = 0; t < ms; t += 100)
        {
            Offscreen().AdvanceClock(100);
            Idle();
        }
    }
    float Real(const char* name) { return Module().ParameterValues().Items(name).Value(); }
    std::string Info() { return Form().lblInfo->Caption(); }
    void SetHost(std::int32_t index, float normalised)
    {
        Host.Effect()->setParameter(Host.Effect(), index, normalised);
    }

    TTestHost Host;
};

TEST_F(EditorTest, PresetCaptionIsCutToTheButtonWithoutEllipsis)
{
    EXPECT_EQ(Form().btnPresets->Caption(), "-");
    const std::string name = "An arpeggio with a very long name that cannot fit the button";
    Module().SetPresetName(name);
    Idle();
    const std::string caption = Form().btnPresets->Caption();
    ASSERT_FALSE(caption.empty());
    EXPECT_EQ(name.compare(0, caption.size(), caption), 0) << caption;
    const TBlxFont font = Form().btnPresets->Font();
    const int room = Form().btnPresets->Width() - 8;
    EXPECT_LE(BlxText::Extent(font, caption).Width, room);
    EXPECT_GT(BlxText::Extent(font, name.substr(0, caption.size() + 1)).Width, room);
    Module().SetPresetName("");
    Idle();
    EXPECT_EQ(Form().btnPresets->Caption(), "-");
}

TEST_F(EditorTest, InfoMessageLastsThreeSecondsButLearnPromptsStay)
{
    Form().ShowInfo("Hello");
    Pass(2900);
    EXPECT_EQ(Info(), "Hello");
    Pass(200);
    EXPECT_EQ(Info(), "");

    Module().ToggleLearn();
    Idle();
    const std::string prompt = Info();
    EXPECT_FALSE(prompt.empty());
    Pass(10000);
    EXPECT_EQ(Info(), prompt);
    // A click on the empty part of the main panel ends learning and its prompt.
    ClickAt(Form(), {Form().panMain->Left() + 150, Form().panMain->Top() + 280});
    EXPECT_EQ(Module().LearnState(), TVSTPluginBase::lsNone);
    EXPECT_EQ(Info(), "");
}

TEST_F(EditorTest, HeldNotesFillTheEmptyInfoLine)
{
    Host.SendEvents({NoteOn(60), NoteOn(64)});
    Host.Process(64);
    Idle();
    const std::string notes = Info();
    EXPECT_NE(notes.find(" - "), std::string::npos) << notes;
    Form().ShowInfo("Gate: 100%");
    Pass(3100);
    EXPECT_EQ(Info(), notes);
}

TEST_F(EditorTest, HostChangeRefreshesOnceAtTheNextIdleWithoutEcho)
{
    const int refreshes = Form().RefreshCount();
    Host.ClearRecords();
    SetHost(kGate, 0.75f);
    SetHost(kGate, 0.75f);
    EXPECT_EQ(Form().RefreshCount(), refreshes);
    Idle();
    EXPECT_EQ(Form().RefreshCount(), refreshes + 1);
    EXPECT_FLOAT_EQ(Form().dialGate->Value(), 150.0f);
    Idle();
    EXPECT_EQ(Form().RefreshCount(), refreshes + 1);
    EXPECT_EQ(Host.CountCalls(audioMasterAutomate), 0u);
    EXPECT_EQ(Host.CountCalls(audioMasterBeginEdit), 0u);
    EXPECT_EQ(Info(), "");
}

TEST_F(EditorTest, IdleWithNothingChangedAllocatesNothing)
{
    Pass(200);
    long allocations = CountAllocations(
        [&]
        {
            for (int i = 0; i < 600; ++i)
                Idle();
        });
    EXPECT_EQ(allocations, 0);
    EXPECT_FALSE(Form().NeedsPaint());
}

TEST_F(EditorTest, CtrlLeftResetsToTheParameterDefaultCtrlRightToTheDialDefault)
{
    SetHost(kGate, 0.3f);
    Idle();
    ASSERT_FLOAT_EQ(Form().dialGate->Value(), 60.0f);
    const TBlxPoint dial = CentreOf(*Form().dialGate);
    MoveTo(Form(), dial);
    MouseDown(Form(), dial, TBlxMouseButton::Left, ssCtrl);
    MouseUp(Form(), dial, TBlxMouseButton::Left, ssCtrl);
    EXPECT_FLOAT_EQ(Real("Gate"), 100.0f);
    EXPECT_FLOAT_EQ(Form().dialGate->Value(), 100.0f);
    EXPECT_EQ(Info(), "Gate: 100%");

    MouseDown(Form(), dial, TBlxMouseButton::Right, ssCtrl);
    MouseUp(Form(), dial, TBlxMouseButton::Right, ssCtrl);
    EXPECT_FLOAT_EQ(Real("Gate"), 0.0f);

    const TBlxPoint octaves = CentreOf(*Form().dialOctaves);
    MoveTo(Form(), octaves);
    MouseDown(Form(), octaves, TBlxMouseButton::Right, ssCtrl);
    MouseUp(Form(), octaves, TBlxMouseButton::Right, ssCtrl);
    EXPECT_FLOAT_EQ(Real("Octaves"), 1.0f);
}

TEST_F(EditorTest, ChoosingTheSelectedEntrySetsNothingButShowsTheInfo)
{
    TBlxPopupMenu& menu = Form().ddmRate;
    const int selected = Form().btnRate->SelectedValue();
    TBlxMenuItem* item = nullptr;
    for (int i = 0; i < menu.Items().Count(); ++i)
        if (menu.Items().Item(i).Tag() == selected)
            item = &menu.Items().Item(i);
    ASSERT_NE(item, nullptr);
    Host.ClearRecords();
    item->Click();
    EXPECT_EQ(Host.CountCalls(audioMasterAutomate), 0u);
    EXPECT_EQ(Info(), "Rate: " + Form().btnRate->Caption());

    TBlxMenuItem& other = menu.Items().Item(item == &menu.Items().Item(0) ? 1 : 0);
    other.Click();
    EXPECT_FLOAT_EQ(Real("Rate"), float(other.Tag()));
    EXPECT_EQ(Form().btnRate->Caption(), other.Caption());
    EXPECT_EQ(Host.CountCalls(audioMasterBeginEdit), Host.CountCalls(audioMasterEndEdit));
    EXPECT_GE(Host.CountCalls(audioMasterEndEdit), 1u);
}

TEST_F(EditorTest, SliderAndTransposeMenusAreGrouped)
{
    TBlxMenuItem& slider = Form().sliderVelocityFixed->Popup()->Items();
    ASSERT_EQ(slider.Count(), 13);
    EXPECT_EQ(slider.Item(0).Caption(), "127 - 121");
    EXPECT_EQ(slider.Item(3).Caption(), "100 -   91");
    EXPECT_EQ(slider.Item(12).Caption(), "  10 -     0");
    EXPECT_EQ(slider.Item(12).Count(), 11);
    EXPECT_EQ(slider.Item(3).Item(0).Caption(), "100");

    TBlxMenuItem& transpose = Form().inputTranspose->Popup().Items();
    ASSERT_EQ(transpose.Count(), 3);
    EXPECT_EQ(transpose.Item(0).Caption(), "> 0");
    EXPECT_EQ(transpose.Item(1).Caption(), "= 0");
    EXPECT_EQ(transpose.Item(2).Caption(), "< 0");
}

TEST_F(EditorTest, OctavesRandomBeyondTheDialShowsItsLastFrame)
{
    SetHost(kOctavesRandom, 10.0f / 300.0f);
    Idle();
    TBlxGuiStitchedDial& dial = *Form().dialOctavesRandom;
    EXPECT_FLOAT_EQ(dial.Value(), 4.0f);
    EXPECT_EQ(dial.FrameIndex(), dial.GlyphCount() - 1);
    Form().ShowParameterInfo("Octaves Random");
    EXPECT_EQ(Info(), "Octaves Random: 4");
}

TEST_F(EditorTest, DragIsOneGestureAndALostCaptureTakesTheValueBack)
{
    const float before = Real("Gate");
    const TBlxPoint dial = CentreOf(*Form().dialGate);
    Host.ClearRecords();
    MoveTo(Form(), dial);
    MouseDown(Form(), dial);
    for (int step = 1; step <= 5; ++step)
        MoveTo(Form(), {dial.X, dial.Y - 10 * step}, ssLeft);
    EXPECT_GT(Real("Gate"), before);
    EXPECT_EQ(Host.CountCalls(audioMasterBeginEdit), 1u);
    EXPECT_EQ(Host.CountCalls(audioMasterEndEdit), 0u);
    // Another control takes the capture while the button is still held.
    Form().SetCapture(Form().dialSwing);
    EXPECT_FLOAT_EQ(Real("Gate"), before);
    EXPECT_FLOAT_EQ(Form().dialGate->Value(), before);
    EXPECT_EQ(Host.CountCalls(audioMasterEndEdit), 1u);
    Form().ReleaseCapture();
    MouseUp(Form(), dial);
}

TEST_F(EditorTest, WheelAndTheHostsWheelCallFocusTheControlUnderThePointer)
{
    const TBlxPoint gate = CentreOf(*Form().dialGate);
    MoveTo(Form(), gate);
    WheelAt(Form(), gate, 1);
    EXPECT_TRUE(Form().dialGate->Focused());
    // Buttons never take the focus.
    MoveTo(Form(), CentreOf(*Form().btnRate));
    WheelAt(Form(), CentreOf(*Form().btnRate), 1);
    EXPECT_TRUE(Form().dialGate->Focused());

    MoveTo(Form(), CentreOf(*Form().dialSwing));
    EXPECT_EQ(Host.Dispatch(effVendorSpecific, 0, kVendorSpecificWheel), 0);
    EXPECT_TRUE(Form().dialSwing->Focused());
}

TEST_F(EditorTest, PressDuringLearnPicksTheParameterInsteadOfChangingIt)
{
    Module().ToggleLearn();
    const float before = Real("Gate");
    const TBlxPoint dial = CentreOf(*Form().dialGate);
    MoveTo(Form(), dial);
    MouseDown(Form(), dial, TBlxMouseButton::Left, ssCtrl);
    MouseUp(Form(), dial, TBlxMouseButton::Left, ssCtrl);
    EXPECT_EQ(Module().LearnTarget(), "Gate");
    EXPECT_FLOAT_EQ(Real("Gate"), before);
}

TEST_F(EditorTest, ClosingTheEditorEndsLearning)
{
    Module().ToggleLearn();
    Host.Dispatch(effEditClose);
    EXPECT_EQ(Module().LearnState(), TVSTPluginBase::lsNone);
    ASSERT_EQ(Host.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(kOffscreenParent)), 1);
}

TEST_F(EditorTest, LatchSwitchShowsItsState)
{
    ClickControl(*Form().switchLatch);
    EXPECT_FLOAT_EQ(Real("Latch"), 1.0f);
    EXPECT_EQ(Info(), "Latch: On");
}

struct TTextRow
{
    std::string Got;
    std::string Expected;
};

TEST(EditorTextsTest, ValueAndRangeTexts)
{
    const std::string minus = "\xE2\x88\x92";
    const TTextRow rows[] = {
        {VelocityFixedMenuText(95), "  95"},
        {VelocityFixedMenuText(5), "  5"},
        {VelocityFixedMenuText(10), "10"},
        {VelocityFixedMenuText(50), "50"},
        {VelocityFixedMenuText(127), "127"},
        {TransposeMenuText(0), "0"},
        {TransposeMenuText(5), "  +5"},
        {TransposeMenuText(12), "+12"},
        {TransposeMenuText(-5), "  " + minus + "5"},
        {TransposeMenuText(-36), minus + "36"},
        {SignedValueText(-20), minus + "20"},
        {RangeText("Gate: ", 100, 80, 200, false, "%"), "Gate: 100% <=> 180%"},
        {RangeText("Gate: ", 100, 150, 200, false, "%"), "Gate: 100% <=> 200%"},
        {RangeText("Octaves: ", 4, 3, 5, false, ""), "Octaves: 4 <=> 5"},
        {RangeText("Velocity: ", -20, 50, 100, true, "%"), "Velocity: " + minus + "20% <=> +30%"},
        {RangeText("Shift: ", 0, 20, 50, true, "%"), "Shift: 0% <=> +20%"},
        {RangeText("Gate: ", 100, 0, 200, false, "%"), "Gate: 100%"},
    };
    for (const TTextRow& row : rows)
        EXPECT_EQ(row.Got, row.Expected);
}

} // namespace
} // namespace tumblet
