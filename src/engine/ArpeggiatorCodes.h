#pragma once

#include <cstdint>

namespace tumblet
{

/// The engine codes the value lists hand to the engine.

enum TNoteOrderCode : std::uint8_t
{
    kNoteOrderUp = 0,
    kNoteOrderDown = 1,
    kNoteOrderUpDown = 2,
    kNoteOrderUpDown2 = 3,
    kNoteOrderUpDownOct = 4,
    kNoteOrderConvergeUp = 5,    ///< "Up-><-Down"
    kNoteOrderConvergeUpOct = 6, ///< "Up-><-Down Oct"
    kNoteOrderDownUp = 7,
    kNoteOrderDownUp2 = 8,
    kNoteOrderDownUpOct = 9,
    kNoteOrderConvergeDown = 10,    ///< "Down-><-Up"
    kNoteOrderConvergeDownOct = 11, ///< "Down-><-Up Oct"
    kNoteOrderRandom = 12,
    kNoteOrderRandomOct = 13,
    kNoteOrderAsPlayed = 14,
    kNoteOrderXross = 15,
    kNoteOrderRandomOnce = 16,
    kNoteOrderRandomOctOnce = 17,
};

enum TOctaveOrderCode : std::uint8_t
{
    kOctaveOrderUp = 0,
    kOctaveOrderDown = 1,
    kOctaveOrderUpDown = 2,
    kOctaveOrderUpDown2 = 3,
    kOctaveOrderDownUp = 4,
    kOctaveOrderDownUp2 = 5,
    kOctaveOrderRandom = 6,
    kOctaveOrderRandomOnce = 7,
};

enum TVelocityModeCode : std::uint8_t
{
    kVelocityAsPlayed = 0,
    kVelocityFirst = 1,
    kVelocityLast = 2,
    kVelocityHighest = 3,
    kVelocityLowest = 4,
    kVelocityAverage = 5,
    kVelocityFixed = 6,
};

enum TNoteTypeCode : std::uint8_t
{
    kNoteTypeTriplet = 0,
    kNoteTypeNormal = 1,
    kNoteTypeDotted = 2,
};

/// Indices into the step-length table that the engine uses as fixed lengths.
enum TStepTableIndex : int
{
    kStepSixtyFourthBeat = 0,
    kStepThirtySecondBeat = 1,
    kStepSixteenthBeat = 2,
    kStepOneBeat = 6,
    kStepTwoBeats = 7,
    kStepOneBar = 8, ///< "1/1": from here up, table entries are bars of the current metre
};

} // namespace tumblet
