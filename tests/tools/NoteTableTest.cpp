#include "NoteTable.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tumblet
{
namespace
{

TRecordedEvent Event(std::int64_t sample, int status, int data1, int data2)
{
    TRecordedEvent event;
    event.Sample = sample;
    event.Data[0] = static_cast<std::uint8_t>(status);
    event.Data[1] = static_cast<std::uint8_t>(data1);
    event.Data[2] = static_cast<std::uint8_t>(data2);
    return event;
}

TTimeGrid Grid()
{
    TTimeGrid grid; // 120 BPM at 44100 Hz: 22050 samples per beat
    grid.LengthBeats = 4.0;
    return grid;
}

TEST(NoteTableTest, PairsNotesInTimeOrderWhateverTheArrivalOrder)
{
    const auto table = TNoteTable::FromEvents({Event(11025, 0x90, 64, 80), Event(0, 0x90, 60, 100),
                                               Event(22050, 0x80, 60, 0), Event(22050, 0x90, 64, 0),
                                               Event(5, 0xB2, 1, 7)},
                                              88200, Grid());
    ASSERT_EQ(table.Notes().size(), 2u);
    EXPECT_EQ(table.Notes()[0].Pitch, 60);
    EXPECT_EQ(table.Notes()[0].EndSample, 22050);
    EXPECT_EQ(table.Notes()[1].Pitch, 64);
    EXPECT_EQ(table.Notes()[1].StartSample, 11025);
    EXPECT_EQ(table.Notes()[1].EndSample, 22050); // note-on with velocity 0 ends it
    ASSERT_EQ(table.OtherEvents().size(), 1u);
    EXPECT_EQ(table.OtherEvents()[0].Data[0], 0xB2);
}

TEST(NoteTableTest, RetriggerAtTheSameSampleEndsTheOldNoteFirst)
{
    const auto table = TNoteTable::FromEvents({Event(0, 0x90, 60, 100), Event(100, 0x80, 60, 0),
                                               Event(100, 0x90, 60, 90), Event(200, 0x80, 60, 0)},
                                              88200, Grid());
    ASSERT_EQ(table.Notes().size(), 2u);
    EXPECT_EQ(table.Notes()[0].EndSample, 100);
    EXPECT_EQ(table.Notes()[1].StartSample, 100);
    EXPECT_EQ(table.Notes()[1].EndSample, 200);
    EXPECT_TRUE(table.Notes()[1].Closed);
}

TEST(NoteTableTest, NotesStillSoundingEndAtTheRenderEndAndThoseStruckThereAreDropped)
{
    const auto table = TNoteTable::FromEvents(
        {Event(0, 0x90, 60, 100), Event(88200, 0x90, 62, 100), Event(90000, 0x80, 60, 0)}, 88200,
        Grid());
    ASSERT_EQ(table.Notes().size(), 1u);
    EXPECT_EQ(table.Notes()[0].EndSample, 88200);
    EXPECT_FALSE(table.Notes()[0].Closed);
}

TEST(NoteTableTest, PositionsCountBarsAndBeatsOfTheMetre)
{
    TTimeGrid grid = Grid();
    EXPECT_EQ(TNoteTable::FromEvents({}, 0, grid).Position(22050 * 5 + 5512), "2.2.240");
    grid.Numerator = 6;
    grid.Denominator = 8; // beats are eighths of 480 ticks, six to the bar
    const auto table = TNoteTable::FromEvents({}, 0, grid);
    EXPECT_EQ(table.Position(22050 * 3 + 11025 + 23), "2.2.001"); // 23 samples: one tick
    EXPECT_EQ(table.SampleToTicks(-50), 0);
}

TEST(NoteTableTest, PrintShowsOneRowPerNoteAndMarksOpenNotes)
{
    const auto table = TNoteTable::FromEvents(
        {Event(0, 0x91, 61, 90), Event(5512, 0x81, 61, 0), Event(22050, 0x90, 72, 100)}, 44100,
        Grid());
    std::ostringstream out;
    table.Print(out);
    EXPECT_NE(out.str().find("1.1.000      C#4     61   90    0.250   2"), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("1.2.000      C5      72  100    1.000*  1"), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("2 notes (* still sounding"), std::string::npos);
}

} // namespace
} // namespace tumblet
