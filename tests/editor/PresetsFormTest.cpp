#include "ui/BlxTestDriver.h"

#include "PresetsBrowserDriver.h"
#include "controls/BlxPopupMenu.h"
#include "controls/BlxSpTBXSpeedButton.h"
#include "editor/MessageDialog.h"
#include "editor/PresetsForm.h"
#include "support/TestHome.h"
#include "ui/BlxButton.h"
#include "ui/BlxLabel.h"
#include "ui/BlxListBox.h"
#include "ui/BlxMenuWindow.h"
#include "ui/BlxStyle.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace tumblet
{
namespace
{

using namespace test;
namespace fs = std::filesystem;

std::vector<std::string> Entries(const TfrmPresets& b)
{
    std::vector<std::string> out;
    for (int i = 0; i < b.lstPresets->Count(); ++i)
    {
        out.push_back(b.lstPresets->Item(i).Text);
    }
    return out;
}

/// Right-clicks an entry of the list; the context menu then runs its loop.
void RightClickEntry(TfrmPresets& b, int index)
{
    TBlxRect r = b.lstPresets->ItemRect(index);
    TBlxPoint p = b.lstPresets->ClientToWindow({r.Left + r.Width / 2, r.Top + r.Height / 2});
    MouseDown(*b.Window(), p, TBlxMouseButton::Right);
    MouseUp(*b.Window(), p, TBlxMouseButton::Right);
    IdleWhileQueued();
}

/// Queues a click on a context menu item, recording which items were enabled.
void ChooseMenuItem(const std::string& caption, std::vector<bool>* enabled = nullptr)
{
    WhenModal(
        [caption, enabled](TBlxWindow& w)
        {
            auto& level = dynamic_cast<TBlxMenuWindow&>(w);
            for (int i = 0; i < level.LevelItem().Count(); ++i)
            {
                TBlxMenuItem& item = level.LevelItem().Item(i);
                if (enabled && !item.IsSeparator())
                {
                    enabled->push_back(item.Enabled());
                }
                if (item.Caption() == caption)
                {
                    TBlxRect r = level.ItemRect(i);
                    ClickAt(level, {r.Left + r.Width / 2, r.Top + r.Height / 2});
                    return;
                }
            }
            ADD_FAILURE() << "no menu item " << caption;
            level.SetModalResult(TBlxModalResult::Cancel);
        });
}

/// Queues the answer to the delete question, recording its text.
void Answer(bool yes, std::string* text)
{
    WhenModal(
        [yes, text](TBlxWindow& w)
        {
            auto& dlg = dynamic_cast<TfrmMessageDialog&>(w);
            *text = dlg.lblText->Caption() + " | " + dlg.Caption();
            ClickControl(yes ? *dlg.btnYes : *dlg.btnNo);
        });
}

/// Deletes an entry through the context menu, answering the question; returns the entries left.
std::vector<std::string> DeleteEntry(TfrmPresets& b, int index, bool yes, std::string* question)
{
    ChooseMenuItem("Delete");
    Answer(yes, question);
    RightClickEntry(b, index);
    return Entries(b);
}

class PresetsBrowserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Offscreen().SetPointer({0, 0}, 0);
        Offscreen().ResetStarved();
        TBlxStyle::SelectNone();
        Folder = TTestHome::NewFolder("presets");
        Editor->SetBounds(100, 200, 712, 341);
        EditorButton = &Editor->Add<TBlxButton>();
        EditorButton->SetBounds(2, 2, 12, 12);
        EditorButton->OnClick = [this](TBlxControl&) { ++EditorClicks; };
        EditorButton->OnMouseUp = [this](TBlxControl&, const TBlxMouseEvent&) { ++EditorReleases; };
        ASSERT_TRUE(Editor->Show());
    }
    void TearDown() override
    {
        EXPECT_FALSE(Offscreen().Starved()) << "a window was left open";
        EXPECT_TRUE(!Editor || OpenPresetsBrowser(*Editor) == nullptr) << "the browser stayed open";
        TBlxStyle::SelectNone();
        RemoveTestFolder(Folder);
    }
    void MakePresets(const std::vector<std::string>& fileNames)
    {
        for (const std::string& name : fileNames)
        {
            std::ofstream(Folder / name) << "x";
        }
    }
    std::optional<std::string> Run(const std::string& current)
    {
        return BrowseUntilClosed(*Editor, {680, 309}, Folder.string(), current);
    }
    fs::path Folder;
    std::unique_ptr<TBlxWindow> Editor = std::make_unique<TBlxWindow>(TBlxWindowKind::Embedded);
    TBlxButton* EditorButton = nullptr;
    int EditorClicks = 0;
    int EditorReleases = 0;
};

