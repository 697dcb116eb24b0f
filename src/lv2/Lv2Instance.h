#pragma once

// What the LV2 plug-in library hands its UI library through instance access: a plain record
// both sides agree on. The plug-in library holds the module without anything that needs a
// display; the UI library brings the editor and hands it to the running module through the
// record's attacher, which runs in the plug-in library's own copy of the module's code.

#include "vst2/VstInterface.h"

#include <cstdint>

namespace tumblet
{

struct TWindowedParts;

/// The plug-in's URI, shared by the Turtle files, the plug-in and the UI.
inline constexpr const char* kLv2PluginUri = "urn:brindlex:tumblet";
inline constexpr const char* kLv2UiUri = "urn:brindlex:tumblet#ui";
/// The state property that holds the module's state chunk.
inline constexpr const char* kLv2StateChunkUri = "urn:brindlex:tumblet#chunk";

/// Marks a live instance record, so that a UI given a foreign handle refuses it.
inline constexpr std::uint32_t kLv2InstanceMagic = 0x546D6C76; // "Tmlv"

/// Port layout: the MIDI input (also taking the host's position), the MIDI output, then one
/// control input per parameter in the module's parameter order.
inline constexpr std::uint32_t kLv2MidiInPort = 0;
inline constexpr std::uint32_t kLv2MidiOutPort = 1;
inline constexpr std::uint32_t kLv2FirstParameterPort = 2;

struct TLv2Instance
{
    std::uint32_t Magic = kLv2InstanceMagic;
    AEffect* Effect = nullptr;
    void* Adapter = nullptr; ///< the plug-in library's own; opaque to the UI
    /// The parameters' real ranges, so that the UI can report values in port units.
    std::uint32_t ParameterCount = 0;
    const float* Minimum = nullptr;
    const float* Maximum = nullptr;
    /// Gives the module the UI library's windowed parts; false when it could not.
    bool (*AttachEditor)(AEffect* effect, const TWindowedParts& parts) noexcept = nullptr;
};

} // namespace tumblet
