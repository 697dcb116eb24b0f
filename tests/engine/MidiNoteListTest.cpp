#include "engine/BlxMidiNoteList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tumblet
{
namespace
{

// Minus sign U+2212 in UTF-8.
constexpr const char* kMinus = "\xE2\x88\x92";

class MidiNoteListTest : public ::testing::Test
{
protected:
    void SetUp() override { FList.SetOnChange(&Changed, this); }
    void TearDown() override { SetOctaveOffset(0); }

    static void Changed(void* context, TMidiNoteList& sender)
    {
        auto* self = static_cast<MidiNoteListTest*>(context);
        ++self->FChanges;
        self->FCountsSeen.push_back(sender.Count());
        if (sender.Count() > 0)
        {
            self->FLastVelocitySeen = sender.Items(sender.Count() - 1).Velocity;
        }
    }

    TMidiNoteList FList;
    int FChanges = 0;
    std::vector<int> FCountsSeen;
    int FLastVelocitySeen = -1;
};

TEST_F(MidiNoteListTest, DuplicatesFollowAllowDuplicates)
{
    EXPECT_TRUE(FList.AddNote(60));
    EXPECT_FALSE(FList.AddNote(0, 60, 90));
    EXPECT_EQ(FList.Count(), 1);

    FList.AllowDuplicates = true;
    FList.AddNote(1, 60, 90);
    ASSERT_EQ(FList.Count(), 2);
    EXPECT_TRUE(FList.RemoveNote(60));
    ASSERT_EQ(FList.Count(), 1);
    EXPECT_EQ(FList.Items(0).Channel, 1);
}

TEST_F(MidiNoteListTest, AddSoundingFillsEveryField)
{
    FList.AddSounding(48, 3, 5511.0, 1024.0, 99, 60);
    const TMidiNoteItem& item = FList.Items(0);
    EXPECT_EQ(item.SourceNote, 48);
    EXPECT_EQ(item.Channel, 3);
    EXPECT_EQ(item.Length, 5511.0);
    EXPECT_EQ(item.Start, 1024.0);
    EXPECT_EQ(item.Velocity, 99);
    EXPECT_EQ(item.Note, 60);
    EXPECT_FALSE(FList.AddSounding(50, 0, 1.0, 2.0, 3, 60));
}

TEST_F(MidiNoteListTest, RemovingAMissingNoteChangesNothing)
{
    FList.AddNote(60);
    FChanges = 0;
    EXPECT_FALSE(FList.RemoveNote(61));
    EXPECT_EQ(FChanges, 0);
    EXPECT_EQ(FList.IndexOfNote(61), -1);
    EXPECT_EQ(FList.IndexOfNote(60), 0);
}

TEST_F(MidiNoteListTest, EveryChangeNotifiesOutsideABracket)
{
    FList.AddNote(0, 60, 80);
    FList.AddNote(0, 64, 81);
    EXPECT_EQ(FLastVelocitySeen, 81) << "an add notifies with the new note already complete";
    FList.Delete(0);
    EXPECT_EQ(FChanges, 3);
    EXPECT_EQ(FCountsSeen, (std::vector<int>{1, 2, 1}));
}

TEST_F(MidiNoteListTest, BracketNotifiesOnceWhenClosed)
{
    FList.BeginUpdate();
    FList.BeginUpdate();
    FList.AddNote(5, 60, 90);
    FList.EndUpdate();
    EXPECT_EQ(FChanges, 0);
    FList.EndUpdate();
    EXPECT_EQ(FChanges, 1);
    EXPECT_EQ(FLastVelocitySeen, 90);

    FList.BeginUpdate();
    FList.EndUpdate();
    EXPECT_EQ(FChanges, 2) << "an empty bracket still notifies";
    FList.EndUpdate();
    EXPECT_EQ(FChanges, 2) << "an unmatched EndUpdate is ignored";
}

TEST_F(MidiNoteListTest, ClearNotifiesOnceAndOnlyWhenNotEmpty)
{
    FList.Clear();
    EXPECT_EQ(FChanges, 0);
    FList.BeginUpdate();
    FList.AddNote(60);
    FList.AddNote(64);
    FList.AddNote(67);
    FList.EndUpdate();
    FChanges = 0;
    FCountsSeen.clear();
    FList.Clear();
    EXPECT_EQ(FChanges, 1);
    EXPECT_EQ(FCountsSeen, (std::vector<int>{0}));
}

TEST_F(MidiNoteListTest, AddsBeyondCapacityAreIgnored)
{
    TMidiNoteList list(2);
    list.AllowDuplicates = true;
    EXPECT_TRUE(list.AddNote(60));
    EXPECT_TRUE(list.AddNote(60));
    EXPECT_FALSE(list.AddNote(60));
    EXPECT_EQ(list.Count(), 2);
}

TEST_F(MidiNoteListTest, NotesTextNamesNotesWithOctaveOffset)
{
    EXPECT_EQ(FList.NotesText(), "");
    FList.AddNote(60);
    FList.AddNote(64);
    FList.AddNote(67);
    SetOctaveOffset(-2);
    EXPECT_EQ(FList.NotesText(), "C3 - E3 - G3");
    SetOctaveOffset(0);
    EXPECT_EQ(FList.NotesText(), "C5 - E5 - G5");
}

TEST_F(MidiNoteListTest, NegativeOctaveUsesMinusSign)
{
    SetOctaveOffset(-1);
    EXPECT_EQ(NoteName(0), std::string("C") + kMinus + "1");
    EXPECT_EQ(NoteName(61), "C#4");
    EXPECT_EQ(NoteName(127), "G9");
}

TEST_F(MidiNoteListTest, BufferedNotesTextCutsAtWholeNames)
{
    FList.AddNote(60);
    FList.AddNote(61);
    FList.AddNote(62);
    char buffer[64];
    EXPECT_EQ(FList.NotesText(buffer, sizeof(buffer)), FList.NotesText().size());
    EXPECT_EQ(std::string(buffer), "C5 - C#5 - D5");
    char small[12];
    FList.NotesText(small, sizeof(small));
    EXPECT_EQ(std::string(small), "C5 - C#5");
    EXPECT_EQ(FList.NotesText(small, 0), 0u);
}

} // namespace
} // namespace tumblet
