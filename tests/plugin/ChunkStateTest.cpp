// The state chunk as hosts and preset files see it: exact bytes, encodings, versions, errors.

#include "StateTestSupport.h"

#include "plugin/Chunks.h"
#include "plugin/ValueReader.h"
#include "plugin/ValueWriter.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

namespace tumblet::test
{
namespace
{

using TBytes = std::vector<std::uint8_t>;

TBytes Extended(std::initializer_list<std::uint8_t> top)
{
    TBytes bytes(10 - top.size(), 0);
    bytes.insert(bytes.end(), top);
    return bytes;
}

// The defaults in stream order ("Latch" fourth).
const double kStreamDefaults[22] = {3, 1, 0, 0, 2, 0, 100, 0, 100, 0, 100,
                                    0, 0, 0, 0, 0, 0, 0,   0, 0,   0, 0};

// 80-bit extended floats as the stream stores them; the first five are the defaults' values.
const std::pair<double, TBytes> kExtendedFloats[] = {
    {0.0, Extended({})},
    {1.0, Extended({0x80, 0xFF, 0x3F})},
    {2.0, Extended({0x80, 0x00, 0x40})},
    {3.0, Extended({0xC0, 0x00, 0x40})},
    {100.0, Extended({0xC8, 0x05, 0x40})},
    {-100.0, Extended({0xC8, 0x05, 0xC0})},
};

TBytes ExtendedOf(double value)
{
    for (const auto& [known, bytes] : kExtendedFloats)
        if (known == value)
            return bytes;
    ADD_FAILURE() << "no bytes for " << value;
    return {};
}

TBytes DefaultState()
{
    TBytes bytes = {'m', 'm', 's',  't',  0x13, 0x01, 0x00, 0x00, 'T', 'P',
                    'F', '0', 0x01, 0x06, 0x04, '1',  '.',  '2',  '0'};
    for (int i = 0; i < 3; ++i)
        bytes.insert(bytes.end(), {0x12, 0, 0, 0, 0});
    bytes.insert(bytes.end(), {0x00, 0x01, 0x01});
    for (double value : kStreamDefaults)
    {
        bytes.push_back(0x05);
        const TBytes ext = ExtendedOf(value);
        bytes.insert(bytes.end(), ext.begin(), ext.end());
    }
    bytes.insert(bytes.end(), {0x00, 0x00, 0x01, 0x00});
    return bytes;
}

std::string LoadMessage(const std::string& reason)
{
    return "Error loading preset.\r\n\r\n\"" + reason + "\"";
}

class StateChunkTest : public ::testing::Test
{
protected:
    void SetUp() override { Instance = std::make_unique<TStateInstance>(); }
    TStateInstance& I() { return *Instance; }
    /// A stream with the given version and count of values (1..count), no mappings section end.
    TStreamBuilder Stream(const std::string& version, int values, bool innerList)
    {
        TStreamBuilder b;
        b.Header(version).Raw({0x01});
        if (innerList)
            b.Raw({0x01});
        for (int i = 0; i < values; ++i)
            b.Float(i == 6 ? 150.0 : 1.0); // position 7 is "Gate"
        if (innerList)
            b.Raw({0x00});
        return b;
    }

