// Per-user settings, the legacy registry migration, skins and preset files, each test in a
// private home folder.

#include "StateTestSupport.h"

#include "engine/BlxMidiNoteList.h"
#include "plugin/BlxCommon.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <stdexcept>
#include <sys/resource.h>

namespace tumblet::test
{
namespace
{

namespace fs = std::filesystem;
using TResult = TDialogService::TResult;
constexpr const char* kLegacyKey = "Software\\Brindlex\\Tumblet";

class SettingsTest : public ::testing::Test
{
protected:
    std::string ReadText(const std::string& path)
    {
        const auto bytes = ReadFile(path);
        return std::string(bytes.begin(), bytes.end());
    }
    THomeFolder Home;
};

TEST_F(SettingsTest, FirstStartCreatesNothingAndUsesTheDefaults)
{
    TStateInstance i;
    EXPECT_EQ(i.Plugin().Style(), 0);
    EXPECT_EQ(i.Plugin().LowestOctave(), -2);
    EXPECT_EQ(OctaveOffset(), -2);
    EXPECT_EQ(i.Plugin().PresetName(), "");
    EXPECT_EQ(i.Plugin().SettingsFolder(), Home.SettingsFolder());
    EXPECT_EQ(i.Plugin().SettingsFile(), Home.SettingsFolder() + "Settings.ini");
    EXPECT_EQ(i.Plugin().PresetsFolder(), Home.PresetsFolder());
    EXPECT_FALSE(fs::exists(Home.Path() + "/Documents"));
    EXPECT_TRUE(i.Dialogs().Messages.empty());
}

// Issue 17: as xdg-user-dir does, the environment's XDG_DOCUMENTS_DIR counts where the file
// names no documents folder, and the file wins where it does.
TEST_F(SettingsTest, DocumentsFolderFromTheEnvironmentUnlessTheFileNamesOne)
{
    setenv("XDG_DOCUMENTS_DIR", (Home.Path() + "/FromEnv/").c_str(), 1);
    {
        TStateInstance i;
        EXPECT_EQ(i.Plugin().SettingsFolder(), Home.Path() + "/FromEnv/Brindlex/Tumblet/");
    }
    MakeFolders(Home.Path() + "/.config");
    WriteTextFile(
        Home.Path() + "/.config/user-dirs.dirs",
        "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    {
        TStateInstance i;
        EXPECT_EQ(i.Plugin().SettingsFolder(), Home.Path() + "/Docs/Brindlex/Tumblet/");
    }
    unsetenv("XDG_DOCUMENTS_DIR");
}

struct TClampCase
{
    const char* Text;
    std::int32_t Style;
    std::int32_t LowestOctave;
};

TEST_F(SettingsTest, ValuesAreClampedOrDefaultedAndTheFileIsKept)
{
    const TClampCase cases[] = {
        {"[Config]\nStyle=-3\nLowestOctave=5\n", 0, 0},
        {"[Config]\nStyle=9\nLowestOctave=-7\n", 4, -2},
        {"[config]\nstyle=3\nlowestoctave=-1\n", 3, -1},
        {"[Config]\nStyle=two\nLowestOctave=1.5\n", 0, -2},
        {"", 0, -2},
    };
    MakeFolders(Home.SettingsFolder());
    for (const TClampCase& c : cases)
    {
        WriteTextFile(Home.SettingsFolder() + "Settings.ini", c.Text);
        TStateInstance i;
        EXPECT_EQ(i.Plugin().Style(), c.Style) << c.Text;
        EXPECT_EQ(i.Plugin().LowestOctave(), c.LowestOctave) << c.Text;
        EXPECT_EQ(OctaveOffset(), c.LowestOctave) << c.Text;
        EXPECT_EQ(ReadText(Home.SettingsFolder() + "Settings.ini"), c.Text);
    }
}

TEST_F(SettingsTest, ChangesWriteExactlyTheTwoLinesOfTheSection)
{
    TStateInstance i;
    i.Plugin().SetStyle(2);
    EXPECT_EQ(ReadText(Home.SettingsFolder() + "Settings.ini"),
              "[Config]\nStyle=2\nLowestOctave=-2\n");
    i.Plugin().SetLowestOctave(-1);
    EXPECT_EQ(OctaveOffset(), -1);
    EXPECT_EQ(ReadText(Home.SettingsFolder() + "Settings.ini"),
              "[Config]\nStyle=2\nLowestOctave=-1\n");
    // No leftover temporary files beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(Home.SettingsFolder()), {}), 1);
    TStateInstance next;
    EXPECT_EQ(next.Plugin().Style(), 2);
    EXPECT_EQ(next.Plugin().LowestOctave(), -1);
}

TEST_F(SettingsTest, EditorSizeIsOneChoiceForEveryInstanceAndSavedOnceChosen)
{
    TStateInstance first;
    TStateInstance second;
    first.Plugin().SetEditorSize(175);
    EXPECT_EQ(second.Plugin().EditorSize(), 175);
    EXPECT_EQ(ReadText(Home.SettingsFolder() + "Settings.ini"),
              "[Config]\nStyle=0\nLowestOctave=-2\nEditorSize=175\n");
    // Back to "Automatic" stays written; a size not offered reads as "Automatic".
    first.Plugin().SetEditorSize(0);
    EXPECT_EQ(ReadText(Home.SettingsFolder() + "Settings.ini"),
              "[Config]\nStyle=0\nLowestOctave=-2\nEditorSize=0\n");
    for (const auto& [text, size] :
         std::vector<std::pair<std::string, std::int32_t>>{{"[Config]\nEditorSize=250\n", 250},
                                                           {"[Config]\nEditorSize=120\n", 0},
                                                           {"[Config]\nEditorSize=-5\n", 0}})
    {
        WriteTextFile(Home.SettingsFolder() + "Settings.ini", text);
        TStateInstance next;
        EXPECT_EQ(next.Plugin().EditorSize(), size) << text;
    }
}

TEST_F(SettingsTest, UnwritableSettingsAreReportedAndTheValuesStay)
{
    // A file where the folder should be: the folder cannot be created.
    MakeFolders(Home.Path() + "/Documents/Brindlex");
    WriteTextFile(Home.Path() + "/Documents/Brindlex/Tumblet", "");
    TStateInstance i;
    i.Plugin().SetStyle(3);
    EXPECT_EQ(i.Plugin().Style(), 3);
    ASSERT_EQ(i.Dialogs().Messages.size(), 1u);
    EXPECT_EQ(i.Dialogs().Messages[0].Caption, "Save Settings");
    EXPECT_EQ(i.Dialogs().Messages[0].Text.rfind("Error saving settings.\r\n\r\n\"", 0), 0u);
}

TEST_F(SettingsTest, FailedSettingsWriteKeepsTheOldFile)
{
    TStateInstance i;
    i.Plugin().SetStyle(1);
    const std::string before = ReadText(Home.SettingsFolder() + "Settings.ini");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 8; // fewer bytes than the two lines need
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    i.Plugin().SetStyle(4);
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_EQ(i.Dialogs().Messages.size(), 1u);
    EXPECT_EQ(i.Dialogs().Messages[0].Caption, "Save Settings");
    EXPECT_EQ(ReadText(Home.SettingsFolder() + "Settings.ini"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(Home.SettingsFolder()), {}), 1);
}

TEST_F(SettingsTest, LegacyKeyWithConfigIsMigratedAndDeleted)
{
    auto registry = std::make_unique<TMemoryRegistry>();
    TMemoryRegistry* reg = registry.get();
    reg->Keys = {"Software\\Brindlex", kLegacyKey, std::string(kLegacyKey) + "\\Config"};
    reg->Values[{std::string(kLegacyKey) + "\\Config", "Style"}] = "2";
    TStateInstance i(std::move(registry));
    EXPECT_EQ(i.Plugin().Style(), 2);
    EXPECT_EQ(i.Plugin().LowestOctave(), -2);
    EXPECT_EQ(ReadText(Home.SettingsFolder() + "Settings.ini"),
              "[Config]\nStyle=2\nLowestOctave=-2\n");
    EXPECT_EQ(reg->Keys, std::set<std::string>{"Software\\Brindlex"});
    EXPECT_TRUE(reg->Values.empty());

    // The next start reads the settings file.
    TStateInstance next;
    EXPECT_EQ(next.Plugin().Style(), 2);
}

TEST_F(SettingsTest, LegacyKeyWithoutConfigReadsNothingAndIsDeleted)
{
    MakeFolders(Home.SettingsFolder());
    WriteTextFile(Home.SettingsFolder() + "Settings.ini", "[Config]\nStyle=3\n");
    auto registry = std::make_unique<TMemoryRegistry>();
    TMemoryRegistry* reg = registry.get();
    reg->Keys = {"Software\\Brindlex", kLegacyKey};
    TStateInstance i(std::move(registry));
    EXPECT_EQ(i.Plugin().Style(), 0);
    EXPECT_EQ(i.Plugin().LowestOctave(), 0);
    EXPECT_EQ(reg->Keys, std::set<std::string>{"Software\\Brindlex"});
    EXPECT_EQ(ReadText(Home.SettingsFolder() + "Settings.ini"), "[Config]\nStyle=3\n");
}

const char* gFailingStyle = nullptr;
void FailingSelector(const char* name)
{
    if (gFailingStyle != nullptr && std::string(name) == gFailingStyle)
        throw std::runtime_error("no such style");
}

TEST_F(SettingsTest, SkinIsSelectedByNameAndAFailureIsReported)
{
    TStateInstance i;
    const std::pair<std::int32_t, const char*> styles[] = {
        {0, "Carbon"}, {1, "Zuzereda"}, {2, "Light"}, {3, "Luna"}, {4, "Divodo Vididi Vodov"}};
    for (const auto& [index, name] : styles)
    {
        i.Plugin().SetStyle(index);
        i.Plugin().ApplySkin();
        EXPECT_STREQ(SelectedStyleName(), name);
    }
    SetStyleSelector(&FailingSelector);
    gFailingStyle = "Light";
    i.Plugin().SetStyle(2);
    i.Plugin().ApplySkin();
    SetStyleSelector(nullptr);
    EXPECT_STREQ(SelectedStyleName(), "Divodo Vididi Vodov");
    ASSERT_FALSE(i.Dialogs().Messages.empty());
    EXPECT_EQ(i.Dialogs().Messages.back().Text, "Error loading skin.\r\n\r\n\"no such style\"");
    EXPECT_EQ(i.Dialogs().Messages.back().Caption, "Load Skin");
}

TEST_F(SettingsTest, UserGuideIsLookedUpInTheSettingsFolder)
{
    TStateInstance i;
    EXPECT_EQ(i.Plugin().UserGuidePath(), "");
    MakeFolders(Home.SettingsFolder());
    WriteTextFile(Home.SettingsFolder() + "Tumblet User Guide.pdf", "%PDF");
    EXPECT_EQ(i.Plugin().UserGuidePath(), Home.SettingsFolder() + "Tumblet User Guide.pdf");
}

// ---- Preset files ----------------------------------------------------------------------------

class PresetFileTest : public SettingsTest
{
protected:
    void SetUp() override { Instance = std::make_unique<TStateInstance>(); }
    TStateInstance& I() { return *Instance; }
    TVSTPlugin& P() { return I().Plugin(); }
    std::string Path(const std::string& name) { return Home.PresetsFolder() + name + ".brindlexp"; }

