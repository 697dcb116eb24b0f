#include "engine/Arpeggiator.h"
#include "engine/Random.h"

#include <benchmark/benchmark.h>

namespace tumblet
{
namespace
{

constexpr std::int32_t kBlockSize = 512;

void HoldNotes(TArpeggiator& engine, int count)
{
    engine.HeldNotes().BeginUpdate();
    for (int i = 0; i < count; ++i)
    {
        engine.HeldNotes().AddNote(i % 16, 36 + (i * 5) % 48, 64 + i % 60);
    }
    engine.HeldNotes().EndUpdate();
}

// One processing block: timing written, one GenerateStep, as the module does per block.
// Arguments: held notes, rate index.
void BM_GenerateStepPerBlock(benchmark::State& state)
{
    SetRandSeed(1);
    TArpeggiator engine;
    engine.SetRate(static_cast<std::uint8_t>(state.range(1)));
    engine.SetVelocityRandom(40);
    engine.SetGateRandom(40);
    engine.SetShiftRandom(20);
    engine.SetSwing(20);
    engine.SetSwingRandom(20);
    engine.SetNoteProbability(90);
    HoldNotes(engine, static_cast<int>(state.range(0)));
    double samplePos = 0.0;
    for (auto _ : state)
    {
        engine.SetSamplePos(samplePos);
        engine.SetPpq(engine.SamplesToBeats(samplePos));
        benchmark::DoNotOptimize(engine.GenerateStep(kBlockSize));
        samplePos += kBlockSize;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GenerateStepPerBlock)->Args({3, 4})->Args({16, 2})->Args({16, 0});

// The wrap of a "Random" order rebuilds inside GenerateStep: the worst block.
void BM_GenerateStepRandomRebuild(benchmark::State& state)
{
    SetRandSeed(1);
    TArpeggiator engine;
    engine.SetRate(0);
    engine.SetOctaves(5);
    engine.SetNoteOrder(12);
    HoldNotes(engine, 16);
    double samplePos = 0.0;
    for (auto _ : state)
    {
        engine.SetSamplePos(samplePos);
        engine.SetPpq(engine.SamplesToBeats(samplePos));
        benchmark::DoNotOptimize(engine.GenerateStep(kBlockSize));
        samplePos += kBlockSize;
    }
}
BENCHMARK(BM_GenerateStepRandomRebuild);

// BuildSequence for a chord over five octaves, by note order. Arguments: held notes, order.
void BM_BuildSequence(benchmark::State& state)
{
    SetRandSeed(1);
    TArpeggiator engine;
    engine.SetOctaves(5);
    engine.SetNoteOrder(static_cast<std::uint8_t>(state.range(1)));
    HoldNotes(engine, static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        engine.BuildSequence(true);
        benchmark::DoNotOptimize(engine.Sequence().Count());
    }
}
BENCHMARK(BM_BuildSequence)
    ->Args({16, 0})
    ->Args({16, 4})
    ->Args({16, 5})
    ->Args({16, 12})
    ->Args({16, 15})
    ->Args({256, 0})
    ->Args({256, 4})
    ->Args({256, 5});

// The longest sequence the bounds allow: 256 notes, "Up->Down 2" octaves, "Up->Down Oct".
void BM_BuildSequenceLongest(benchmark::State& state)
{
    TArpeggiator engine;
    engine.SetOctaves(5);
    engine.SetOctaveOrder(3);
    engine.SetNoteOrder(4);
    engine.SetRest(16);
    HoldNotes(engine, TArpeggiator::kMaxHeldNotes);
    for (auto _ : state)
    {
        engine.BuildSequence(true);
        benchmark::DoNotOptimize(engine.Sequence().Count());
    }
}
BENCHMARK(BM_BuildSequenceLongest);

} // namespace
} // namespace tumblet

BENCHMARK_MAIN();
