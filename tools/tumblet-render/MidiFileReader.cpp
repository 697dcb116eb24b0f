// The strict Standard MIDI File reader. Every length is checked against what remains before it
// is used, every count against what the file can hold and every time against the longest
// render, so any bytes end in a message with the offset of the problem, in time and memory
// bounded by the file's size.

#include "MidiFile.h"

#include "RenderError.h"
#include "base/MidiStatus.h"

#include <algorithm>
#include <cmath>

namespace tumblet
{

namespace
{

constexpr std::size_t kChunkHeaderSize = 8;
constexpr std::size_t kHeaderDataSize = 6;
constexpr int kMaxVarLengthBytes = 4;
constexpr std::uint8_t kMeta = 0xFF;
constexpr std::uint8_t kSysEx = 0xF0;
constexpr std::uint8_t kSysExContinuation = 0xF7;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaTempo = 0x51;
constexpr std::uint8_t kMetaTimeSignature = 0x58;
constexpr double kMicrosecondsPerMinute = 60000000.0;
constexpr int kMaxDenominatorExponent = 5; // 2^5 = 32

struct TTrackEvent
{
    std::int64_t Tick = 0;
    std::uint8_t Data[3] = {};
};

class TReader
{
public:
    TReader(const std::vector<std::uint8_t>& bytes, const std::string& name)
        : FBytes(bytes), FName(name)
    {
    }

    TMidiFileContents Parse();

private:
    [[noreturn]] void Fail(const std::string& problem, std::size_t offset) const
    {
        ThrowRuntime(FName + " is not a Standard MIDI File: " + problem + " at byte " +
                     std::to_string(offset));
    }
    std::size_t Remaining(std::size_t offset, std::size_t end) const
    {
        return offset < end ? end - offset : 0;
    }
    std::uint32_t Big(std::size_t offset, int count) const;
    std::uint32_t VarLength(std::size_t& offset, std::size_t end) const;
    void ReadHeader();
    void ReadTrack(std::size_t start, std::size_t end, int track);
    void ReadMeta(std::uint8_t type, std::size_t offset, std::uint32_t length, std::int64_t tick);
    void CheckTick(std::int64_t tick, std::size_t offset) const;