TEST_F(PresetsBrowserTest, ListsPresetsInCaseInsensitiveOrderInColumnsWithTheCurrentSelected)
{
    TBlxStyle::Select(TBlxStyle::Names().front());
    MakePresets({"Zap.brindlexp", "acid.brindlexp", "Bass & Lead.brindlexp", "b.brindlexp",
                 "Chords.brindlexp", "Drift.brindlexp", "echo.brindlexp", "Funk.brindlexp",
                 "Glass.brindlexp", "Hypno.brindlexp", "init.brindlexp", "Jitter.brindlexp",
                 "notes.txt", "Upper.BRINDLEXP"});
    fs::create_directories(Folder / "Folder.brindlexp");
    std::vector<std::string> entries;
    WhenBrowserOpen(*Editor,
                    [&](TfrmPresets& b)
                    {
                        entries = Entries(b);
                        EXPECT_EQ(b.Bounds(), (TBlxRect{16, 16, 680, 309}));
                        EXPECT_EQ(b.lstPresets->BoundsInWindow(), (TBlxRect{29, 53, 656, 227}));
                        EXPECT_EQ(b.btnOK->Bounds(), (TBlxRect{497, 273, 80, 26}));
                        EXPECT_EQ(b.btnCancel->Bounds(), (TBlxRect{587, 273, 80, 26}));
                        EXPECT_GT(b.lstPresets->ItemRect(11).Left, b.lstPresets->ItemRect(0).Left);
                        EXPECT_EQ(b.lstPresets->ItemIndex(), 11);
                        EXPECT_TRUE(b.lstPresets->Focused());
                        Editor->PaintAll();
                        EXPECT_TRUE(
                            Editor->BackBuffer().SavePng(SnapshotPath("editor/presets_browser")));
                        // Enter answers with the selected entry.
                        PressKey(*Editor, TBlxKey::Enter);
                    });
    std::optional<std::string> chosen = Run("Zap");
    EXPECT_EQ(entries,
              (std::vector<std::string>{"acid", "b", "Bass & Lead", "Chords", "Drift", "echo",
                                        "Funk", "Glass", "Hypno", "init", "Jitter", "Zap"}));
    EXPECT_EQ(chosen, (Folder / "Zap.brindlexp").string());
}

