#pragma once

// Standard MIDI Files through libsmf: reading the input file and writing the recording.

#include "RenderTypes.h"

#include <optional>
#include <string>
#include <vector>

namespace tumblet
{

class TNoteTable;

struct TMidiFileContents
{
    std::vector<TTimedMessage> Messages; ///< channel messages of all tracks, in time order
    std::optional<double> Tempo;         ///< the first tempo, beats per minute
    std::optional<int> Numerator;        ///< the first time signature
    std::optional<int> Denominator;
    double LengthBeats = 0.0; ///< up to the last event
    int Tracks = 0;
};

class TMidiFile
{
public:
    /// Throws a runtime error for a missing file or one that is not a Standard MIDI File.
    static TMidiFileContents Read(const std::string& path);
    /// Writes a format 1 file: a conductor track with tempo and metre, then the plug-in's notes
    /// and other messages at kTicksPerBeat. Throws a runtime error when libsmf cannot save.
    static void Write(const std::string& path, const TNoteTable& table, const TTimeGrid& grid,
                      std::int64_t totalSamples, const std::string& trackName);
};

} // namespace tumblet
