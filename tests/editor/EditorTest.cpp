// The editor window offscreen, opened through the module's editor opcodes as a host opens it:
// the heading bar, the information line, the controls and their two-way binding.

#include "EditorFixture.h"
#include "PresetsBrowserDriver.h"

#include "controls/BlxMenuButton.h"
#include "editor/Dialogs.h"
#include "editor/Editor.h"
#include "editor/EditorTexts.h"
#include "editor/InputDlg.h"
#include "editor/MessageDialog.h"
#include "editor/PresetsForm.h"
#include "plugin/BlxCommon.h"
#include "plugin/Plugin.h"
#include "support/CountingAllocator.h"
#include "support/TestHome.h"
#include "support/TestHost.h"
#include "ui/BlxButton.h"
#include "ui/BlxEdit.h"
#include "ui/BlxLabel.h"
#include "ui/BlxListBox.h"
#include "ui/BlxMenuWindow.h"
#include "ui/BlxStyle.h"
#include "ui/BlxText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sys/resource.h>

namespace tumblet
{
namespace
{

using namespace test;

constexpr std::int32_t kGate = 5;
constexpr std::int32_t kOctavesRandom = 20;

class EditorTest : public ::testing::Test, public TOpenEditor
{
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(LoadAndOpen()); }
    void TearDown() override { CloseAll(); }
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