    const std::vector<std::uint8_t>& FBytes;
    const std::string& FName;
    int FFormat = 0;
    int FDeclaredTracks = 0;
    int FTicksPerBeat = 0;
    std::int64_t FLastTick = 0;
    double FFirstTempoBeat = 0.0;
    double FFirstMetreBeat = 0.0;
    std::vector<TTrackEvent> FEvents; // all tracks, each in its own order, merged at the end
    TMidiFileContents FContents;
};

std::uint32_t TReader::Big(std::size_t offset, int count) const
{
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | FBytes[offset + static_cast<std::size_t>(i)];
    return value;
}

std::uint32_t TReader::VarLength(std::size_t& offset, std::size_t end) const
{
    const std::size_t start = offset;
    std::uint32_t value = 0;
    for (int i = 0; i < kMaxVarLengthBytes; ++i)
    {
        if (offset >= end)
            Fail("the track ends inside a variable-length number", start);
        const std::uint8_t byte = FBytes[offset++];
        value = (value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0)
            return value;
    }
    Fail("a variable-length number is longer than four bytes", start);
}

void TReader::CheckTick(std::int64_t tick, std::size_t offset) const
{
    if (static_cast<double>(tick) / FTicksPerBeat > kMaxRenderBeats)
        Fail("an event lies beyond beat " + std::to_string(static_cast<long>(kMaxRenderBeats)) +
                 ", the longest render",
             offset);
}

void TReader::ReadHeader()
{
    if (FBytes.size() < kChunkHeaderSize ||
        std::string(FBytes.begin(), FBytes.begin() + 4) != "MThd")
        Fail("it does not begin with an \"MThd\" header", 0);
    const std::uint32_t length = Big(4, 4);
    if (length < kHeaderDataSize)
        Fail("the header is " + std::to_string(length) + " bytes long instead of 6", 4);
    if (Remaining(kChunkHeaderSize, FBytes.size()) < length)
        Fail("the file ends inside the header", FBytes.size());
    FFormat = static_cast<int>(Big(8, 2));
    FDeclaredTracks = static_cast<int>(Big(10, 2));
    const std::uint32_t division = Big(12, 2);
    if (FFormat > 2)
        Fail("format " + std::to_string(FFormat) + " is not 0, 1 or 2", 8);
    if (FDeclaredTracks == 0)
        Fail("the header declares no tracks", 10);
    if (FFormat == 0 && FDeclaredTracks != 1)
        Fail("a format 0 file declares " + std::to_string(FDeclaredTracks) + " tracks instead of 1",
             10);
    if ((division & 0x8000) != 0)
        ThrowRuntime(FName +
                     " counts time in SMPTE frames; only files timed in beats are supported");
    if (division == 0)
        Fail("the header gives 0 ticks per beat", 12);
    FTicksPerBeat = static_cast<int>(division);
}

void TReader::ReadMeta(std::uint8_t type, std::size_t offset, std::uint32_t length,
                       std::int64_t tick)
{
    const double beat = static_cast<double>(tick) / FTicksPerBeat;
    if (type == kMetaTempo)
    {
        if (length != 3)
            Fail("a tempo event has " + std::to_string(length) + " data bytes instead of 3",
                 offset);
        const std::uint32_t microseconds = Big(offset, 3);
        const double tempo = microseconds > 0 ? kMicrosecondsPerMinute / microseconds : 0.0;
        if (tempo < kMinTempo || tempo > kMaxTempo)
            Fail("a tempo of " + std::to_string(microseconds) +
                     " microseconds per beat is outside 4 to 999 BPM",
                 offset);
        if (!FContents.Tempo || beat < FFirstTempoBeat)
        {
            FContents.Tempo = tempo;
            FFirstTempoBeat = beat;
        }
    }
    else if (type == kMetaTimeSignature)
    {
        if (length != 4)
            Fail("a time signature has " + std::to_string(length) + " data bytes instead of 4",
                 offset);
        const int numerator = FBytes[offset];
        const int exponent = FBytes[offset + 1];
        if (numerator < 1 || numerator > kMaxNumerator)
            Fail("a time signature's numerator " + std::to_string(numerator) +
                     " is outside 1 to 32",
                 offset);
        if (exponent > kMaxDenominatorExponent)
            Fail("a time signature's denominator 2^" + std::to_string(exponent) +
                     " is not 1, 2, 4, 8, 16 or 32",
                 offset + 1);
        if (!FContents.Numerator || beat < FFirstMetreBeat)
        {
            FContents.Numerator = numerator;
            FContents.Denominator = 1 << exponent;
            FFirstMetreBeat = beat;
        }
    }
}

void TReader::ReadTrack(std::size_t start, std::size_t end, int track)
{
    const std::string where = "track " + std::to_string(track);
    std::size_t offset = start;
    std::int64_t tick = 0;
    std::uint8_t running = 0;
    while (offset < end)
    {
        tick += VarLength(offset, end);
        CheckTick(tick, offset);
        FLastTick = std::max(FLastTick, tick);
        if (offset >= end)
            Fail(where + " ends after a delta time", offset);
        const std::size_t eventStart = offset;
        std::uint8_t status = FBytes[offset];
        if (status >= 0x80)
            ++offset;
        else if (running == 0)
            Fail(where + " has a data byte without a status", offset);
        else
            status = running;

        if (status == kMeta)
        {
            running = 0;
            if (offset >= end)
                Fail(where + " ends inside a meta event", eventStart);
            const std::uint8_t type = FBytes[offset++];
            const std::uint32_t length = VarLength(offset, end);
            if (Remaining(offset, end) < length)
                Fail(where + " ends inside a meta event of " + std::to_string(length) + " bytes",
                     eventStart);
            if (type == kMetaEndOfTrack)
            {
                if (offset + length != end)
                    Fail(where + " has bytes after its end-of-track event", offset + length);
                return;
            }
            ReadMeta(type, offset, length, tick);
            offset += length;
        }
        else if (status == kSysEx || status == kSysExContinuation)
        {
            running = 0;
            const std::uint32_t length = VarLength(offset, end);
            if (Remaining(offset, end) < length)
                Fail(where + " ends inside a system-exclusive event of " + std::to_string(length) +
                         " bytes",
                     eventStart);
            offset += length;
        }
        else if (status >= 0xF0)
            Fail(where + " has a system message that files cannot hold", eventStart);
        else
        {
            running = status;
            const int dataBytes = MidiDataBytes(status);
            TTrackEvent event;
            event.Tick = tick;
            event.Data[0] = status;
            for (int b = 1; b <= dataBytes; ++b)
            {
                if (offset >= end)
                    Fail(where + " ends inside a channel message", eventStart);
                if (FBytes[offset] >= 0x80)
                    Fail(where + " has a channel message cut short by a status byte", offset);
                event.Data[b] = FBytes[offset++];
            }
            FEvents.push_back(event);
        }
    }
    Fail(where + " has no end-of-track event", end);
}

TMidiFileContents TReader::Parse()
{
    ReadHeader();
    std::size_t offset = kChunkHeaderSize + Big(4, 4);
    int tracks = 0;
    while (tracks < FDeclaredTracks)
    {
        if (Remaining(offset, FBytes.size()) < kChunkHeaderSize)
            Fail("the header declares " + std::to_string(FDeclaredTracks) +
                     " tracks but the file holds " + std::to_string(tracks),
                 offset);
        const std::string id(FBytes.begin() + static_cast<std::ptrdiff_t>(offset),
                             FBytes.begin() + static_cast<std::ptrdiff_t>(offset + 4));
        const std::uint32_t length = Big(offset + 4, 4);
        const std::size_t data = offset + kChunkHeaderSize;
        if (Remaining(data, FBytes.size()) < length)
            Fail("a chunk declares " + std::to_string(length) + " bytes but only " +
                     std::to_string(Remaining(data, FBytes.size())) + " remain",
                 offset + 4);
        // Chunks of other kinds are skipped, as the format asks of readers.
        if (id == "MTrk")
            ReadTrack(data, data + length, ++tracks);
        offset = data + length;
    }
    // Tracks are merged by time; at equal times the earlier track and the earlier event first.
    std::stable_sort(FEvents.begin(), FEvents.end(),
                     [](const TTrackEvent& a, const TTrackEvent& b) { return a.Tick < b.Tick; });
    FContents.Tracks = tracks;
    FContents.LengthBeats = static_cast<double>(FLastTick) / FTicksPerBeat;
    FContents.Messages.reserve(FEvents.size());
    for (const auto& event : FEvents)
    {
        TTimedMessage message;
        message.Beat = static_cast<double>(event.Tick) / FTicksPerBeat;
        std::copy(std::begin(event.Data), std::end(event.Data), message.Data);
        FContents.Messages.push_back(message);
    }
    return std::move(FContents);
}

} // namespace

TMidiFileContents TMidiFile::Parse(const std::vector<std::uint8_t>& bytes, const std::string& name)
{
    return TReader(bytes, name).Parse();
}

} // namespace tumblet
