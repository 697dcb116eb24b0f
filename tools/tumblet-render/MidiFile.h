#pragma once

// Standard MIDI Files: a strict reader for the input file and a writer for the recording.
// Both are our own: the format is small, the reader must survive any bytes a user hands it
// (libsmf asserts on malformed files), and the writer must stay linear in the number of events
// (libsmf's event insertion is not).

#include "RenderTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tumblet
{

class TNoteTable;

/// The largest MIDI file the tool reads.
constexpr std::size_t kMaxMidiFileBytes = 16 * 1024 * 1024;

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
    /// Reads the bytes of a file; name is what messages call it. Throws a runtime error naming
    /// the problem and its byte offset for anything malformed or beyond the tool's limits.
    static TMidiFileContents Parse(const std::vector<std::uint8_t>& bytes, const std::string& name);
    /// A format 1 file: a conductor track with tempo and metre, then the plug-in's notes and
    /// other messages at kTicksPerBeat.
    static std::vector<std::uint8_t> Write(const TNoteTable& table, const TTimeGrid& grid,
                                           std::int64_t totalSamples, const std::string& trackName);
};

} // namespace tumblet