    THomeFolder Home;
    std::unique_ptr<TStateInstance> Instance;
};

TEST_F(StateChunkTest, DefaultStateIsTheExact283Bytes)
{
    const TBytes chunk = I().GetChunk();
    ASSERT_EQ(chunk.size(), 283u);
    EXPECT_EQ(chunk, DefaultState());
}

TEST_F(StateChunkTest, ExtendedFloatsWidenExactly)
{
    for (const auto& [value, expected] : kExtendedFloats)
    {
        TMemoryStream stream;
        TValueWriter(stream).WriteFloat(value);
        TBytes tagged = {0x05};
        tagged.insert(tagged.end(), expected.begin(), expected.end());
        EXPECT_EQ(stream.Bytes(), tagged) << value;
    }
}

struct TStringCase
{
    const char* Name;
    std::string Text;
    TBytes Expected;
};

TEST_F(StateChunkTest, StringsTakeTheEncodingTheirLengthsChoose)
{
    const std::string longText(300, 'a');
    TBytes longBytes = {0x0C, 0x2C, 0x01, 0x00, 0x00}; // length 300, then the 300 bytes
    longBytes.resize(longBytes.size() + longText.size(), 'a');
    const TStringCase cases[] = {
        {"empty", "", {0x12, 0, 0, 0, 0}},
        {"ascii", "Lead", {0x06, 0x04, 'L', 'e', 'a', 'd'}},
        {"accented", "Caf\xC3\xA9", {0x14, 0x05, 0, 0, 0, 'C', 'a', 'f', 0xC3, 0xA9}},
        {"japanese",
         "\xE3\x83\x99\xE3\x83\xBC\xE3\x82\xB9", // ベース
         {0x12, 0x03, 0, 0, 0, 0xD9, 0x30, 0xFC, 0x30, 0xB9, 0x30}},
        {"long ascii", longText, longBytes},
        {"255 ascii", std::string(255, 'b'), {}},
    };
    for (const TStringCase& c : cases)
    {
        TMemoryStream stream;
        TValueWriter(stream).WriteString(c.Text);
        if (c.Expected.empty())
        {
            EXPECT_EQ(stream.Bytes()[0], 0x06) << c.Name;
            continue;
        }
        EXPECT_EQ(stream.Bytes(), c.Expected) << c.Name;
        // And each reads back to the same text.
        TValueReader reader(stream);
        EXPECT_EQ(reader.ReadString(), c.Text) << c.Name;
    }
}

TEST_F(StateChunkTest, PresetNameInTheChunkUsesTheUtf8Tag)
{
    I().Plugin().SetPresetName("Caf\xC3\xA9");
    const TBytes chunk = I().GetChunk();
    // "mmst", size, "TPF0", 01, the version string (6 bytes), then the name.
    ASSERT_GT(chunk.size(), 19u);
    EXPECT_EQ(chunk[19], 0x14);
}

TEST_F(StateChunkTest, IntegersTakeTheSmallestWidth)
{
    auto bytes = [](std::int32_t value)
    {
        TMemoryStream stream;
        TValueWriter(stream).WriteInteger(value);
        return stream.Bytes();
    };
    EXPECT_EQ(bytes(127), (TBytes{0x02, 0x7F}));
    EXPECT_EQ(bytes(-128), (TBytes{0x02, 0x80}));
    EXPECT_EQ(bytes(300), (TBytes{0x03, 0x2C, 0x01}));
    EXPECT_EQ(bytes(-40000), (TBytes{0x04, 0xC0, 0x63, 0xFF, 0xFF}));
}

TEST_F(StateChunkTest, EveryValueMappingAndNameSurvivesARoundTrip)
{
    const std::pair<const char*, float> values[] = {{"Rate", 7},
                                                    {"Gate", 150.5f},
                                                    {"Velocity", -37.25f},
                                                    {"Shift", -12.5f},
                                                    {"Transpose", -7},
                                                    {"Speed", -123.4f},
                                                    {"Octaves Random", 0.1f},
                                                    {"Latch", 1},
                                                    {"Swing", 33.3f},
                                                    {"Note Probability", 99.99f}};
    for (const auto& [name, value] : values)
        I().Plugin().SetParameterByName(name, value);
    I().Plugin().SetMapping("Gate", 7);
    I().Plugin().SetMapping("Rate", 20);
    MakeFolders(Home.PresetsFolder());
    WriteFile(Home.PresetsFolder() + "Keep.brindlexp", {});
    I().Plugin().SetPresetName("Keep");
    const TBytes chunk = I().GetChunk();

    TStateInstance other;
    ASSERT_EQ(other.SetChunk(chunk), static_cast<std::intptr_t>(chunk.size()));
    for (std::int32_t i = 0; i < 22; ++i)
        EXPECT_EQ(other.Plugin().ParameterValues().Items(i).Value(),
                  I().Plugin().ParameterValues().Items(i).Value())
            << i;
    EXPECT_EQ(other.Plugin().PresetName(), "Keep");
    ASSERT_EQ(other.Plugin().MidiCCList().Count(), 2);
    EXPECT_EQ(other.Plugin().MidiCCList().Items(1).Name, "Rate");
    EXPECT_EQ(other.Plugin().MidiCCList().Items(1).CC, 20);
    EXPECT_EQ(other.GetChunk(), chunk);
    EXPECT_TRUE(other.Dialogs().Messages.empty());
}

struct TVersionCase
{
    const char* Version;
    int Values;
    bool InnerList; ///< versions from "1.10" on, compared as strings, wrap the values in a list
    float OctavesRandom;
};

// Older versions carry fewer values; those missing return to their defaults.
TEST_F(StateChunkTest, OlderVersionsLoadTheirValuesAndLeaveTheRestAtDefaults)
{
    const TVersionCase cases[] = {
        {"1.00", 20, false, 0.0f}, {"1.10", 21, true, 1.0f},  {"1.2", 20, true, 0.0f},
        {"1.9", 20, true, 0.0f},   {"2", 20, true, 0.0f},     {"", 20, false, 0.0f},
        {"1.0", 20, false, 0.0f},  {"1.09", 20, false, 0.0f},
    };
    for (const TVersionCase& c : cases)
    {
        SCOPED_TRACE(c.Version);
        I().Plugin().SetParameterByName("Speed", 50);
        I().Plugin().SetParameterByName("Octaves Random", 50);
        I().SetChunk(Stream(c.Version, c.Values, c.InnerList).Raw({0x00, 0x01, 0x00}).Container());
        EXPECT_TRUE(I().Dialogs().Messages.empty());
        EXPECT_EQ(I().Value("Gate"), 150.0f);
        EXPECT_EQ(I().Value("Octaves Random"), c.OctavesRandom);
        EXPECT_EQ(I().Value("Speed"), 0.0f);
    }
}

TEST_F(StateChunkTest, TwentyThreeValuesFailAndTheHostLoadResets)
{
    const TBytes container = Stream("1.20", 23, true).Raw({0x00, 0x01, 0x00}).Container();
    I().SetChunk(container);
    ASSERT_EQ(I().Dialogs().Messages.size(), 1u);
    EXPECT_EQ(I().Dialogs().Messages[0].Text, LoadMessage("Invalid property value"));
    EXPECT_EQ(I().Value("Gate"), 100.0f);

    // Without the load event's reset, the first 22 values stay applied.
    TMemoryStreamChunk chunk;
    TMemoryStream source(container.data(), container.size());
    chunk.ReadFromStream(source);
    EXPECT_FALSE(I().Plugin().LoadState(chunk, true, nullptr));
    EXPECT_EQ(I().Value("Gate"), 150.0f);
    EXPECT_EQ(I().Value("Speed"), 1.0f);
}

struct TBadStream
{
    const char* Name;
    TBytes Container;
    const char* Reason;
};

TEST_F(StateChunkTest, DamagedStreamsFailWithTheirMessageAndLeaveDefaults)
{
    TStreamBuilder badSignature;
    badSignature.Text("TPF1").Raw({0x01, 0x00});
    TStreamBuilder floatTag = Stream("1.20", 0, false);
    floatTag.Raw({0x01, 0x0F, 0, 0, 0x80, 0x3F});
    TStreamBuilder hugeName;
    hugeName.Text("TPF0").Raw({0x01, 0x06, 0x04}).Text("1.20").Raw({0x0C, 0xFF, 0xFF, 0xFF, 0x7F});
    TBytes otherContainer = Stream("1.20", 22, true).Raw({0x00, 0x01, 0x00}).Container();
    otherContainer[0] = 'x';
    const TBadStream cases[] = {
        {"ends after the parameter section", Stream("1.20", 22, true).Raw({0x00}).Container(),
         "Stream read error"},
        {"32-bit float tag", floatTag.Container(), "Invalid property value"},
        {"bad signature", badSignature.Container(), "Invalid stream format"},
        {"length past the end", hugeName.Container(), "Stream read error"},
        {"container other than mmst", otherContainer,
         "Invalid chunk identifier (expected \"mmst\")"},
    };
    for (const TBadStream& c : cases)
    {
        I().Dialogs().Messages.clear();
        I().Plugin().SetParameterByName("Gate", 42);
        // Issue 16: the host hears that the state was refused.
        EXPECT_EQ(I().SetChunk(c.Container), 0) << c.Name;
        ASSERT_EQ(I().Dialogs().Messages.size(), 1u) << c.Name;
        EXPECT_EQ(I().Dialogs().Messages[0].Text, LoadMessage(c.Reason)) << c.Name;
        EXPECT_EQ(I().Dialogs().Messages[0].Caption, "Load Preset") << c.Name;
        EXPECT_EQ(I().Value("Gate"), 100.0f) << c.Name;
    }
}

TEST_F(StateChunkTest, IntegerTaggedValuesAreAccepted)
{
    TStreamBuilder b;
    b.Header("1.20").Raw({0x01, 0x01, 0x02, 0x05}); // Rate as an 8-bit integer
    for (int i = 1; i < 22; ++i)
        b.Float(i == 6 ? 150.0 : 0.0);
    b.Raw({0x00, 0x00, 0x01, 0x00});
    I().SetChunk(b.Container());
    EXPECT_TRUE(I().Dialogs().Messages.empty());
    EXPECT_EQ(I().Value("Rate"), 5.0f);
    EXPECT_EQ(I().Value("Gate"), 150.0f);
}

TEST_F(StateChunkTest, LoadErrorOfAHostChunkIsShownWithoutHoldingTheLock)
{
    // Processing must go on while the message is up: another thread can take the lock.
    bool lockFree = false;
    I().Dialogs().OnShow = [&]
    {
        std::thread other(
            [&]
            {
                std::recursive_mutex& lock = I().Plugin().InstanceLock();
                lockFree = lock.try_lock();
                if (lockFree)
                    lock.unlock();
            });
        other.join();
    };
    TBytes container = Stream("1.20", 23, true).Raw({0x00, 0x01, 0x00}).Container();
    I().SetChunk(container);
    ASSERT_EQ(I().Dialogs().Messages.size(), 1u);
    EXPECT_TRUE(lockFree);
    container[0] = 'x';
    I().SetChunk(container);
    ASSERT_EQ(I().Dialogs().Messages.size(), 2u);
    EXPECT_TRUE(lockFree);
}

TEST_F(StateChunkTest, HostChunkOfEightBytesOrFewerChangesNothing)
{
    I().Plugin().SetParameterByName("Gate", 42);
    for (std::size_t size : {0u, 1u, 8u})
    {
        TBytes bytes = {'m', 'm', 's', 't', 0, 0, 0, 0};
        bytes.resize(size);
        I().SetChunk(bytes);
        EXPECT_EQ(I().Value("Gate"), 42.0f) << size;
    }
    EXPECT_TRUE(I().Dialogs().Messages.empty());
}

TEST_F(StateChunkTest, PresetNameWithoutAFileIsEmptiedOnHostLoadButKeptFromAFile)
{
    TStreamBuilder named;
    named.Header("1.20", "Missing").Raw({0x01, 0x01});
    for (int i = 0; i < 22; ++i)
        named.Float(0.5);
    named.Raw({0x00, 0x00, 0x01, 0x00});
    I().SetChunk(named.Container());
    EXPECT_EQ(I().Plugin().PresetName(), "");

    TMemoryStreamChunk chunk;
    TBytes bytes = named.Container();
    TMemoryStream source(bytes.data(), bytes.size());
    chunk.ReadFromStream(source);
    EXPECT_TRUE(I().Plugin().LoadState(chunk, false, nullptr));
    EXPECT_EQ(I().Plugin().PresetName(), "Missing");
}

TEST_F(StateChunkTest, PresetNameThatIsAPathNeverNamesAFile)
{
    // A file exists where the path would lead, yet the name does not count as a preset.
    MakeFolders(Home.PresetsFolder());
    WriteFile(Home.SettingsFolder() + "Outside.brindlexp", {});
    for (const char* name : {"../Outside", ".", ".."})
    {
        TStreamBuilder b;
        b.Header("1.20", name).Raw({0x01, 0x01});
        for (int i = 0; i < 22; ++i)
            b.Float(0.0);
        b.Raw({0x00, 0x00, 0x01, 0x00});
        I().SetChunk(b.Container());
        EXPECT_EQ(I().Plugin().PresetName(), "") << name;
        EXPECT_FALSE(I().Plugin().PresetExists(name)) << name;
    }
}

TEST_F(StateChunkTest, BankChunkCarriesTheStateToo)
{
    I().Plugin().SetParameterByName("Gate", 77);
    void* data = nullptr;
    const std::intptr_t size = I().Host.Dispatch(effGetChunk, 0, 0, &data);
    ASSERT_EQ(size, 4 + 283);
    TBytes bank(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    TStateInstance other;
    other.Host.Dispatch(effSetChunk, 0, size, bank.data());
    EXPECT_EQ(other.Value("Gate"), 77.0f);
}

} // namespace
} // namespace tumblet::test
