// The editor as a musician sees it, written as PNG images under build/snapshots/editor for
// review: every skin, one with a held chord and a message, one while MIDI learn is active; and
// under editor/scaled the editor, its main menu, a dialog and the presets browser at 100, 150
// and 200 % for every skin, with checks that every size draws the same layout and that every
// caption fits the width it was designed for.

#include "EditorFixture.h"

#include "controls/BlxMenuButton.h"
#include "editor/Editor.h"
#include "editor/MessageDialog.h"
#include "editor/PresetsForm.h"
#include "plugin/BlxCommon.h"
#include "plugin/Plugin.h"
#include "support/TestHost.h"
#include "ui/BlxButton.h"
#include "ui/BlxLabel.h"
#include "ui/BlxMenuWindow.h"
#include "ui/BlxScale.h"
#include "ui/BlxScreenshot.h"
#include "ui/BlxStyle.h"
#include "ui/BlxText.h"
#include "ui/SkinSnapshotTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

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
        Module().SetEditorSize(0);
        Module().SetStyle(0);
        CloseAll();
    }
    void Snap(const std::string& name)
    {
        Idle();
        Form().PaintAll();
        const std::string path = SnapshotPath("editor/" + name);
        ASSERT_TRUE(Form().BackBuffer().SavePng(path)) << path;
        EXPECT_TRUE(EveryControlIsDrawn(Form(), Form().BackBuffer())) << name;
    }
    /// Chooses a size as the main menu does, then lets the editor follow at an idle call.
    void ChooseSize(int percent)
    {
        Module().SetEditorSize(percent);
        Idle();
        Form().PaintAll();
    }
    std::string PathOf(const std::string& what, int percent)
    {
        return SnapshotPath("editor/scaled/" + what + "_" + GetParam().Slug + "_" +
                            std::to_string(percent));
    }
    void SnapMenuDialogAndBrowser(int percent)
    {
        TBlxPopupMenu& menu = Form().ddmMenu;
        WhenModal(
            [&](TBlxWindow&)
            {
                TBlxMenuWindow& top = menu.Level(0);
                EXPECT_EQ(top.Scale(), Form().Scale()) << "a menu takes its editor's scale";
                EXPECT_TRUE(BlxSaveWindowsPng({&Form(), &top}, PathOf("main_menu", percent)));
                menu.CloseMenu();
            });
        ClickControl(*Form().btnMenu);
        IdleUntilSettled();
        WhenModal(
            [&](TBlxWindow& w)
            {
                EXPECT_EQ(w.Scale(), Form().Scale()) << "a dialog takes its editor's scale";
                EXPECT_TRUE(BlxSaveWindowsPng({&w}, PathOf("about", percent)));
                ClickControl(*dynamic_cast<TfrmMessageDialog&>(w).btnOK);
            });
        Form().ddmMenu_AboutClick();
        IdleUntilSettled();
        // The browser is drawn inside the editor, at its scale.
        ClickControl(*Form().btnPresets);
        TfrmPresets* browser = OpenPresetsBrowser(Form());
        ASSERT_NE(browser, nullptr);
        EXPECT_EQ(browser->Bounds(), (TBlxRect{16, 16, 680, 309}));
        Form().PaintAll();
        EXPECT_TRUE(Form().BackBuffer().SavePng(PathOf("presets", percent)));
        browser->Close(TBlxModalResult::Cancel);
        Idle();
        EXPECT_EQ(OpenPresetsBrowser(Form()), nullptr);
    }
};

// What does not change with the skin is drawn once, in the default one.
class EditorDefaultSkinSnapshotTest : public EditorSnapshotTest
{
};

TEST_P(EditorSnapshotTest, Editor)
{
    EXPECT_EQ(TBlxStyle::ActiveName(), StyleName(GetParam().Style));
    Snap(std::string("editor_") + GetParam().Slug);
}

TEST_P(EditorDefaultSkinSnapshotTest, HeldChordAndMessage)
{
    Module().SetPresetName("Warm pad arpeggio in E minor, slow");
    Host.SendEvents({NoteOn(52), NoteOn(55), NoteOn(59), NoteOn(64)});
    Host.Process(64);
    Idle();
    Snap("editor_held_chord");
    Form().ShowParameterInfo("Velocity");
    Snap("editor_message");
}

TEST_P(EditorDefaultSkinSnapshotTest, LearnActive)
{
    Module().ToggleLearn();
    Idle();
    EXPECT_FALSE(Form().lblInfo->Caption().empty());
    Snap("editor_learn");
}

