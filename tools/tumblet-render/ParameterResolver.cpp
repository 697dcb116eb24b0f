#include "ParameterResolver.h"

#include "OptionParser.h"
#include "PluginHost.h"
#include "RenderError.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tumblet
{

namespace
{

// Fine enough to meet every whole value of a 600-unit range at least twice.
constexpr int kSweepSteps = 2401;
// Error messages list at most this many display texts before shortening the list.
constexpr std::size_t kMaxListedTexts = 40;
constexpr std::size_t kListedEnds = 6;
const std::string kUnicodeMinus = "\xE2\x88\x92"; // U+2212, how Tumblet writes negatives

struct TKnownParameter
{
    const char* Name;
    double Min;
    double Max;
};

// Tumblet's real ranges: the host cannot ask for them, since the plug-in reports no parameter
// properties, so a real value such as Speed=-50 needs them to become a normalised value.
constexpr TKnownParameter kTumbletParameters[] = {
    {"Rate", 0, 10},
    {"Type", 0, 2},
    {"Note Order", 0, 17},
    {"Octaves", 1, 5},
    {"Octave Order", 0, 7},
    {"Gate", 0, 200},
    {"Velocity Mode", 0, 6},
    {"Velocity Fixed", 0, 127},
    {"Velocity", -100, 100},
    {"Note Probability", 0, 100},
    {"Shift", -50, 50},
    {"Swing", 0, 100},
    {"Latch", 0, 1},
    {"Restart", 0, 1},
    {"Transpose", -36, 36},
    {"Gate Random", 0, 200},
    {"Velocity Random", 0, 200},
    {"Shift Random", 0, 100},
    {"Swing Random", 0, 100},
    {"Rest", 0, 16},
    {"Octaves Random", 0, 300},
    {"Speed", -300, 300},
};
constexpr std::int32_t kTumbletId = FourCC('b', 'x', '0', '2');

std::string ReplaceMinus(std::string text)
{
    for (auto pos = text.find(kUnicodeMinus); pos != std::string::npos;
         pos = text.find(kUnicodeMinus))
        text.replace(pos, kUnicodeMinus.size(), "-");
    return text;
}

std::string Relaxed(const std::string& text)
{
    std::string out;
    for (char c : ReplaceMinus(text))
        if (!std::isspace(static_cast<unsigned char>(c)))
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Pads to a width in characters, not bytes: display texts may hold UTF-8 minus signs.
std::string PadRight(const std::string& text, std::size_t width)
{
    std::size_t characters = 0;
    for (unsigned char c : text)
        characters += (c & 0xC0) != 0x80 ? 1 : 0;
    return text + std::string(characters < width ? width - characters : 1, ' ');
}

std::string FormatNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

std::optional<double> DisplayedNumber(const std::string& text)
{
    std::string clean = ReplaceMinus(text);
    const auto first = clean.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    std::string_view view(clean);
    view.remove_prefix(first);
    if (!view.empty() && view.front() == '+')
        view.remove_prefix(1);
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(view.data(), view.data() + view.size(), value);
    if (ec != std::errc() || ptr == view.data())
        return std::nullopt;
    // A unit may follow ("dB", "%", "x"), but not more figures: "1/16" is a name, not 1.
    for (const char* c = ptr; c != view.data() + view.size(); ++c)
        if (std::isdigit(static_cast<unsigned char>(*c)) || *c == '/' || *c == ':')
            return std::nullopt;
    return value;
}

TParameterResolver::TParameterResolver(TPluginHost& host) : FHost(host) {}

void TParameterResolver::Apply(const std::string& setting)
{
    const auto equals = setting.find('=');
    const std::int32_t index = FindIndex(setting.substr(0, equals));
    FHost.SetParameter(index, ResolveValue(index, setting.substr(equals + 1)));
}

void TParameterResolver::List(std::ostream& out) const
{
    constexpr std::size_t kIndexWidth = 7;
    constexpr std::size_t kTextWidth = 21;
    constexpr std::size_t kRealWidth = 11;
    constexpr double kRealDecimals = 1000.0;
    // Plug-ins whose real ranges the tool knows show the real value too: the two forms --set
    // takes.
    const bool realColumn = FHost.NumParams() > 0 && KnownRange(0).has_value();
    out << PadRight("index", kIndexWidth) << PadRight("name", kTextWidth)
        << PadRight("display", kTextWidth) << (realColumn ? PadRight("real", kRealWidth) : "")
        << "normalised\n";
    for (std::int32_t i = 0; i < FHost.NumParams(); ++i)
    {
        std::string display = FHost.ParamDisplay(i);
        const std::string label = FHost.ParamLabel(i);
        if (!label.empty())
            display += " " + label;
        const double normalised = FHost.GetParameter(i);
        std::string real = "-";
        if (const auto known = KnownRange(i))
            real = FormatNumber(
                std::round((known->Min + normalised * (known->Max - known->Min)) * kRealDecimals) /
                kRealDecimals);
        char value[32];
        std::snprintf(value, sizeof value, "%.6f", normalised);
        out << PadRight(std::to_string(i), kIndexWidth) << PadRight(FHost.ParamName(i), kTextWidth)
            << PadRight(display, kTextWidth) << (realColumn ? PadRight(real, kRealWidth) : "")
            << value << '\n';
    }
}

std::int32_t TParameterResolver::FindIndex(const std::string& name) const
{
    std::int32_t relaxedMatch = -1;
    int relaxedCount = 0;
    std::string names;
    for (std::int32_t i = 0; i < FHost.NumParams(); ++i)
    {
        const std::string candidate = FHost.ParamName(i);
        if (candidate == name)
            return i;
        if (Relaxed(candidate) == Relaxed(name))
        {
            relaxedMatch = i;
            ++relaxedCount;
        }
        names += (i > 0 ? ", " : "") + candidate;
    }
    if (relaxedCount == 1)
        return relaxedMatch;
    if (FHost.NumParams() == 0)
        ThrowUsage("unknown parameter '" + name + "': the plug-in has no parameters");
    ThrowUsage("unknown parameter '" + name + "'; valid names: " + names);
}

std::optional<TParameterResolver::TRange> TParameterResolver::KnownRange(std::int32_t index) const
{
    if (FHost.Effect()->uniqueID != kTumbletId)
        return std::nullopt;
    const std::string name = FHost.ParamName(index);
    for (const auto& known : kTumbletParameters)
        if (name == known.Name)
            return TRange{known.Min, known.Max};
    return std::nullopt;
}

std::vector<TParameterResolver::TDisplayRun> TParameterResolver::SweepDisplays(std::int32_t index)
{
    const float original = FHost.GetParameter(index);
    std::vector<TDisplayRun> runs;
    for (int step = 0; step < kSweepSteps; ++step)
    {
        const float value = static_cast<float>(step) / (kSweepSteps - 1);
        FHost.SetParameter(index, value);
        const std::string text = FHost.ParamDisplay(index);
        if (runs.empty() || runs.back().Text != text)
            runs.push_back({text, value, value});
        else
            runs.back().Last = value;
    }
    FHost.SetParameter(index, original);
    return runs;
}

std::optional<TParameterResolver::TRange> TParameterResolver::DisplayedRange(std::int32_t index)
{
    const float original = FHost.GetParameter(index);
    FHost.SetParameter(index, 0.0f);
    const auto low = DisplayedNumber(FHost.ParamDisplay(index));
    FHost.SetParameter(index, 1.0f);
    const auto high = DisplayedNumber(FHost.ParamDisplay(index));
    FHost.SetParameter(index, original);
    if (!low || !high || *low == *high)
        return std::nullopt;
    return TRange{*low, *high};
}

std::optional<float> TParameterResolver::FromNumber(double number,
                                                    const std::vector<TDisplayRun>& runs)
{
    const bool listValued =
        std::none_of(runs.begin(), runs.end(),
                     [](const TDisplayRun& run) { return DisplayedNumber(run.Text).has_value(); });
    if (listValued)
    {
        // A list parameter's real value is its position in the list.
        if (number != std::floor(number) || number < 0 ||
            number >= static_cast<double>(runs.size()))
            return std::nullopt;
        const auto& run = runs[static_cast<std::size_t>(number)];
        return (run.First + run.Last) / 2;
    }
    const TDisplayRun* best = nullptr;
    double bestDistance = 0.0;
    double lowest = number;
    double highest = number;
    for (const auto& run : runs)
    {
        const auto shown = DisplayedNumber(run.Text);
        if (!shown)
            continue;
        lowest = std::min(lowest, *shown);
        highest = std::max(highest, *shown);
        if (best == nullptr || std::fabs(*shown - number) < bestDistance)
        {
            best = &run;
            bestDistance = std::fabs(*shown - number);
        }
    }
    // Within the displayed range the nearest shown value wins (a display may be coarser than
    // the sweep, or not linear); outside it only what the display would round to.
    const bool inside = lowest < number && number < highest;
    if (best == nullptr || (!inside && bestDistance > 0.5))
        return std::nullopt;
    return (best->First + best->Last) / 2;
}

float TParameterResolver::ResolveValue(std::int32_t index, const std::string& value)
{
    // The rule: a value the parameter displays means that display (Speed=1 is "1", that is
    // 1x); any other number, and every number written with a sign, is a real value
    // (Speed=+1, Gate=150).
    const std::string clean = ReplaceMinus(value);
    const bool signedNumber = !clean.empty() && (clean.front() == '+' || clean.front() == '-');
    double number = 0.0;
    const bool numeric = ParseNumber(clean, number);
    const auto known = KnownRange(index);
    std::vector<TDisplayRun> runs;
    if (!(numeric && signedNumber))
    {
        runs = SweepDisplays(index);
        if (const auto shown = FromText(value, runs, known))
            return *shown;
    }
    if (numeric && known)
    {
        if (number < std::min(known->Min, known->Max) || number > std::max(known->Min, known->Max))
            ThrowUsage("value " + value + " for " + FHost.ParamName(index) +
                       " is outside its range " + FormatNumber(known->Min) + " to " +
                       FormatNumber(known->Max));
        return static_cast<float>((number - known->Min) / (known->Max - known->Min));
    }
    if (numeric)
        if (const auto normalised = FromDisplayedRange(index, number))
            return *normalised;
    if (runs.empty())
        runs = SweepDisplays(index);
    const auto normalised = numeric ? FromNumber(number, runs) : std::nullopt;
    if (!normalised)
        ThrowBadValue(index, value, runs);
    return *normalised;
}

std::optional<float> TParameterResolver::FromDisplayedRange(std::int32_t index, double number)
{
    const auto range = DisplayedRange(index);
    if (!range)
        return std::nullopt;
    const double normalised = (number - range->Min) / (range->Max - range->Min);
    if (normalised < 0.0 || normalised > 1.0)
        return std::nullopt;
    // Linear displays map directly; anything else goes through the sweep.
    const float original = FHost.GetParameter(index);
    FHost.SetParameter(index, static_cast<float>(normalised));
    const auto shown = DisplayedNumber(FHost.ParamDisplay(index));
    FHost.SetParameter(index, original);
    if (!shown || std::fabs(*shown - number) > 0.5)
        return std::nullopt;
    return static_cast<float>(normalised);
}

std::optional<float> TParameterResolver::FromText(const std::string& value,
                                                  const std::vector<TDisplayRun>& runs,
                                                  const std::optional<TRange>& known)
{
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& run : runs)
            if (pass == 0 ? run.Text == value : Relaxed(run.Text) == Relaxed(value))
            {
                if (!known)
                    return (run.First + run.Last) / 2;
                // Land on the whole real value the text stands for, as the editor would.
                const double span = known->Max - known->Min;
                const double real = std::round(known->Min + (run.First + run.Last) / 2 * span);
                return static_cast<float>((real - known->Min) / span);
            }
    return std::nullopt;
}

void TParameterResolver::ThrowBadValue(std::int32_t index, const std::string& value,
                                       const std::vector<TDisplayRun>& runs)
{
    std::string texts;
    for (std::size_t i = 0; i < runs.size(); ++i)
    {
        if (runs.size() > kMaxListedTexts && i == kListedEnds)
        {
            texts += ", ...";
            i = runs.size() - kListedEnds;
        }
        texts += (i > 0 ? ", " : "") + runs[i].Text;
    }
    std::string range;
    const auto first = DisplayedNumber(runs.front().Text);
    const auto last = DisplayedNumber(runs.back().Text);
    if (const auto known = KnownRange(index))
        range = " or a number from " + FormatNumber(known->Min) + " to " + FormatNumber(known->Max);
    else if (runs.size() > kMaxListedTexts && first && last)
        texts = "a number from " + FormatNumber(std::min(*first, *last)) + " to " +
                FormatNumber(std::max(*first, *last)) + " as the plug-in displays it";
    ThrowUsage("invalid value '" + value + "' for " + FHost.ParamName(index) +
               "; valid values: " + texts + range);
}

} // namespace tumblet
