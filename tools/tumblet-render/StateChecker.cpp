#include "StateChecker.h"

#include "RenderError.h"
#include "plugin/MemoryStream.h"
#include "plugin/ValueReader.h"

#include <string>

namespace tumblet
{

namespace
{

constexpr std::size_t kHeaderSize = 8; // container header before the payload
constexpr int kOldValueCount = 20;     // streams before version 1.10
constexpr int kLaterValues = 2;        // "Octaves Random" and "Speed"
constexpr int kSpareHeaderStrings = 3; // the preset name and two spare strings
const char* const kFirstNewVersion = "1.10";

/// The plug-in's own reader, with the byte where each value begins, so that a failure names it.
class TCheckedReader
{
public:
    explicit TCheckedReader(const TMemoryStream& stream) : FReader(stream) {}

    template <class TRead> auto Step(TRead read)
    {
        FValueStart = FReader.Position();
        return read(FReader);
    }
    std::size_t ValueStart() const { return FValueStart; }

private:
    TValueReader FReader;
    std::size_t FValueStart = 0;
};

void WalkState(TCheckedReader& r)
{
    r.Step([](TValueReader& v) { v.ReadSignature(); });
    r.Step([](TValueReader& v) { v.ExpectListBegin(); });
    const std::string version = r.Step([](TValueReader& v) { return v.ReadString(); });
    for (int i = 0; i < kSpareHeaderStrings; ++i)
        r.Step([](TValueReader& v) { return v.ReadString(); });
    r.Step([](TValueReader& v) { v.ExpectListEnd(); });

    // The parameter values: an inner list from version 1.10 on, which may end early.
    const bool newStream = version >= kFirstNewVersion;
    r.Step([](TValueReader& v) { v.ExpectListBegin(); });
    if (newStream)
        r.Step([](TValueReader& v) { v.ExpectListBegin(); });
    for (int i = 0; i < kOldValueCount; ++i)
        r.Step([](TValueReader& v) { return v.ReadFloat(); });
    if (newStream)
    {
        for (int i = 0; i < kLaterValues && !r.Step([](TValueReader& v) { return v.EndOfList(); });
             ++i)
            r.Step([](TValueReader& v) { return v.ReadFloat(); });
        r.Step([](TValueReader& v) { v.ExpectListEnd(); });
    }
    r.Step([](TValueReader& v) { v.ExpectListEnd(); });

    // The controller mappings, when there are any: (name, controller) pairs.
    if (r.Step([](TValueReader& v) { return v.EndOfList(); }))
        return;
    r.Step([](TValueReader& v) { v.ExpectListBegin(); });
    while (!r.Step([](TValueReader& v) { return v.EndOfList(); }))
    {
        r.Step([](TValueReader& v) { v.ExpectListBegin(); });
        r.Step([](TValueReader& v) { return v.ReadString(); });
        r.Step([](TValueReader& v) { return v.ReadInteger(); });
        r.Step([](TValueReader& v) { v.ExpectListEnd(); });
    }
    r.Step([](TValueReader& v) { v.ExpectListEnd(); });
}

} // namespace

void TStateChecker::Check(const std::vector<std::uint8_t>& payload)
{
    const TMemoryStream stream(payload.data(), payload.size());
    TCheckedReader reader(stream);
    try
    {
        WalkState(reader);
    }
    catch (const EReadError& error)
    {
        ThrowRuntime("\"" + std::string(error.what()) + "\" at byte " +
                     std::to_string(reader.ValueStart() + kHeaderSize));
    }
}

} // namespace tumblet