TEST_P(EditorDefaultSkinSnapshotTest, MainMenuAndAbout)
{
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

/// The mean difference of two pictures' channels, 0 to 255, after the larger one is averaged
/// down by `factor` in each direction.
double MeanDifferenceAfterDownscale(const TBlxPixelBuffer& large, const TBlxPixelBuffer& small,
                                    int factor)
{
    double sum = 0;
    for (int y = 0; y < small.Height(); ++y)
        for (int x = 0; x < small.Width(); ++x)
        {
            double r = 0, g = 0, b = 0;
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx)
                {
                    const TBlxColor c = large.Pixel(x * factor + dx, y * factor + dy);
                    r += c.R();
                    g += c.G();
                    b += c.B();
                }
            const double n = factor * factor;
            const TBlxColor s = small.Pixel(x, y);
            sum += std::abs(r / n - s.R()) + std::abs(g / n - s.G()) + std::abs(b / n - s.B());
        }
    return sum / (3.0 * small.Width() * small.Height());
}

TEST_P(EditorSnapshotTest, EachSizeDrawsTheSameLayoutSharper)
{
    // A few presets, so that the browser's pictures show its list.
    for (const char* name : {"Bright steps", "Init", "Warm pad arpeggio"})
        Module().SavePresetFile(name, nullptr);
    Module().SetPresetName("Bright steps");
    Idle();
    Form().PaintAll();
    TBlxPixelBuffer normal(Form().BackBuffer().Width(), Form().BackBuffer().Height());
    {
        TCairoContextHandle cr = normal.CreateContext();
        cairo_set_source_surface(cr.get(), Form().BackBuffer().Surface(), 0, 0);
        cairo_paint(cr.get());
    }
    ASSERT_EQ(normal.Width(), 712);
    ASSERT_EQ(normal.Height(), 341);
    ASSERT_TRUE(normal.SavePng(PathOf("editor", 100)));
    SnapMenuDialogAndBrowser(100);

    for (const int percent : {150, 200})
    {
        SCOPED_TRACE(percent);
        ChooseSize(percent);
        const double scale = percent / 100.0;
        EXPECT_EQ(Form().Scale(), scale);
        const TBlxPixelBuffer& scaled = Form().BackBuffer();
        EXPECT_EQ(scaled.Width(), int(std::ceil(712 * scale)));
        EXPECT_EQ(scaled.Height(), int(std::ceil(341 * scale)));
        EXPECT_EQ(Form().Width(), scaled.Width()) << "the host is told the device size";
        ASSERT_TRUE(scaled.SavePng(PathOf("editor", percent)));
        if (percent == 200)
        {
            // Shrunk back to 100 % the picture is the 100 % one, but for sharper edges and
            // text drawn for its own size: a moved or resized control would differ far more.
            EXPECT_LT(MeanDifferenceAfterDownscale(scaled, normal, 2), 6.0);
        }
        SnapMenuDialogAndBrowser(percent);
    }
}

/// Every fixed caption of the editor, drawn at each size, fits the label it was laid out for.
TEST_P(EditorDefaultSkinSnapshotTest, EveryCaptionFitsItsWidthAtEverySize)
{
    std::vector<const TBlxLabel*> labels;
    std::function<void(const TBlxControl&)> collect = [&](const TBlxControl& c)
    {
        if (const auto* label = dynamic_cast<const TBlxLabel*>(&c);
            label != nullptr && c.Visible() && !label->Caption().empty() && !label->WordWrap())
            labels.push_back(label);
        for (int i = 0; i < c.ChildCount(); ++i)
            collect(c.Child(i));
    };
    collect(Form());
    ASSERT_GT(labels.size(), 20u);
    for (const int percent : TBlxScale::kSteps)
        for (const TBlxLabel* label : labels)
            EXPECT_LE(
                BlxText::ExtentAtScale(label->Font(), label->Caption(), percent / 100.0).Width,
                label->Width())
                << label->Name() << " \"" << label->Caption() << "\" at " << percent << " %";
}

INSTANTIATE_TEST_SUITE_P(Skins, EditorSnapshotTest,
                         ::testing::Values(TSkinRow{0, "carbon"}, TSkinRow{1, "zuzereda"},
                                           TSkinRow{2, "light"}, TSkinRow{3, "luna"},
                                           TSkinRow{4, "smokey"}),
                         [](const auto& info) { return std::string(info.param.Slug); });
INSTANTIATE_TEST_SUITE_P(DefaultSkin, EditorDefaultSkinSnapshotTest,
                         ::testing::Values(TSkinRow{0, "carbon"}),
                         [](const auto& info) { return std::string(info.param.Slug); });

} // namespace
} // namespace tumblet
