#include "NoteNames.h"
#include "RenderError.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

struct TNoteCase
{
    const char* Text;
    int Pitch;
    int Velocity;
};

class NoteNamesParseTest : public ::testing::TestWithParam<TNoteCase>
{
};

TEST_P(NoteNamesParseTest, ReadsNameNumberAndVelocity)
{
    const TChordNote note = ParseChordNote(GetParam().Text);
    EXPECT_EQ(note.Pitch, GetParam().Pitch);
    EXPECT_EQ(note.Velocity, GetParam().Velocity);
}

INSTANTIATE_TEST_SUITE_P(Notes, NoteNamesParseTest,
                         ::testing::Values(TNoteCase{"C4", 60, 100}, TNoteCase{"c4", 60, 100},
                                           TNoteCase{"C#4", 61, 100}, TNoteCase{"Db4", 61, 100},
                                           TNoteCase{"Bb3", 58, 100}, TNoteCase{"B#3", 60, 100},
                                           TNoteCase{"C-1", 0, 100}, TNoteCase{"G9", 127, 100},
                                           TNoteCase{"A4:90", 69, 90}, TNoteCase{"60", 60, 100},
                                           TNoteCase{"0:1", 0, 1}, TNoteCase{"127:127", 127, 127}));

class NoteNamesRejectTest : public ::testing::TestWithParam<const char*>
{
};

TEST_P(NoteNamesRejectTest, MalformedNoteIsAUsageError)
{
    try
    {
        ParseChordNote(GetParam());
        FAIL() << GetParam() << " was accepted";
    }
    catch (const TRenderError& error)
    {
        EXPECT_EQ(error.ExitStatus(), 2);
        EXPECT_NE(std::string(error.what()).find(GetParam()), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Bad, NoteNamesRejectTest,
                         ::testing::Values("H4", "C", "C4x", "G#9", "Cb-1", "128", "-1", "C4:0",
                                           "C4:128", "C4:", "C4:loud", "C+4", "", "4C"));

TEST(NoteNamesTest, ChordSplitsOnSpacesAndCommas)
{
    const auto chord = ParseChord(" C4, E4:80  G4 ");
    ASSERT_EQ(chord.size(), 3u);
    EXPECT_EQ(chord[1].Pitch, 64);
    EXPECT_EQ(chord[1].Velocity, 80);
    EXPECT_THROW(ParseChord(" , "), TRenderError);
}

TEST(NoteNamesTest, NamesRoundTripOverTheMidiRange)
{
    for (int pitch = 0; pitch <= 127; ++pitch)
        EXPECT_EQ(ParseChordNote(PitchName(pitch)).Pitch, pitch) << PitchName(pitch);
    EXPECT_EQ(PitchName(60), "C4");
    EXPECT_EQ(PitchName(61), "C#4");
    EXPECT_EQ(PitchName(0), "C-1");
}

} // namespace
} // namespace tumblet
