#include "OptionParser.h"

#include "RenderError.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <sstream>

namespace tumblet
{

namespace
{

constexpr double kMaxBeats = kMaxRenderBeats;
constexpr double kMinSampleRate = 8000.0;
constexpr double kMaxSampleRate = 384000.0;
constexpr int kMaxBlockSize = 8192;
constexpr double kMaxSeed = 4294967295.0;

std::string FormatNumber(double value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

} // namespace

bool ParseNumber(std::string_view text, double& value)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

TRenderOptions TOptionParser::Parse(const std::vector<std::string>& arguments)
{
    // Help wins wherever it stands, even after a mistake on the same command line.
    for (const auto& argument : arguments)
        if (argument == "--help" || argument == "-h")
        {
            TRenderOptions help;
            help.Help = true;
            return help;
        }
    TOptionParser parser(arguments);
    parser.ParseAll();
    return parser.FOptions;
}

TOptionParser::TOptionParser(const std::vector<std::string>& arguments) : FArguments(arguments) {}

void TOptionParser::ParseAll()
{
    while (FPosition < FArguments.size())
    {
        const std::string option = FArguments[FPosition++];
        if (!ParseInputOption(option) && !ParseTransportOption(option) && !ParseOtherOption(option))
            ThrowUsage("unknown option '" + option + "' (see --help)");
    }
    FinishChords();
    CheckCombinations();
}

bool TOptionParser::ParseInputOption(std::string_view option)
{
    if (option == "--chord")
    {
        if (!FOptions.Chords.empty() && !FPendingAt)
            ThrowUsage("--chord: every chord after the first needs --at BEAT before it");
        TTimedChord chord;
        chord.AtBeat = FPendingAt.value_or(0.0);
        chord.HoldBeats = FPendingHold;
        chord.Notes = ParseChord(NextValue(option));
        FOptions.Chords.push_back(std::move(chord));
        FPendingAt.reset();
        FPendingHold.reset();
    }
    else if (option == "--at")
        FPendingAt = NextNumber(option, 0.0, kMaxBeats);
    else if (option == "--hold")
    {
        const double hold = NextNumber(option, 1e-9, kMaxBeats);
        // "--chord X --hold 4" reads naturally; a --hold before any chord waits for it.
        if (!FOptions.Chords.empty() && !FPendingAt)
        {
            if (FOptions.Chords.back().HoldBeats)
                ThrowUsage("--hold given twice for the same chord");
            FOptions.Chords.back().HoldBeats = hold;
        }
        else
            FPendingHold = hold;
    }
    else if (option == "--midi-in")
        FOptions.MidiInPath = NextPath(option);
    else
        return false;
    return true;
}

bool TOptionParser::ParseTransportOption(std::string_view option)
{
    if (option == "--tempo")
        FOptions.Tempo = NextNumber(option, kMinTempo, kMaxTempo);
    else if (option == "--time-sig")
        ParseTimeSignature(NextValue(option));
    else if (option == "--bars")
        FOptions.Bars = NextNumber(option, 1e-9, kMaxBeats);
    else if (option == "--beats")
        FOptions.Beats = NextNumber(option, 1e-9, kMaxBeats);
    else if (option == "--start")
        FOptions.StartBeat = NextNumber(option, 0.0, kMaxBeats);
    else if (option == "--loop")
        ParseLoop(NextValue(option));
    else if (option == "--stopped")
        FOptions.Stopped = true;
    else if (option == "--sample-rate")
        FOptions.SampleRate = NextNumber(option, kMinSampleRate, kMaxSampleRate);
    else if (option == "--block")
        FOptions.BlockSize = NextInteger(option, 1, kMaxBlockSize);
    else if (option == "--seed")
    {
        const double seed = NextNumber(option, 0.0, kMaxSeed);
        if (seed != std::floor(seed))
            ThrowUsage("--seed: a seed is a whole number from 0 to 4294967295");
        FOptions.Seed = static_cast<std::uint32_t>(seed);
    }
    else
        return false;
    return true;
}

void TOptionParser::ParseTimeSignature(const std::string& text)
{
    double numerator = 0.0;
    double denominator = 0.0;
    const auto slash = text.find('/');
    const bool ok = slash != std::string::npos &&
                    ParseNumber(std::string_view(text).substr(0, slash), numerator) &&
                    ParseNumber(std::string_view(text).substr(slash + 1), denominator);
    const int d = static_cast<int>(denominator);
    if (!ok || numerator != std::floor(numerator) || numerator < 1 || numerator > kMaxNumerator ||
        denominator != d || d < 1 || d > kMaxDenominator || (d & (d - 1)) != 0)
        ThrowUsage("--time-sig: '" + text +
                   "' is not a time signature such as 3/4 (1 to 32 over 1, 2, 4, 8, 16 or 32)");
    FOptions.TimeSigNumerator = static_cast<int>(numerator);
    FOptions.TimeSigDenominator = d;
}

void TOptionParser::ParseLoop(const std::string& text)
{
    const auto colon = text.find(':');
    double a = 0.0;
    double b = 0.0;
    if (colon == std::string::npos || !ParseNumber(std::string_view(text).substr(0, colon), a) ||
        !ParseNumber(std::string_view(text).substr(colon + 1), b) || a < 0.0 || b <= a ||
        b > kMaxBeats)
        ThrowUsage("--loop: '" + text + "' is not a range A:B of beats with 0 <= A < B");
    FOptions.LoopActive = true;
    FOptions.LoopStartBeat = a;
    FOptions.LoopEndBeat = b;
}

bool TOptionParser::ParseOtherOption(std::string_view option)
{
    if (option == "--plugin")
        FOptions.PluginPath = NextValue(option);
    else if (option == "--host-name")
        FOptions.HostName = NextValue(option);
    else if (option == "--set")
    {
        const std::string setting = NextValue(option);
        if (setting.find('=') == std::string::npos || setting.front() == '=')
            ThrowUsage("--set: '" + setting + "' is not of the form \"Name=VALUE\"");
        FOptions.Settings.push_back(setting);
    }
    else if (option == "--list-params")
        FOptions.ListParams = true;
    else if (option == "--preset")
        FOptions.PresetPath = NextPath(option);
    else if (option == "--save-preset")
        FOptions.SavePresetPath = NextPath(option);
    else if (option == "--out")
        FOptions.OutPath = NextPath(option);
    else if (option == "--png")
        FOptions.PngPath = NextPath(option);
    else if (option == "--print")
        FOptions.Print = true;
    else if (option == "--help" || option == "-h")
        FOptions.Help = true;
    else
        return false;
    return true;
}

void TOptionParser::FinishChords()
{
    if (FPendingAt)
        ThrowUsage("--at must be followed by --chord");
    if (FPendingHold)
        ThrowUsage("--hold must belong to a --chord");
}

void TOptionParser::CheckCombinations() const
{
    if (FOptions.Help)
        return;
    if (!FOptions.Chords.empty() && !FOptions.MidiInPath.empty())
        ThrowUsage("give either --chord or --midi-in, not both");
    if (FOptions.Bars && FOptions.Beats)
        ThrowUsage("give either --bars or --beats, not both");
    if (FOptions.HostName.empty() || FOptions.HostName.size() > 63)
        ThrowUsage("--host-name must be 1 to 63 characters long");
    const bool anything =
        FOptions.WantsRender() || FOptions.ListParams || !FOptions.SavePresetPath.empty();
    if (!anything)
        ThrowUsage("nothing to do: give --chord or --midi-in to play, or --list-params "
                   "(see --help)");
    if (FOptions.WantsOutput() && !FOptions.HasInput())
        ThrowUsage("nothing to play: give --chord or --midi-in");
    CheckDistinctOutputs();
}

void TOptionParser::CheckDistinctOutputs() const
{
    namespace fs = std::filesystem;
    const std::pair<const char*, const std::string*> outputs[] = {
        {"--out", &FOptions.OutPath},
        {"--png", &FOptions.PngPath},
        {"--save-preset", &FOptions.SavePresetPath}};
    const auto same = [](const std::string& a, const std::string& b)
    {
        std::error_code errorA;
        std::error_code errorB;
        const fs::path canonicalA = fs::weakly_canonical(a, errorA);
        const fs::path canonicalB = fs::weakly_canonical(b, errorB);
        std::error_code ignored;
        return a == b || (!errorA && !errorB && canonicalA == canonicalB) ||
               fs::equivalent(a, b, ignored);
    };
    for (std::size_t i = 0; i < std::size(outputs); ++i)
        for (std::size_t j = i + 1; j < std::size(outputs); ++j)
            if (!outputs[i].second->empty() && !outputs[j].second->empty() &&
                same(*outputs[i].second, *outputs[j].second))
                ThrowUsage(std::string(outputs[i].first) + " and " + outputs[j].first +
                           " name the same file " + *outputs[j].second +
                           "; one would overwrite the other");
}

std::string TOptionParser::NextValue(std::string_view option)
{
    if (FPosition >= FArguments.size())
        ThrowUsage(std::string(option) + " needs a value");
    return FArguments[FPosition++];
}

std::string TOptionParser::NextPath(std::string_view option)
{
    std::string path = NextValue(option);
    if (path.empty())
        ThrowUsage(std::string(option) + " needs a file name, not an empty text");
    return path;
}

double TOptionParser::NextNumber(std::string_view option, double min, double max)
{
    const std::string text = NextValue(option);
    double value = 0.0;
    if (!ParseNumber(text, value) || value < min || value > max)
        ThrowUsage(std::string(option) + ": '" + text + "' is not a number from " +
                   FormatNumber(min < 1e-6 && min > 0.0 ? 0.0 : min) + " to " + FormatNumber(max) +
                   (min > 0.0 && min < 1e-6 ? " (above 0)" : ""));
    return value;
}

int TOptionParser::NextInteger(std::string_view option, int min, int max)
{
    const std::string text = NextValue(option);
    double value = 0.0;
    if (!ParseNumber(text, value) || value != std::floor(value) || value < min || value > max)
        ThrowUsage(std::string(option) + ": '" + text + "' is not a whole number from " +
                   std::to_string(min) + " to " + std::to_string(max));
    return static_cast<int>(value);
}

const char* TOptionParser::UsageText()
{
    return
        R"(usage: tumblet-render [options]

Plays a chord or a MIDI file into a VST 2.4 MIDI plug-in (Tumblet.so by default) under a
simulated host transport and writes what comes out.

Plug-in:
  --plugin PATH          plug-in to load (default: Tumblet.so beside this tool,
                         else the installed one)
  --host-name NAME       product name the host reports (default: tumblet-render)
Input:
  --chord "C4 E4 G4"     notes by name (C4 = 60) or number; velocity with name:vel (C4:90)
  --hold BEATS           how long the chord before it is held (default: the whole render)
  --at BEAT --chord ...  a further chord starting at BEAT of the render (repeatable)
  --midi-in FILE.mid     play a Standard MIDI File instead (notes and controllers)
Transport:
  --tempo BPM            default 120, or the MIDI file's first tempo
  --time-sig N/D         default 4/4, or the MIDI file's first time signature
  --bars N | --beats N   render length (default 4 bars, at most 100000 beats)
  --start BEAT           song position of the first sample (default 0)
  --loop A:B             host cycle from beat A to beat B; the song jumps back at B
  --stopped              transport stopped: the plug-in runs its own clock
  --sample-rate HZ       default 44100
  --block N              largest block in samples (default 512)
  --seed N               seed of the plug-in's random amounts and orders; every render
                         prints the seed it used, so --seed N plays it again
Parameters and presets:
  --set "Name=VALUE"     a VALUE the parameter displays means that display (Rate=1/16,
                         Latch=On, Speed=1 is 1x); any other number, and every number
                         with a sign, is a real value (Speed=+1, Gate=150)
  --list-params          list index, name, display text, real and normalised value
  --preset FILE          load a preset file as the program chunk before playing
  --save-preset FILE     save the program chunk after --preset and --set
Output:
  --out FILE.mid         Standard MIDI File, 960 ticks per beat, with tempo and metre
  --print                table of the notes that came out
  --png FILE.png         piano roll of input and output

Exit status: 0 success, 2 bad command line or input, 1 failure of a file or the plug-in
(a malformed MIDI file is named with its problem and byte offset; nothing is written).
)";
}

} // namespace tumblet
