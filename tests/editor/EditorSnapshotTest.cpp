// The editor as a musician sees it, written as PNG images under build/snapshots/editor for
// review: every skin, one with a held chord and a message, one while MIDI learn is active.

#include "EditorFixture.h"

#include "controls/BlxMenuButton.h"
#include "editor/Editor.h"
#include "editor/MessageDialog.h"
#include "plugin/BlxCommon.h"
#include "plugin/Plugin.h"
#include "support/TestHost.h"
#include "ui/BlxButton.h"
#include "ui/BlxLabel.h"
#include "ui/BlxMenuWindow.h"
#include "ui/BlxScreenshot.h"
#include "ui/BlxStyle.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tumblet
{
namespace
{

using namespace test;

struct TSkinRow
{
    std::int32_t Style;
    const char* Slug;
};

class EditorSnapshotTest : public ::testing::TestWithParam<TSkinRow>, public TOpenEditor
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(
            LoadAndOpen([this](TVSTPlugin& module) { module.SetStyle(GetParam().Style); }));
    }
    void TearDown() override
    {
        Module().SetStyle(0);
        CloseAll();
    }
    void Snap(const std::string& name)
    {
        Idle();
        Form().PaintAll();
        const std::string path = SnapshotPath("editor/" + name);
        ASSERT_TRUE(Form().BackBuffer().SavePng(path)) << path;
        EXPECT_TRUE(std::filesystem::exists(path));
    }
};

TEST_P(EditorSnapshotTest, Editor)
{
    EXPECT_EQ(TBlxStyle::ActiveName(), StyleName(GetParam().Style));
    Snap(std::string("editor_") + GetParam().Slug);
}

TEST_P(EditorSnapshotTest, HeldChordAndMessage)
{
    if (GetParam().Style != 0)
        GTEST_SKIP() << "one skin is enough";
    Module().SetPresetName("Warm pad arpeggio in E minor, slow");
    Host.SendEvents({NoteOn(52), NoteOn(55), NoteOn(59), NoteOn(64)});
    Host.Process(64);
    Idle();
    Snap("editor_held_chord");
    Form().ShowParameterInfo("Velocity");
    Snap("editor_message");
}

TEST_P(EditorSnapshotTest, LearnActive)
{
    if (GetParam().Style != 0)
        GTEST_SKIP() << "one skin is enough";
    Module().ToggleLearn();
    Idle();
    EXPECT_FALSE(Form().lblInfo->Caption().empty());
    Snap("editor_learn");
}

TEST_P(EditorSnapshotTest, MainMenuAndAbout)
{
    if (GetParam().Style != 0)
        GTEST_SKIP() << "one skin is enough";
    Module().SetMapping("Gate", 7);
    Module().SetMapping("Swing", 64);
    TBlxPopupMenu& menu = Form().ddmMenu;
    const auto open = [&](const std::string& caption, const std::string& name)
    {
        TBlxMenuWindow& top = menu.Level(0);
        for (int i = 0; i < top.LevelItem().Count(); ++i)
            if (top.LevelItem().Item(i).Caption() == caption)
            {
                const TBlxRect r = top.ItemRect(i);
                MoveTo(top, {r.Left + r.Width / 2, r.Top + r.Height / 2});
            }
        ASSERT_EQ(menu.LevelCount(), 2) << caption;
        EXPECT_TRUE(
            BlxSaveWindowsPng({&Form(), &top, &menu.Level(1)}, SnapshotPath("editor/" + name)));
    };
    WhenModal(
        [&](TBlxWindow&)
        {
            open("MIDI CC Remove", "main_menu");
            open("Skin", "main_menu_skin");
            menu.CloseMenu();
        });
    ClickControl(*Form().btnMenu);
    IdleUntilSettled();

    WhenModal(
        [&](TBlxWindow& w)
        {
            EXPECT_TRUE(BlxSaveWindowsPng({&Form(), &w}, SnapshotPath("editor/about")));
            ClickControl(*dynamic_cast<TfrmMessageDialog&>(w).btnOK);
        });
    Form().ddmMenu_AboutClick();
    IdleUntilSettled();
}

INSTANTIATE_TEST_SUITE_P(Skins, EditorSnapshotTest,
                         ::testing::Values(TSkinRow{0, "carbon"}, TSkinRow{1, "zuzereda"},
                                           TSkinRow{2, "light"}, TSkinRow{3, "luna"},
                                           TSkinRow{4, "smokey"}),
                         [](const auto& info) { return std::string(info.param.Slug); });

} // namespace
} // namespace tumblet
