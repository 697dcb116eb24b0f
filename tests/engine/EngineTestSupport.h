#pragma once

#include "engine/Arpeggiator.h"
#include "engine/Random.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

namespace tumblet::test
{

/// Records the range of every Random draw while it lives (one recorder at a time).
class TRandomRecorder
{
public:
    TRandomRecorder()
    {
        Ranges().clear();
        SetRandomObserver(&Record);
    }
    ~TRandomRecorder() { SetRandomObserver(nullptr); }
    TRandomRecorder(const TRandomRecorder&) = delete;
    TRandomRecorder& operator=(const TRandomRecorder&) = delete;

    const std::vector<std::uint32_t>& Draws() const { return Ranges(); }
    void Clear() { Ranges().clear(); }

private:
    static std::vector<std::uint32_t>& Ranges()
    {
        static std::vector<std::uint32_t> ranges;
        return ranges;
    }
    static void Record(std::uint32_t n, std::uint32_t) { Ranges().push_back(n); }
};

/// The host side of a test: writes a block's timing into the engine and asks for its step, the
/// way the module does while the transport runs.
class TBlockPlayer
{
public:
    explicit TBlockPlayer(TArpeggiator& engine, std::int32_t blockSize = 512)
        : FEngine(engine), FBlockSize(blockSize)
    {
    }

    /// Plays the block starting at samplePos; returns whether it produced a note.
    bool PlayAt(double samplePos)
    {
        FEngine.SetSamplePos(samplePos);
        FEngine.SetPpq(FEngine.SamplesToBeats(samplePos));
        return FEngine.GenerateStep(FBlockSize);
    }

    /// Plays blocks from the current position until one produces a note (at most maxBlocks);
    /// returns the start of that block in samples, or -1.
    double PlayUntilNote(int maxBlocks = 1000)
    {
        for (int i = 0; i < maxBlocks; ++i)
        {
            const double start = FPosition;
            FPosition += FBlockSize;
            if (PlayAt(start))
            {
                return start;
            }
        }
        return -1.0;
    }

    double Position() const { return FPosition; }
    void SetPosition(double samples) { FPosition = samples; }
    std::int32_t BlockSize() const { return FBlockSize; }

private:
    TArpeggiator& FEngine;
    std::int32_t FBlockSize;
    double FPosition = 0.0;
};

/// Holds the notes (channel 0, velocity 100 unless given) as one chord.
/// The engine code of a value as users name it in a standard value list, or a number itself
/// (for codes no list holds).
template <class TList> std::uint8_t EngineCode(const std::string& name)
{
    if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0])))
        return static_cast<std::uint8_t>(std::stoi(name));
    return TList(true).Items(name).EngineCode();
}

inline void HoldChord(TArpeggiator& engine, const std::vector<std::int32_t>& notes,
                      std::int32_t velocity = 100)
{
    engine.HeldNotes().BeginUpdate();
    for (std::int32_t note : notes)
    {
        engine.HeldNotes().AddNote(0, note, velocity);
    }
    engine.HeldNotes().EndUpdate();
}

inline std::vector<std::int32_t> SequenceValues(const TArpeggiator& engine)
{
    std::vector<std::int32_t> values;
    for (int i = 0; i < engine.Sequence().Count(); ++i)
    {
        values.push_back(engine.Sequence().Items(i));
    }
    return values;
}

inline std::vector<std::int32_t> SequenceCounters(const TArpeggiator& engine)
{
    std::vector<std::int32_t> counters;
    for (int i = 0; i < engine.Sequence().Count(); ++i)
    {
        counters.push_back(engine.Sequence().Counter(i));
    }
    return counters;
}

} // namespace tumblet::test