    std::unique_ptr<TStateInstance> Instance;
};

TEST_F(PresetFileTest, SavedNameIsCleanedAndRecordedInTheFile)
{
    P().SetParameterByName("Gate", 150);
    P().SavePresetFile("  a/b  ", nullptr);
    EXPECT_EQ(P().PresetName(), "a_b");
    ASSERT_TRUE(FileExists(Path("a_b")));
    TStateInstance other;
    other.Plugin().LoadPresetFile(Path("a_b"), nullptr);
    EXPECT_EQ(other.Value("Gate"), 150.0f);
    EXPECT_EQ(other.Plugin().PresetName(), "a_b");
    EXPECT_EQ(CleanPresetName(" \\:*?\"<>|x "), "________x");
}

TEST_F(PresetFileTest, EmptyNameOnlyClearsTheCurrentPresetName)
{
    P().SetPresetName("Lead");
    I().Host.ClearRecords();
    P().SavePresetFile("   ", nullptr);
    EXPECT_EQ(P().PresetName(), "");
    EXPECT_EQ(I().Automated(), std::vector<std::int32_t>{0});
    EXPECT_FALSE(fs::exists(Home.PresetsFolder()));
}

TEST_F(PresetFileTest, DecliningTheOverwriteLeavesFileAndNameAlone)
{
    P().SavePresetFile("Lead", nullptr);
    const auto before = ReadFile(Path("Lead"));
    P().SetPresetName("Other");
    P().SetParameterByName("Gate", 10);
    I().Dialogs().MessageAnswers.push_back(TResult::No);
    P().SavePresetFile("Lead", nullptr);
    ASSERT_EQ(I().Dialogs().Messages.size(), 1u);
    EXPECT_EQ(I().Dialogs().Messages[0].Text, "Overwrite existing preset?");
    EXPECT_EQ(I().Dialogs().Messages[0].Caption, "Preset Exists");
    EXPECT_EQ(I().Dialogs().Messages[0].Buttons, TDialogService::TButtons::YesNo);
    EXPECT_EQ(I().Dialogs().Messages[0].Type, TDialogService::TType::Confirmation);
    EXPECT_EQ(ReadFile(Path("Lead")), before);
    EXPECT_EQ(P().PresetName(), "Other");

    I().Dialogs().MessageAnswers.push_back(TResult::Yes);
    P().SavePresetFile("Lead", nullptr);
    EXPECT_NE(ReadFile(Path("Lead")), before);
    EXPECT_EQ(P().PresetName(), "Lead");
}

TEST_F(PresetFileTest, FileNameWinsOverTheStoredName)
{
    P().SavePresetFile("Lead", nullptr);
    fs::rename(Path("Lead"), Path("Bass"));
    P().SetPresetName("");
    P().LoadPresetFile(Path("Bass"), nullptr);
    EXPECT_EQ(P().PresetName(), "Bass");
    EXPECT_TRUE(I().Dialogs().Messages.empty());
}

TEST_F(PresetFileTest, UnreadableFileIsReportedAndDefaultsReturn)
{
    P().SetParameterByName("Gate", 10);
    P().LoadPresetFile(Path("Missing"), nullptr);
    ASSERT_EQ(I().Dialogs().Messages.size(), 1u);
    EXPECT_EQ(I().Dialogs().Messages[0].Caption, "Load Preset");
    EXPECT_EQ(I().Dialogs().Messages[0].Text.rfind("Error loading preset from file.\r\n\r\n\"", 0),
              0u);
    EXPECT_EQ(I().Value("Gate"), 100.0f);
}

TEST_F(PresetFileTest, InitPresetDefinesStartUpAndInit)
{
    P().SetParameterByName("Gate", 150);
    P().SetMapping("Swing", 4);
    P().SavePresetFile("init", nullptr);

    TStateInstance fresh;
    EXPECT_EQ(fresh.Value("Gate"), 150.0f);
    EXPECT_EQ(fresh.Plugin().PresetName(), "");
    fresh.Plugin().SetParameterByName("Gate", 20);
    fresh.Plugin().SetPresetName("Lead");
    fresh.Plugin().LoadInitPreset();
    EXPECT_EQ(fresh.Value("Gate"), 150.0f);
    EXPECT_EQ(fresh.Plugin().PresetName(), "");
    EXPECT_EQ(fresh.Plugin().MidiCCList().Count(), 1);
    EXPECT_TRUE(fresh.Dialogs().Messages.empty());
}

TEST_F(PresetFileTest, DamagedInitPresetShowsTheErrorAndKeepsDefaults)
{
    P().SetParameterByName("Gate", 150);
    P().SavePresetFile("init", nullptr);
    auto bytes = ReadFile(Path("init"));
    const auto intact = bytes;
    bytes[8] = 'X'; // the signature
    WriteFile(Path("init"), bytes);
    {
        TStateInstance fresh;
        EXPECT_EQ(fresh.Value("Gate"), 100.0f);
        ASSERT_EQ(fresh.Dialogs().Messages.size(), 1u);
        EXPECT_EQ(fresh.Dialogs().Messages[0].Text,
                  "Error loading preset.\r\n\r\n\"Invalid stream format\"");
    }
    bytes = intact;
    bytes[0] = 'X'; // the container
    WriteFile(Path("init"), bytes);
    {
        TStateInstance fresh;
        EXPECT_EQ(fresh.Value("Gate"), 100.0f);
        ASSERT_EQ(fresh.Dialogs().Messages.size(), 1u);
        EXPECT_EQ(fresh.Dialogs().Messages[0].Caption, "Load Preset");
    }
}

TEST_F(PresetFileTest, PresetExistsOnlyForFilesInThePresetsFolder)
{
    P().SavePresetFile("Lead", nullptr);
    EXPECT_TRUE(P().PresetExists("Lead"));
    EXPECT_FALSE(P().PresetExists("lead"));
    EXPECT_FALSE(P().PresetExists("Presets/../Presets/Lead"));
    EXPECT_FALSE(P().PresetExists(""));
}

} // namespace
} // namespace tumblet::test
