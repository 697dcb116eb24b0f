#pragma once

#include "NoteNames.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tumblet
{

/// A chord played at a beat of render time and held for a number of beats.
struct TTimedChord
{
    double AtBeat = 0.0;
    std::optional<double> HoldBeats; ///< none: held to the end of the render
    std::vector<TChordNote> Notes;
};

/// Everything the command line asks for, checked for form but not yet against the plug-in.
struct TRenderOptions
{
    std::string PluginPath; ///< empty: Tumblet.so beside the tool
    std::string HostName = "tumblet-render";

    std::vector<TTimedChord> Chords;
    std::string MidiInPath;

    std::optional<double> Tempo; ///< beats per minute; none: file's or 120
    std::optional<int> TimeSigNumerator;
    std::optional<int> TimeSigDenominator;
    std::optional<double> Bars;
    std::optional<double> Beats;
    double StartBeat = 0.0;
    bool LoopActive = false;
    double LoopStartBeat = 0.0;
    double LoopEndBeat = 0.0;
    bool Stopped = false;
    double SampleRate = 44100.0; ///< Hz
    int BlockSize = 512;         ///< samples

    std::optional<std::uint32_t> Seed; ///< none: a new one, printed

    std::vector<std::string> Settings; ///< "Name=VALUE", in command-line order
    bool ListParams = false;

    std::string PresetPath;
    std::string SavePresetPath;

    std::string OutPath;
    std::string PngPath;
    bool Print = false;

    bool Help = false;

    bool HasInput() const { return !Chords.empty() || !MidiInPath.empty(); }
    bool WantsOutput() const { return Print || !OutPath.empty() || !PngPath.empty(); }
    bool WantsRender() const { return HasInput() || WantsOutput(); }
};

} // namespace tumblet