TEST_F(PresetsBrowserTest, RightClickSelectsTheEntryThatDeleteThenRemoves)
{
    MakePresets({"a.brindlexp", "b.brindlexp", "c.brindlexp", "d.brindlexp"});
    std::string question;
    std::vector<std::string> after;
    int selectedAfter = -1;
    WhenBrowserOpen(*Editor,
                    [&](TfrmPresets& b)
                    {
                        after = DeleteEntry(b, 2, true, &question);
                        selectedAfter = b.lstPresets->ItemIndex();
                        // A double click with the left button loads the selected entry; its
                        // release reaches nothing under the closed browser.
                        TBlxPoint p = b.lstPresets->ClientToWindow({5, 5});
                        EditorButton->SetBounds(p.X - 6, p.Y - 6, 12, 12);
                        ClickAt(*Editor, p);
                        ClickAt(*Editor, p);
                    });
    std::optional<std::string> chosen = Run("a");
    EXPECT_EQ(question, "Delete \"c\"? | Delete Preset");
    EXPECT_EQ(after, (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_EQ(selectedAfter, 2);
    EXPECT_FALSE(fs::exists(Folder / "c.brindlexp"));
    EXPECT_EQ(chosen, (Folder / "a.brindlexp").string());
    EXPECT_EQ(EditorReleases, 0);
}

TEST_F(PresetsBrowserTest, DeletingTheLastEntrySelectsTheNewLastAndEscapeReturnsNothing)
{
    MakePresets({"a.brindlexp", "b.brindlexp", "current.brindlexp"});
    std::string first, second;
    std::vector<std::string> afterNo, afterYes;
    int selectedAfter = -1;
    WhenBrowserOpen(*Editor,
                    [&](TfrmPresets& b)
                    {
                        afterNo = DeleteEntry(b, 2, false, &first);
                        afterYes = DeleteEntry(b, 2, true, &second);
                        selectedAfter = b.lstPresets->ItemIndex();
                        // The file vanished behind the browser's back: deleting it again
                        // changes nothing.
                        fs::remove(Folder / "b.brindlexp");
                        EXPECT_EQ(DeleteEntry(b, 1, true, &second), std::vector<std::string>{"a"});
                        EXPECT_EQ(b.lstPresets->ItemIndex(), 0);
                        PressKey(*Editor, TBlxKey::Escape);
                    });
    EXPECT_EQ(Run("current"), std::nullopt);
    EXPECT_EQ(first, "Delete \"current\"? | Delete Preset");
    EXPECT_EQ(afterNo.size(), 3u);
    EXPECT_EQ(afterYes, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(selectedAfter, 1);
    EXPECT_FALSE(fs::exists(Folder / "current.brindlexp"));
}

TEST_F(PresetsBrowserTest, TheEditorTakesNoInputWhileOpenAndAPressOnItClosesTheBrowser)
{
    MakePresets({"a.brindlexp"});
    bool openAfterDrag = false, openAfterWheel = false, focusStayed = false;
    WhenBrowserOpen(*Editor,
                    [&](TfrmPresets& b)
                    {
                        // A drag from OK onto the editor neither closes the browser nor reaches
                        // the editor.
                        TBlxPoint ok = CentreOf(*b.btnOK);
                        MouseDown(*Editor, ok);
                        MoveTo(*Editor, {7, 7}, ssLeft);
                        MouseUp(*Editor, {7, 7});
                        openAfterDrag = b.IsOpen();
                        WheelAt(*Editor, {7, 7}, 120);
                        openAfterWheel = b.IsOpen();
                        // Tab goes round the browser's own controls only.
                        for (int i = 0; i < 4; ++i)
                            PressKey(*Editor, TBlxKey::Tab);
                        focusStayed = Editor->FocusedControl() != nullptr &&
                                      Editor->FocusedControl() != EditorButton;
                        // The press closes the browser, and neither it nor its release reaches
                        // the button under it.
                        MouseDown(*Editor, {7, 7});
                        MouseUp(*Editor, {7, 7});
                    });
    EXPECT_EQ(Run("a"), std::nullopt);
    EXPECT_TRUE(openAfterDrag);
    EXPECT_TRUE(openAfterWheel);
    EXPECT_TRUE(focusStayed);
    EXPECT_EQ(EditorClicks, 0);
    EXPECT_EQ(EditorReleases, 0);
    ClickAt(*Editor, {7, 7});
    EXPECT_EQ(EditorClicks, 1);
}

TEST_F(PresetsBrowserTest, AMissingFolderListsNothingAndIsCreatedToBeShown)
{
    fs::path bin = Folder / "bin", record = Folder / "opened.txt";
    fs::create_directories(bin);
    std::ofstream(bin / "xdg-open")
        << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record.string() << "'\n";
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (bin.string() + ":" + path).c_str(), 1);
    fs::path missing = Folder / "Documents" / "Presets";
    std::vector<bool> enabled;
    bool okEnabled = true;
    WhenBrowserOpen(*Editor,
                    [&](TfrmPresets& b)
                    {
                        okEnabled = b.btnOK->Enabled();
                        ChooseMenuItem("Show in File Manager", &enabled);
                        TBlxPoint p = b.lstPresets->ClientToWindow({20, 20});
                        MouseDown(*Editor, p, TBlxMouseButton::Right);
                        MouseUp(*Editor, p, TBlxMouseButton::Right);
                        IdleWhileQueued();
                        // The host closes the editor while the browser is open.
                        Editor.reset();
                    });
    EXPECT_EQ(BrowseUntilClosed(*Editor, {680, 309}, missing.string(), "x"), std::nullopt);
    setenv("PATH", path.c_str(), 1);
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(enabled, (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(fs::is_directory(missing));
    std::ifstream in(record);
    std::string opened((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(opened, missing.string() + "/");
}

} // namespace
} // namespace tumblet
