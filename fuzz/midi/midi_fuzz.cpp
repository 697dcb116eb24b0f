// Arbitrary bytes as a MIDI file handed to tumblet-render: the reader either returns contents
// within the tool's limits or throws its own error; it never crashes, hangs or runs away with
// memory.

#include "MidiFile.h"
#include "RenderError.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tumblet;
    const std::vector<std::uint8_t> bytes(data, data + size);
    try
    {
        const TMidiFileContents contents = TMidiFile::Parse(bytes, "input.mid");
        // What the rest of the tool relies on.
        if (contents.LengthBeats < 0.0 || contents.LengthBeats > kMaxRenderBeats ||
            contents.Messages.size() > size ||
            (contents.Tempo && (*contents.Tempo < kMinTempo || *contents.Tempo > kMaxTempo)) ||
            (contents.Denominator &&
             (*contents.Denominator < 1 || *contents.Denominator > kMaxDenominator)) ||
            (contents.Numerator &&
             (*contents.Numerator < 1 || *contents.Numerator > kMaxNumerator)))
            std::abort();
        for (const auto& message : contents.Messages)
            if (message.Data[0] < 0x80 || message.Data[0] >= 0xF0 || message.Data[1] >= 0x80 ||
                message.Data[2] >= 0x80)
                std::abort();
    }
    catch (const TRenderError&)
    {
    }
    return 0;
}