    /// Opens a menu with a click on its button and chooses the item at the end of a path of
    /// captions (submenus first). `then` queues what answers the window the item opens.
    static void Choose(TBlxControl& button, TBlxMenu& menu, const std::vector<std::string>& path,
                       const std::function<void()>& then = {},
                       TBlxMouseButton mouseButton = TBlxMouseButton::Left)
    {
        WhenModal(
            [&menu, path, then](TBlxWindow&)
            {
                for (std::size_t depth = 0; depth < path.size(); ++depth)
                {
                    TBlxMenuWindow* level =
                        menu.LevelCount() > int(depth) ? &menu.Level(int(depth)) : nullptr;
                    int index = -1;
                    for (int i = 0; level && i < level->LevelItem().Count(); ++i)
                        if (level->LevelItem().Item(i).Caption() == path[depth])
                            index = i;
                    if (index < 0)
                    {
                        ADD_FAILURE() << "no menu item " << path[depth];
                        return menu.CloseMenu();
                    }
                    if (depth + 1 == path.size() && then)
                        then();
                    const TBlxRect r = level->ItemRect(index);
                    ClickAt(*level, {r.Left + r.Width / 2, r.Top + r.Height / 2});
                }
            });
        TBlxWindow* before = TBlxApplication::Instance().TopModal();
        ClickControl(button, mouseButton);
        // The click returns at once; the host's later idle calls run the menu and the choice.
        IdleUntilSettled(before);
    }
    void ChooseFromMainMenu(const std::vector<std::string>& path,
                            const std::function<void()>& then = {})
    {
        Choose(*Form().btnMenu, Form().ddmMenu, path, then);
    }
    /// Queues the answer to the next message box, recording its text and title.
    static void Answer(TBlxModalResult answer, std::string* seen)
    {
        WhenModal(
            [answer, seen](TBlxWindow& w)
            {
                auto& box = dynamic_cast<TfrmMessageDialog&>(w);
                *seen = box.lblText->Caption() + " | " + box.Caption();
                ClickControl(answer == TBlxModalResult::Yes  ? *box.btnYes
                             : answer == TBlxModalResult::No ? *box.btnNo
                                                             : *box.btnOK);
            });
    }
    std::vector<std::string> Captions(const TBlxMenuItem& menu)
    {
        std::vector<std::string> out;
        for (int i = 0; i < menu.Count(); ++i)
            if (menu.Item(i).Visible())
                out.push_back(menu.Item(i).IsSeparator() ? "-" : menu.Item(i).Caption());
        return out;
    }
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
    ASSERT_TRUE(OpenEditor());
}

TEST_F(EditorTest, LatchSwitchShowsItsState)
{
    ClickControl(*Form().switchLatch);
    EXPECT_FLOAT_EQ(Real("Latch"), 1.0f);
    EXPECT_EQ(Info(), "Latch: On");
}

TEST_F(EditorTest, MainMenuListsMappingsInNumberOrderAndChecksTheSettings)
{
    Form().ddmMenuPopup();
    EXPECT_FALSE(Form().ddmMenu_MidiCCRemove->Enabled());
    // No user guide in either folder: no item, and no separator left dangling for it.
    EXPECT_EQ(Captions(Form().ddmMenu.Items()),
              (std::vector<std::string>{"Init", "-", "Load Preset", "Save Preset", "-",
                                        "MIDI CC Learn", "MIDI Set CC", "MIDI CC Remove", "-",
                                        "Lowest Octave", "Skin", "Editor Size", "-", "About"}));

    Module().SetMapping("Gate", 7);
    Module().SetMapping("Swing", 64);
    Module().SetMapping("Speed", 7);
    Module().SetLowestOctave(-1);
    Module().SetStyle(3);
    Form().ddmMenuPopup();
    TBlxMenuItem& remove = *Form().ddmMenu_MidiCCRemove;
    EXPECT_TRUE(remove.Enabled());
    EXPECT_EQ(Captions(remove),
              (std::vector<std::string>{"CC# 7 - Gate", "CC# 7 - Speed", "CC# 64 - Swing"}));
    EXPECT_EQ(remove.Item(2).Tag(), 1);
    for (const auto& [item, checked] :
         std::vector<std::pair<TBlxMenuItem*, bool>>{{Form().ddmMain_LowestOctave_0, false},
                                                     {Form().ddmMain_LowestOctave_min1, true},
                                                     {Form().ddmMain_LowestOctave_min2, false},
                                                     {Form().ddmMain_Skin_Carbon, false},
                                                     {Form().ddmMain_Skin_Luna, true},
                                                     {Form().ddmMain_Skin_Smokey, false}})
        EXPECT_EQ(item->Checked(), checked) << item->Name();

    // Removing "CC# 64 - Swing" removes that mapping, whatever its place in the list.
    ChooseFromMainMenu({"MIDI CC Remove", "CC# 64 - Swing"});
    {
        std::lock_guard<std::recursive_mutex> lock(Module().InstanceLock());
        EXPECT_EQ(Module().MidiCCList().IndexOfName("Swing"), -1);
        EXPECT_EQ(Module().MidiCCList().Count(), 2);
    }
    // Held notes are shown at once with the new octave numbers.
    Host.SendEvents({NoteOn(60)});
    Host.Process(64);
    Idle();
    const std::string before = Info();
    ChooseFromMainMenu({"Lowest Octave", "-2"});
    EXPECT_EQ(Module().LowestOctave(), -2);
    EXPECT_NE(Info(), before);
    EXPECT_FALSE(Offscreen().Starved());
    Module().SetLowestOctave(-1);
    Module().SetStyle(0);
}

TEST_F(EditorTest, LearnFromTheMenuIsCheckedAndBoldAndTheSecondChoiceEndsIt)
{
    ChooseFromMainMenu({"MIDI CC Learn"});
    EXPECT_EQ(Module().LearnState(), TVSTPluginBase::lsLearning);
    Idle();
    EXPECT_FALSE(Info().empty());
    Form().ddmMenuPopup();
    EXPECT_TRUE(Form().ddmMenu_MidiCCLearn->Checked());
    EXPECT_TRUE(Form().ddmMenu_MidiCCLearn->Bold());
    EXPECT_FALSE(Form().ddmMenu_MidiSetCC->Checked());
    ChooseFromMainMenu({"MIDI CC Learn"});
    EXPECT_EQ(Module().LearnState(), TVSTPluginBase::lsNone);
    Idle();
    EXPECT_EQ(Info(), "");
    Form().ddmMenuPopup();
    EXPECT_FALSE(Form().ddmMenu_MidiCCLearn->Bold());
}

TEST_F(EditorTest, InitAnsweredNoChangesNothingAndTheSameSkinShowsNoMessage)
{
    SetHost(kGate, 0.3f);
    Module().SetPresetName("Mine");
    std::string question;
    ChooseFromMainMenu({"Init"}, [&] { Answer(TBlxModalResult::No, &question); });
    EXPECT_EQ(question, "Initialize preset? | Init");
    EXPECT_FLOAT_EQ(Real("Gate"), 60.0f);
    EXPECT_EQ(Module().PresetName(), "Mine");
    ChooseFromMainMenu({"Init"}, [&] { Answer(TBlxModalResult::Yes, &question); });
    EXPECT_FLOAT_EQ(Real("Gate"), 100.0f);
    EXPECT_EQ(Module().PresetName(), "");

    // A message box with nothing queued to answer it would leave the loop starved.
    ChooseFromMainMenu({"Skin", "Carbon"});
    EXPECT_FALSE(Offscreen().Starved());
    std::string message;
    ChooseFromMainMenu({"Skin", "Light"}, [&] { Answer(TBlxModalResult::OK, &message); });
    EXPECT_EQ(message, "Please close and re-open the plugin window for skin changes to take "
                       "effect. | Change Skin");
    EXPECT_EQ(Module().Style(), 2);
    // The open window keeps its look; the next one takes the new skin.
    Host.Dispatch(effEditClose);
    ASSERT_TRUE(OpenEditor());
    EXPECT_EQ(TBlxStyle::ActiveName(), StyleName(2));
    Module().SetStyle(0);
}

TEST_F(EditorTest, SavePresetKeepsTheNameInsideTheFolderAndAFailedSaveKeepsTheOldFile)
{
    namespace fs = std::filesystem;
    Module().SetDialogService(CreateWindowedDialogService());
    const fs::path folder = Module().PresetsFolder();
    RemoveTestFolder(folder);
    const auto save = [&](const std::string& name, const std::function<void()>& then)
    {
        ChooseFromMainMenu({"Save Preset"},
                           [name, then]
                           {
                               WhenModal(
                                   [name, then](TBlxWindow& w)
                                   {
                                       auto& input = dynamic_cast<TfrmInputDlg&>(w);
                                       EXPECT_EQ(input.Caption(), "Save Preset");
                                       EXPECT_EQ(input.lblPrompt->Caption(), "Name");
                                       PressCtrl(w, 'a');
                                       TypeText(w, name);
                                       if (then)
                                           then();
                                       ClickControl(*input.btnOK);
                                   });
                           });
    };
    save("../Lead", {});
    const fs::path lead = folder / (CleanPresetName("../Lead") + ".brindlexp");
    EXPECT_TRUE(fs::exists(lead));
    EXPECT_FALSE(fs::exists(folder.parent_path() / "Lead.brindlexp"));
    EXPECT_EQ(Module().PresetName(), CleanPresetName("../Lead"));

    const auto bytes = [](const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    const std::string before = bytes(lead);
    SetHost(kGate, 0.9f);
    // The disk fills up while the new file is written: the file may grow to a few bytes only.
    std::string overwrite, warning;
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const auto answerOverwrite = [&]
    {
        WhenModal(
            [&](TBlxWindow& w)
            {
                rlimit tiny = limit;
                tiny.rlim_cur = 8;
                setrlimit(RLIMIT_FSIZE, &tiny);
                Answer(TBlxModalResult::OK, &warning);
                auto& box = dynamic_cast<TfrmMessageDialog&>(w);
                overwrite = box.lblText->Caption();
                ClickControl(*box.btnYes);
            });
    };
    save(CleanPresetName("../Lead"), answerOverwrite);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(overwrite, "Overwrite existing preset?");
    EXPECT_EQ(warning.rfind("Error saving preset to file.", 0), 0u) << warning;
    EXPECT_EQ(warning.substr(warning.size() - 14), " | Save Preset") << warning;
    EXPECT_EQ(bytes(lead), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    RemoveTestFolder(folder);
}

TEST_F(EditorTest, DeletingTheCurrentPresetInTheBrowserThenCancellingEmptiesThePresetsButton)
{
    namespace fs = std::filesystem;
    RemoveTestFolder(Module().PresetsFolder());
    Module().SavePresetFile("Mine", nullptr);
    Module().SavePresetFile("Other", nullptr);
    Module().SetPresetName("Mine");
    Idle();
    EXPECT_EQ(Form().btnPresets->Caption(), "Mine");
    int selected = -1;
    std::string question;
    WhenBrowserOpen(Form(),
                    [&](TfrmPresets& browser)
                    {
                        EXPECT_EQ(browser.Bounds(), (TBlxRect{16, 16, 680, 309}));
                        selected = browser.lstPresets->ItemIndex();
                        Choose(
                            *browser.lstPresets, *browser.popMenu, {"Delete"},
                            [&] { Answer(TBlxModalResult::Yes, &question); },
                            TBlxMouseButton::Right);
                        ClickControl(*browser.btnCancel);
                    });
    ClickControl(*Form().btnPresets);
    IdleUntilSettled();
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(question, "Delete \"Mine\"? | Delete Preset");
    EXPECT_EQ(Module().PresetName(), "");
    Idle();
    EXPECT_EQ(Form().btnPresets->Caption(), "-");
    RemoveTestFolder(Module().PresetsFolder());
}

// The host may close the editor, or destroy the module, while any of the editor's pop-ups is
// open; the pop-up closes unanswered and nothing freed is touched (the sanitizer builds check).
TEST_F(EditorTest, PopUpsCloseWhenTheHostClosesTheEditorOrTheModule)
{
    struct TRow
    {
        const char* Name;
        std::function<void(TfrmEditor&)> Open;
    };
    const std::vector<TRow> rows = {
        {"menu", [](TfrmEditor& f) { ClickControl(*f.btnMenu); }},
        {"about", [](TfrmEditor& f) { f.ddmMenu_AboutClick(); }},
        {"init", [](TfrmEditor& f) { f.ddmMenu_InitClick(); }},
        {"save", [](TfrmEditor& f) { f.ddmMenu_SavePresetClick(); }},
        {"set cc",
         [](TfrmEditor& f)
         {
             f.Module().SetDialogService(CreateWindowedDialogService());
             f.Module().SetCCControlPressed("Gate");
         }},
        {"browser", [](TfrmEditor& f) { ClickControl(*f.btnPresets); }},
    };
    for (const bool module : {false, true})
        for (const TRow& row : rows)
        {
            SCOPED_TRACE(std::string(row.Name) + (module ? " / module" : " / editor"));
            TfrmEditor* form = &Form();
            Offscreen().Post(
                [&, form]
                {
                    // Each row opens one pop-up: a window of its own, or the browser inside the
                    // editor.
                    const TBlxWindow* top = TBlxApplication::Instance().TopModal();
                    if ((top == nullptr || !top->IsShown()) && OpenPresetsBrowser(*form) == nullptr)
                        return false;
                    if (module)
                        Host.Close();
                    else
                        Host.Dispatch(effEditClose);
                    return true;
                });
            row.Open(Form());
            IdleUntilSettled();
            EXPECT_EQ(TBlxApplication::Instance().TopModal(), nullptr);
            if (module)
            {
                ASSERT_NE(Host.LoadAndOpenWith(&EditorEntry), nullptr);
            }
            ASSERT_TRUE(OpenEditor());
            Idle();
        }
}

TEST_F(EditorTest, UserGuideItemShowsWithTheGuideAndAFailedOpenerIsReported)
{
    namespace fs = std::filesystem;
    const fs::path folder = Module().SettingsFolder();
    fs::create_directories(folder / "bin");
    const fs::path guide = folder / "Tumblet User Guide.pdf";
    std::ofstream(guide) << "%PDF-1.4\n";
    std::ofstream(folder / "bin" / "xdg-open") << "#!/bin/sh\nexit 3\n";
    fs::permissions(folder / "bin" / "xdg-open", fs::perms::owner_all);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", ((folder / "bin").string() + ":" + path).c_str(), 1);
    // The guide is looked for when the editor opens.
    Host.Dispatch(effEditClose);
    ASSERT_TRUE(OpenEditor());
    std::string message;
    ChooseFromMainMenu({"Open User Guide"}, [&] { Answer(TBlxModalResult::OK, &message); });
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(message, "Error opening file.\r\n\r\n\"" + guide.string() + "\" | Open User Guide");
    fs::remove(guide);
    RemoveTestFolder(folder / "bin");
}

TEST_F(EditorTest, AboutNamesTheVersionAndTheBuildDate)
{
    // The date is written in the user's format, read from the environment without changing
    // the process's own locale ("C"; the user's C.UTF-8 writes month/day/year).
    const char* previous = std::getenv("LC_ALL");
    const std::string saved = previous ? previous : "";
    setenv("LC_ALL", "C.UTF-8", 1);
    const std::string processLocale = setlocale(LC_ALL, nullptr);
    const std::string text = Form().AboutText();
    EXPECT_EQ(setlocale(LC_ALL, nullptr), processLocale);
    if (previous)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
    EXPECT_TRUE(std::regex_match(
        text,
        std::regex(
            "Tumblet v1\\.20\r\rBuild date: (0[1-9]|1[0-2])/(0[1-9]|[12][0-9]|3[01])/[0-9]{2}")))
        << text;
}

// The dialogs the module asks for through its service open over the editor form it names and
// return at once; the answer comes on a later idle. Without an editor nothing can show them.
TEST_F(EditorTest, TheModulesDialogServiceAnswersOnALaterIdleOverTheEditor)
{
    std::unique_ptr<TDialogService> service = CreateWindowedDialogService();
    std::optional<TDialogService::TResult> answer;
    service->ShowMessageDialog(&Form(), "Delete?", "Delete Preset", TDialogService::TButtons::YesNo,
                               TDialogService::TType::Confirmation,
                               [&](TDialogService::TResult r) { answer = r; });
    TBlxWindow* box = TBlxApplication::Instance().TopModal();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box, Form().DialogHolder().get());
    EXPECT_EQ(box->PopupParent(), &Form());
    EXPECT_FALSE(answer.has_value());
    PressKey(*box, TBlxKey::Enter);
    IdleUntil([&] { return answer.has_value(); });
    EXPECT_EQ(answer, TDialogService::TResult::Yes);

    std::optional<std::optional<double>> number;
    service->InputNumberDialog(&Form(), "MIDI Set CC: Rate", "CC# (0-127)", 127, 0, 0, 1,
                               [&](std::optional<double> v) { number = v; });
    ASSERT_NE(TBlxApplication::Instance().TopModal(), nullptr);
    TypeText(*TBlxApplication::Instance().TopModal(), "99");
    PressKey(*TBlxApplication::Instance().TopModal(), TBlxKey::Enter);
    IdleUntil([&] { return number.has_value(); });
    EXPECT_EQ(*number, 99);

    std::optional<std::optional<std::string>> name;
    service->InputTextDialog(nullptr, "Save Preset", "Name", true, 50, "x",
                             [&](std::optional<std::string> t) { name = t; });
    ASSERT_TRUE(name.has_value());
    EXPECT_FALSE(name->has_value());
    EXPECT_EQ(TBlxApplication::Instance().TopModal(), nullptr);
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
