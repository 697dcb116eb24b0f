#include "RenderSession.h"

#include "InputSchedule.h"
#include "MidiFile.h"
#include "NoteTable.h"
#include "OutputFiles.h"
#include "ParameterResolver.h"
#include "PianoRoll.h"
#include "PluginHost.h"
#include "PluginPath.h"
#include "PresetFile.h"
#include "RenderError.h"
#include "Renderer.h"
#include "Transport.h"
#include "plugin/VendorCodes.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <random>

namespace tumblet
{

namespace
{

constexpr double kDefaultTempo = 120.0;
constexpr int kDefaultBars = 4;

} // namespace

TRenderSession::TRenderSession(const TRenderOptions& options, std::ostream& out, std::ostream& err)
    : FOptions(options), FOut(out), FErr(err)
{
}

TRenderSession::~TRenderSession() = default;

TTimeGrid TRenderSession::MakeGrid(const TRenderOptions& options, const TMidiFileContents* file)
{
    TTimeGrid grid;
    grid.SampleRate = options.SampleRate;
    grid.Tempo = options.Tempo.value_or(file && file->Tempo ? *file->Tempo : kDefaultTempo);
    grid.Numerator =
        options.TimeSigNumerator.value_or(file && file->Numerator ? *file->Numerator : 4);
    grid.Denominator =
        options.TimeSigDenominator.value_or(file && file->Denominator ? *file->Denominator : 4);
    if (options.Beats)
        grid.LengthBeats = *options.Beats;
    else if (options.Bars)
        grid.LengthBeats = *options.Bars * grid.BeatsPerBar();
    else if (file != nullptr)
        grid.LengthBeats =
            std::max(1.0, std::ceil(file->LengthBeats / grid.BeatsPerBar())) * grid.BeatsPerBar();
    else
        grid.LengthBeats = kDefaultBars * grid.BeatsPerBar();
    if (grid.LengthBeats > kMaxRenderBeats)
        ThrowUsage("the render would last " + std::to_string(std::llround(grid.LengthBeats)) +
                   " beats; the longest render is " +
                   std::to_string(static_cast<long>(kMaxRenderBeats)) + " beats");
    return grid;
}

void TRenderSession::CheckLoop(const TTimeGrid& grid) const
{
    if (!FOptions.LoopActive)
        return;
    const double samplesPerBeat = grid.SamplesPerBeat();
    if (std::llround(FOptions.LoopEndBeat * samplesPerBeat) <=
        std::llround(FOptions.LoopStartBeat * samplesPerBeat))
        ThrowUsage("--loop: the loop is shorter than one sample");
}

void TRenderSession::PrepareHost()
{
    THostSettings settings;
    settings.ProductName = FOptions.HostName;
    settings.SampleRate = FOptions.SampleRate;
    settings.BlockSize = FOptions.BlockSize;
    FHost = std::make_unique<TPluginHost>(settings);
    FHost->Load(FOptions.PluginPath.empty() ? DefaultPluginPath() : FOptions.PluginPath);
    if (!FOptions.PresetPath.empty())
        LoadPreset(*FHost, FOptions.PresetPath);
    TParameterResolver parameters(*FHost);
    for (const auto& setting : FOptions.Settings)
        parameters.Apply(setting);
    if (FOptions.ListParams)
        parameters.List(FOut);
}

TNoteTable TRenderSession::Render(const TTimeGrid& grid, const TInputSchedule& input)
{
    TTransportSettings transportSettings;
    transportSettings.Grid = grid;
    transportSettings.StartBeat = FOptions.StartBeat;
    transportSettings.LoopActive = FOptions.LoopActive;
    transportSettings.LoopStartBeat = FOptions.LoopStartBeat;
    transportSettings.LoopEndBeat = FOptions.LoopEndBeat;
    transportSettings.Stopped = FOptions.Stopped;
    TTransport transport(transportSettings);
    TRenderer renderer(*FHost, transport, FOptions.BlockSize);
    const std::int64_t totalSamples = std::llround(grid.LengthBeats * grid.SamplesPerBeat());
    const TRenderResult result = renderer.Run(input, totalSamples);
    const TNoteTable table = TNoteTable::FromEvents(result.Events, totalSamples, grid);

    return table;
}

void TRenderSession::CheckOutputs(const TTimeGrid& grid) const
{
    // Before the plug-in plays, so that a long render is not lost to a wrong path.
    for (const std::string* path : {&FOptions.OutPath, &FOptions.PngPath, &FOptions.SavePresetPath})
        if (!path->empty())
            TOutputFiles::Check(*path);
    if (!FOptions.PngPath.empty())
        TPianoRoll::CheckLength(FOptions.PngPath, grid);
}

void TRenderSession::SeedPlugin()
{
    std::uint32_t seed = 0;
    if (FOptions.Seed)
        seed = *FOptions.Seed;
    else
        seed = std::random_device()();
    const bool applied = FHost->VendorSpecific(kVendorSpecificSetSeed, seed) == 1;
    if (FOptions.Seed && !applied)
        ThrowRuntime("--seed: the plug-in does not take a seed");
    if (applied)
        FErr << "tumblet-render: seed " << seed << " (--seed " << seed
             << " plays this render again)\n";
}

void TRenderSession::Run()
{
    TMidiFileContents file;
    if (!FOptions.MidiInPath.empty())
        file = TMidiFile::Read(FOptions.MidiInPath);
    const TTimeGrid grid = MakeGrid(FOptions, FOptions.MidiInPath.empty() ? nullptr : &file);
    CheckLoop(grid);
    const TInputSchedule input = FOptions.MidiInPath.empty()
                                     ? TInputSchedule::FromChords(FOptions.Chords, grid)
                                     : TInputSchedule::FromMessages(file.Messages, grid);
    if (!FOptions.MidiInPath.empty() && !input.HasNoteOn())
        ThrowRuntime("nothing to play: " + FOptions.MidiInPath +
                     " holds no note-on within the render");
    CheckOutputs(grid);
    PrepareHost();

    TOutputFiles outputs;
    if (!FOptions.SavePresetPath.empty())
    {
        if (!FHost->HasProgramChunks())
            ThrowRuntime("the plug-in does not save presets as program chunks");
        outputs.WriteBytes(FOptions.SavePresetPath, FHost->GetProgramChunk());
    }
    if (!FOptions.WantsRender())
    {
        outputs.CommitAll();
        return;
    }

    SeedPlugin();
    const TNoteTable table = Render(grid, input);
    const std::int64_t totalSamples = std::llround(grid.LengthBeats * grid.SamplesPerBeat());
    if (!FOptions.OutPath.empty())
        outputs.WriteBytes(FOptions.OutPath,
                           TMidiFile::Write(table, grid, totalSamples, "tumblet-render"));
    if (!FOptions.PngPath.empty())
        outputs.WriteBytes(FOptions.PngPath,
                           TPianoRoll::Draw(FOptions.PngPath, table, input.Notes(grid), grid));
    outputs.CommitAll();
    if (FOptions.Print)
        table.Print(FOut);
}

} // namespace tumblet
