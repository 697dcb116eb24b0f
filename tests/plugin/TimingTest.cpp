// Issue 16: sample-exact output whatever blocks the host processes in. A small host transport
// (a tempo map and keys at absolute sample positions) is played through the binary interface
// at several block sizes; every flush is checked against the output rules and the onsets are
// compared across the runs.

#include "PluginTestSupport.h"

#include "engine/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <utility>

namespace tumblet::test
{
namespace
{

constexpr double kRate = 44100.0;
constexpr double kSecondsPerMinute = 60.0;

/// Samples in one step of 1/`division` notes at a tempo in beats (quarter notes) per minute.
constexpr double StepSamples(double tempo, double division)
{
    return kRate * kSecondsPerMinute / tempo * 4.0 / division;
}
/// A 4/4 bar at 120 BPM, in samples.
constexpr std::int64_t kBar = static_cast<std::int64_t>(StepSamples(120.0, 1.0));

struct TKey
{
    std::int64_t Position; ///< samples from the song start
    TInEvent Event;
};

struct TScript
{
    double Tempo = 120.0;
    std::int64_t TempoChangeAt = -1; ///< samples; the host starts a block there
    double NewTempo = 120.0;
    std::int64_t Length = 0; ///< samples
    bool Playing = true;
    double PpqSteps = 0.0; ///< per beat; a host that reports whole steps only, rounded down
    double PpqTicks = 0.0; ///< per beat; a host that rounds to the nearest tick (Ardour: 1920)
    double SampleRate = kRate;
    std::int64_t JumpAt = -1; ///< samples; the host starts a block there at JumpTo
    double JumpTo = 0.0;      ///< beats
    double StartBeat = 0.0;   ///< song position of the first block
    double LoopEnd = 0.0;     ///< beats; a host loop when above 0
    double LoopStart = 0.0;   ///< beats
    bool InProcess = false;   ///< the module linked in, so that the test seeds its random draws
    std::vector<TKey> Keys;
    std::function<void(TTestHost&)> Setup;
};

struct TNote
{
    std::int64_t Position;
    int Status;
    int Pitch;
};

struct TRun
{
    std::vector<TNote> Notes;
    std::string Broken; ///< the first output rule broken, if any
};

double PpqAt(const TScript& script, std::int64_t position)
{
    const double rate = script.SampleRate;
    if (script.TempoChangeAt < 0 || position <= script.TempoChangeAt)
        return position / rate * script.Tempo / 60.0;
    return PpqAt(script, script.TempoChangeAt) +
           (position - script.TempoChangeAt) / rate * script.NewTempo / 60.0;
}

/// The host's sample position and song position of a block that starts at `position`.
std::pair<double, double> SongAt(const TScript& script, std::int64_t position)
{
    const double samplesPerBeat = script.SampleRate * 60.0 / script.Tempo;
    if (script.JumpAt >= 0 && position >= script.JumpAt)
        return {script.JumpTo * samplesPerBeat + static_cast<double>(position - script.JumpAt),
                script.JumpTo + PpqAt(script, position) - PpqAt(script, script.JumpAt)};
    return {script.StartBeat * samplesPerBeat + static_cast<double>(position),
            script.StartBeat + PpqAt(script, position)};
}

// What a host may rely on in one flush of a block of the given length.
std::string CheckFlush(const std::vector<TOutEvent>& events, std::int32_t frames,
                       std::bitset<16 * 128>& keysOn)
{
    std::int32_t previous = 0;
    for (const TOutEvent& e : events)
    {
        if (e.DeltaFrames < 0 || e.DeltaFrames >= frames)
            return "offset " + std::to_string(e.DeltaFrames) + " outside a block of " +
                   std::to_string(frames);
        if (e.DeltaFrames < previous)
            return "offset " + std::to_string(e.DeltaFrames) + " after " + std::to_string(previous);
        previous = e.DeltaFrames;
        const int kind = e.Status() & 0xF0;
        if (kind != 0x80 && kind != 0x90)
            continue;
        const std::size_t key = (e.Status() & 0x0F) * 128u + (e.Data[1] & 0x7F);
        if (keysOn.test(key) == (kind == 0x90))
            return std::string(kind == 0x90 ? "second note-on" : "note-off without note-on") +
                   " for pitch " + std::to_string(e.Data[1]);
        keysOn.set(key, kind == 0x90);
    }
    return {};
}

TRun Render(const TScript& script, const std::function<std::int32_t()>& nextBlock)
{
    TTestHost host;
    host.SampleRateAnswer = static_cast<std::intptr_t>(script.SampleRate);
    TRun run;
    if ((script.InProcess ? host.LoadAndOpenWith(&InProcessEntry) : host.LoadAndOpen()) == nullptr)
    {
        run.Broken = "no instance";
        return run;
    }
    SetRandSeed(7);
    if (script.Setup)
        script.Setup(host);
    host.SetPlaying(script.Tempo, script.SampleRate);
    if (!script.Playing)
        host.SetStopped();
    if (script.LoopEnd > 0.0)
    {
        host.TimeInfo.flags |= kVstCyclePosValid | kVstTransportCycleActive;
        host.TimeInfo.cycleStartPos = script.LoopStart;
        host.TimeInfo.cycleEndPos = script.LoopEnd;
    }
    std::bitset<16 * 128> keysOn;
    std::size_t nextKey = 0;
    for (std::int64_t position = 0; position < script.Length;)
    {
        std::int64_t frames = std::min<std::int64_t>(nextBlock(), script.Length - position);
        for (const std::int64_t cut : {script.TempoChangeAt, script.JumpAt})
            if (position < cut && position + frames > cut)
                frames = cut - position;
        std::vector<TInEvent> keys;
        for (; nextKey < script.Keys.size() && script.Keys[nextKey].Position < position + frames;
             ++nextKey)
        {
            TInEvent event = script.Keys[nextKey].Event;
            event.DeltaFrames = static_cast<std::int32_t>(script.Keys[nextKey].Position - position);
            keys.push_back(event);
        }
        if (!keys.empty())
            host.SendEvents(keys);
        const bool changed = script.TempoChangeAt >= 0 && position >= script.TempoChangeAt;
        host.TimeInfo.tempo = changed ? script.NewTempo : script.Tempo;
        std::tie(host.TimeInfo.samplePos, host.TimeInfo.ppqPos) = SongAt(script, position);
        if (script.PpqSteps > 0.0)
            host.TimeInfo.ppqPos =
                std::floor(host.TimeInfo.ppqPos * script.PpqSteps) / script.PpqSteps;
        if (script.PpqTicks > 0.0)
            host.TimeInfo.ppqPos =
                std::round(host.TimeInfo.ppqPos * script.PpqTicks) / script.PpqTicks;
        const std::size_t flushes = host.Flushes.size();
        host.Process(static_cast<std::int32_t>(frames));
        for (std::size_t f = flushes; f < host.Flushes.size() && run.Broken.empty(); ++f)
            run.Broken = CheckFlush(host.Flushes[f], static_cast<std::int32_t>(frames), keysOn);
        position += frames;
    }
    for (const auto& e : host.Timeline)
    {
        const int kind = e.Event.Status() & 0xF0;
        if (kind == 0x80 || kind == 0x90)
            run.Notes.push_back({e.Position, kind, e.Event.Data[1]});
    }
    return run;
}

std::function<std::int32_t()> Fixed(std::int32_t frames)
{
    return [frames] { return frames; };
}

std::vector<std::int64_t> OnsetsOf(const TRun& run)
{
    std::vector<std::int64_t> onsets;
    for (const TNote& n : run.Notes)
        if (n.Status == 0x90)
            onsets.push_back(n.Position);
    return onsets;
}

std::vector<TKey> Chord(std::int64_t position, std::initializer_list<std::uint8_t> notes,
                        bool on = true)
{
    std::vector<TKey> keys;
    for (std::uint8_t note : notes)
        keys.push_back({position, on ? NoteOn(note) : NoteOff(note)});
    return keys;
}

void Append(std::vector<TKey>& keys, const std::vector<TKey>& more)
{
    keys.insert(keys.end(), more.begin(), more.end());
}

// A few bars of changing chords with a tempo change, shift, swing and random amounts.
TScript BusyScript()
{
    TScript script;
    script.Length = 6 * kBar;
    script.TempoChangeAt = 3 * kBar + 1234;
    script.NewTempo = 137.0;
    Append(script.Keys, Chord(700, {60, 64, 67}));
    Append(script.Keys, Chord(61000, {60, 64, 67}, false));
    Append(script.Keys, Chord(61000, {62, 65, 69, 72}));
    Append(script.Keys, Chord(150001, {65}, false));
    Append(script.Keys, Chord(200333, {62, 69, 72}, false));
    Append(script.Keys, Chord(230000, {59, 67}));
    Append(script.Keys, Chord(400000, {59, 67}, false));
    Append(script.Keys, Chord(420517, {57, 60, 64}));
    script.Setup = [](TTestHost& host)
    {
        SetReal(host, 0, 2.0f, 0.0f, 10.0f);      // Rate 1/32
        SetReal(host, 10, -10.0f, -50.0f, 50.0f); // Shift
        SetReal(host, 11, 40.0f, 0.0f, 100.0f);   // Swing
        SetReal(host, 15, 80.0f, 0.0f, 200.0f);   // Gate Random
        SetReal(host, 16, 50.0f, 0.0f, 200.0f);   // Velocity Random
        SetReal(host, 17, 30.0f, 0.0f, 100.0f);   // Shift Random
        SetReal(host, 18, 30.0f, 0.0f, 100.0f);   // Swing Random
        SetReal(host, 9, 80.0f, 0.0f, 100.0f);    // Note Probability
    };
    return script;
}

// The same notes as the reference run, each to within a sample.
void ExpectSameNotes(const TRun& run, const TRun& exact)
{
    EXPECT_EQ(run.Broken, "");
    EXPECT_EQ(exact.Broken, "");
    ASSERT_EQ(run.Notes.size(), exact.Notes.size());
    for (std::size_t i = 0; i < run.Notes.size(); ++i)
    {
        ASSERT_EQ(run.Notes[i].Status, exact.Notes[i].Status) << i;
        ASSERT_EQ(run.Notes[i].Pitch, exact.Notes[i].Pitch) << i;
        ASSERT_NEAR(run.Notes[i].Position, exact.Notes[i].Position, 1) << i;
    }
}

TEST(TimingTest, BlockSizesFrom1To8192GiveTheSameNotes)
{
    TScript script = BusyScript();
    script.InProcess = true;
    const TRun reference = Render(script, Fixed(512));
    ASSERT_EQ(reference.Broken, "");
    ASSERT_GT(OnsetsOf(reference).size(), 120u);
    std::mt19937 mix(16);
    std::uniform_int_distribution<std::int32_t> size(1, 8192);
    const std::vector<std::pair<std::string, std::function<std::int32_t()>>> runs = {
        {"1", Fixed(1)},
        {"7", Fixed(7)},
        {"64", Fixed(64)},
        {"1000", Fixed(1000)},
        {"4096", Fixed(4096)},
        {"8192", Fixed(8192)},
        {"mix", [&] { return size(mix); }}};
    for (const auto& [name, blocks] : runs)
    {
        SCOPED_TRACE("blocks of " + name);
        ExpectSameNotes(Render(script, blocks), reference);
    }
}

// At this tempo every sixteenth (10 blocks of 512 samples) falls exactly on a block end; with one
// held pitch each note's end meets the next note's start, and a host that rounds its song position
// down used to get the note-off after the next note-on.
TEST(TimingTest, StepsOnBlockEndsAndARepeatedPitchStayInsideTheirBlocksInOrder)
{
    constexpr double kTempo = 129.19921875;
    constexpr double kSixteenth = StepSamples(kTempo, 16.0);
    static_assert(kSixteenth == 10 * 512);
    for (const double ppqSteps : {0.0, 1920.0})
    {
        SCOPED_TRACE(ppqSteps);
        TScript script;
        script.Tempo = kTempo;
        script.PpqSteps = ppqSteps;
        script.Length = 80 * 512;
        script.Keys = Chord(0, {60});
        script.Setup = [](TTestHost& host) { SetReal(host, 3, 1.0f, 1.0f, 5.0f); }; // one octave
        const TRun run = Render(script, Fixed(512));
        EXPECT_EQ(run.Broken, "");
        const auto onsets = OnsetsOf(run);
        ASSERT_EQ(onsets.size(), 8u);
        for (std::size_t i = 0; i < onsets.size(); ++i)
            EXPECT_NEAR(static_cast<double>(onsets[i]), i * kSixteenth, ppqSteps > 0 ? 11.0 : 0.0);
        // Each note lasts about its step: none is cut short by its predecessor's note-off.
        for (std::size_t i = 0; i + 1 < run.Notes.size(); i += 2)
            EXPECT_NEAR(static_cast<double>(run.Notes[i + 1].Position - run.Notes[i].Position),
                        kSixteenth - 1, ppqSteps > 0 ? 11.0 : 0.0)
                << i;
    }
}

TEST(TimingTest, BlocksLongerThanAStepPlayEveryStep)
{
    TScript script;
    script.Length = kBar;
    script.Keys = Chord(0, {60, 64, 67});
    script.Setup = [](TTestHost& host) { SetReal(host, 0, 1.0f, 0.0f, 10.0f); }; // Rate 1/64
    const TRun run = Render(script, Fixed(2048));
    EXPECT_EQ(run.Broken, "");
    const auto onsets = OnsetsOf(run);
    ASSERT_EQ(onsets.size(), 64u);
    for (std::size_t i = 0; i < onsets.size(); ++i)
        EXPECT_NEAR(static_cast<double>(onsets[i]), i * StepSamples(120.0, 64.0), 1.0) << i;
}

// A song that starts at a host loop's end plays on past it: a looping host only jumps back
// when it reaches the end from inside the loop.
TEST(TimingTest, StartAtTheLoopEndPlaysOn)
{
    TScript script;
    script.StartBeat = 4.0;
    script.LoopEnd = 4.0;
    script.Length = 16 * 22050;
    script.Keys = Chord(0, {60, 64, 67});
    script.Setup = [](TTestHost& host) { SetReal(host, 0, 5.0f, 0.0f, 10.0f); }; // Rate 1/4
    const TRun run = Render(script, Fixed(512));
    EXPECT_EQ(run.Broken, "");
    EXPECT_EQ(OnsetsOf(run).size(), 16u);
}

// A host that rounds its song position to ticks, as Ardour does, against one that reports it
// exactly, with the same keys: chords changed on every beat and released on the grid.
struct TGridCase
{
    double SampleRate;
    double Tempo;
};

class RoundedPositionTest : public ::testing::TestWithParam<TGridCase>
{
};

constexpr std::uint8_t kChords[4][3] = {{60, 64, 67}, {62, 65, 69}, {64, 67, 71}, {65, 69, 72}};
constexpr int kGridBars = 64;

// Bar 0: C4 held and released on the next bar. Then every beat changes the chord; every fourth
// bar ends with the chord released on its last beat and a beat of silence.
TScript ChordsOnTheGrid(const TGridCase& c, double ticks)
{
    TScript script;
    script.SampleRate = c.SampleRate;
    script.Tempo = c.Tempo;
    script.PpqTicks = ticks;
    const double beat = c.SampleRate * 60.0 / c.Tempo;
    const auto at = [beat](int b) { return static_cast<std::int64_t>(std::llround(b * beat)); };
    script.Length = at(4 * kGridBars);
    Append(script.Keys, Chord(0, {60}));
    Append(script.Keys, Chord(at(4), {60}, false));
    const std::uint8_t* held = nullptr;
    for (int b = 4; b < 4 * kGridBars; ++b)
    {
        if (held != nullptr)
            Append(script.Keys, Chord(at(b), {held[0], held[1], held[2]}, false));
        held = nullptr;
        if (b % 16 == 15)
            continue;
        held = kChords[b % 4];
        Append(script.Keys, Chord(at(b), {held[0], held[1], held[2]}));
    }
    script.Setup = [](TTestHost& host) { SetReal(host, 0, 3.0f, 0.0f, 10.0f); }; // Rate 1/16
    return script;
}

TEST_P(RoundedPositionTest, PlaysTheNotesOfAnExactHost)
{
    const TGridCase& c = GetParam();
    const TRun exact = Render(ChordsOnTheGrid(c, 0.0), Fixed(1024));
    const TRun rounded = Render(ChordsOnTheGrid(c, 1920.0), Fixed(1024));
    ExpectSameNotes(rounded, exact);
    // The held C4: sixteen steps in its bar, none on its release.
    const auto onsets = OnsetsOf(rounded);
    const double bar = 4.0 * c.SampleRate * 60.0 / c.Tempo;
    EXPECT_EQ(std::count_if(onsets.begin(), onsets.end(),
                            [bar](std::int64_t p) { return p < std::llround(bar); }),
              16);
    // Every step on a beat plays the chord pressed there.
    const double beat = bar / 4.0;
    for (const TNote& n : rounded.Notes)
    {
        const auto b = static_cast<int>(std::llround(static_cast<double>(n.Position) / beat));
        if (n.Status != 0x90 || b < 4 || std::llabs(n.Position - std::llround(b * beat)) > 1)
            continue;
        ASSERT_NE(b % 16, 15) << "a note after a release, at " << n.Position;
        const std::uint8_t* chord = kChords[b % 4];
        EXPECT_TRUE(n.Pitch == chord[0] || n.Pitch == chord[1] || n.Pitch == chord[2])
            << "beat " << b << " plays " << n.Pitch;
    }
}

INSTANTIATE_TEST_SUITE_P(Hosts, RoundedPositionTest,
                         ::testing::Values(TGridCase{44100.0, 90.0}, TGridCase{44100.0, 120.0},
                                           TGridCase{44100.0, 133.0}, TGridCase{44100.0, 174.0},
                                           TGridCase{48000.0, 90.0}, TGridCase{48000.0, 120.0},
                                           TGridCase{48000.0, 133.0}, TGridCase{48000.0, 174.0},
                                           TGridCase{96000.0, 90.0}, TGridCase{96000.0, 120.0},
                                           TGridCase{96000.0, 133.0}, TGridCase{96000.0, 174.0}),
                         [](const auto& info)
                         {
                             return std::to_string(static_cast<int>(info.param.SampleRate)) + "Hz" +
                                    std::to_string(static_cast<int>(info.param.Tempo)) + "Bpm";
                         });

// A relocation, a loop wrap and a tempo change, each where the host starts a block: the next
// step lies on the new grid at once, as with a host that reports exact positions.
TEST(RoundedPositionResyncTest, RelocationLoopWrapAndTempoChangeFindTheNewGridAtOnce)
{
    struct TCase
    {
        const char* Name;
        std::int64_t JumpAt;
        double JumpTo;
        std::int64_t TempoChangeAt;
        bool Loop;
    };
    const TCase cases[] = {{"relocation", 40 * 1024, 9.37, -1, false},
                           {"loop wrap", 40 * 1024, 1.0, -1, true},
                           {"tempo change", -1, 0.0, 40 * 1024, false}};
    for (const TCase& k : cases)
    {
        SCOPED_TRACE(k.Name);
        const auto script = [&k](double ticks)
        {
            TScript s = ChordsOnTheGrid({48000.0, 120.0}, ticks);
            s.Length = 80 * 1024;
            s.JumpAt = k.JumpAt;
            s.JumpTo = k.JumpTo;
            s.TempoChangeAt = k.TempoChangeAt;
            s.NewTempo = 133.0;
            if (k.Loop)
            {
                s.LoopEnd = 40 * 1024 / 24000.0;
                s.LoopStart = k.JumpTo;
            }
            return s;
        };
        const TRun exact = Render(script(0.0), Fixed(1024));
        const TRun rounded = Render(script(1920.0), Fixed(1024));
        ExpectSameNotes(rounded, exact);
        EXPECT_GE(OnsetsOf(exact).size(), 10u);
    }
}

struct TFirstNoteCase
{
    const char* Name;
    bool Playing;
    std::int64_t Key;   ///< samples
    std::int32_t Block; ///< samples
    std::int64_t First; ///< first onset, samples
    double Second;      ///< second onset, samples
};

class FirstNoteTest : public ::testing::TestWithParam<TFirstNoteCase>
{
};

// A key shortly after a grid point plays at once, at the key; a later one waits for the next
// grid point; with the transport stopped the own clock starts at the key.
TEST_P(FirstNoteTest, FirstNoteIsNeverBeforeItsKey)
{
    const TFirstNoteCase& c = GetParam();
    TScript script;
    script.Playing = c.Playing;
    script.Length = 30000;
    script.Keys = Chord(c.Key, {60, 64});
    const TRun run = Render(script, Fixed(c.Block));
    EXPECT_EQ(run.Broken, "");
    const auto onsets = OnsetsOf(run);
    ASSERT_GE(onsets.size(), 2u);
    EXPECT_EQ(onsets[0], c.First);
    EXPECT_NEAR(static_cast<double>(onsets[1]), c.Second, 1.0);
}

// A sixteenth is 5512.5 samples; the catch window is 512 samples at 44100 Hz.
const TFirstNoteCase kFirstNoteCases[] = {
    {"CaughtIn1024Blocks", true, 5512 + 450, 1024, 5512 + 450, 11025.0},
    {"CaughtIn64Blocks", true, 5512 + 450, 64, 5512 + 450, 11025.0},
    {"LateKeyWaitsIn1024Blocks", true, 5512 + 600, 1024, 11025, 16537.5},
    {"LateKeyWaitsIn64Blocks", true, 5512 + 600, 64, 11025, 16537.5},
    {"StoppedClockStartsAtTheKey", false, 3 * 1024 + 450, 1024, 3 * 1024 + 450,
     3 * 1024 + 450 + 5512.5},
};

INSTANTIATE_TEST_SUITE_P(Keys, FirstNoteTest, ::testing::ValuesIn(kFirstNoteCases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace tumblet::test
