// The 22 parameters: their definitions, the change handlers that drive the engine and the
// display handlers that give the host and the editor their texts.

#include "plugin/Plugin.h"

#include "engine/IntText.h"
#include "engine/Rounding.h"
#include "host/HostText.h"
#include "plugin/ValueReader.h"
#include "plugin/ValueWriter.h"

#include <cmath>

namespace tumblet
{

namespace
{

struct TParameterDefinition
{
    const char* Name;
    const char* ShortLabel;
    float Min;
    float Max;
    float Default;
};

// Index order is the host's parameter order and the order of the value store.
constexpr TParameterDefinition kParameters[] = {
    {"Rate", "Rate", 0, 10, 3},
    {"Type", "Type", 0, 2, 1},
    {"Note Order", "Note Or", 0, 17, 0},
    {"Octaves", "Octaves", 1, 5, 2},
    {"Octave Order", "OctaveO", 0, 7, 0},
    {"Gate", "Gate", 0, 200, 100},
    {"Velocity Mode", "Velocit", 0, 6, 0},
    {"Velocity Fixed", "Velocit", 0, 127, 100},
    {"Velocity", "Velocit", -100, 100, 0},
    {"Note Probability", "NotePr", 0, 100, 100},
    {"Shift", "Shift", -50, 50, 0},
    {"Swing", "Swing", 0, 100, 0},
    {"Latch", "Latch", 0, 1, 0},
    {"Restart", "Restart", 0, 1, 0},
    {"Transpose", "Transpo", -36, 36, 0},
    {"Gate Random", "Gate Ra", 0, 200, 0},
    {"Velocity Random", "Velocit", 0, 200, 0},
    {"Shift Random", "Shift R", 0, 100, 0},
    {"Swing Random", "Swing R", 0, 100, 0},
    {"Rest", "Rest", 0, 16, 0},
    {"Octaves Random", "Octaves", 0, 300, 0},
    {"Speed", "Speed", -300, 300, 0},
};
constexpr std::int32_t kParameterCount = static_cast<std::int32_t>(std::size(kParameters));

// The order of the values in a state stream ("Latch" comes fourth). Old streams end after the
// first 20; the last two arrived later, one version each.
constexpr const char* kStreamOrder[] = {
    "Rate",
    "Type",
    "Note Order",
    "Latch",
    "Octaves",
    "Octave Order",
    "Gate",
    "Velocity Mode",
    "Velocity Fixed",
    "Velocity",
    "Note Probability",
    "Shift",
    "Swing",
    "Restart",
    "Transpose",
    "Gate Random",
    "Velocity Random",
    "Shift Random",
    "Swing Random",
    "Rest",
    "Octaves Random",
    "Speed",
};
static_assert(std::size(kStreamOrder) == kParameterCount);
constexpr std::size_t kOldStreamValues = 20;
// Streams from this version on wrap the values in a list of their own.
constexpr const char* kInnerListVersion = "1.10";
static_assert(kParameterCount == 22);

enum TParameterIndex : std::int32_t
{
    kRate,
    kType,
    kNoteOrder,
    kOctaves,
    kOctaveOrder,
    kGate,
    kVelocityMode,
    kVelocityFixed,
    kVelocity,
    kNoteProbability,
    kShift,
    kSwing,
    kLatch,
    kRestart,
    kTranspose,
    kGateRandom,
    kVelocityRandom,
    kShiftRandom,
    kSwingRandom,
    kRest,
    kOctavesRandom,
    kSpeed
};

// Speed values this close to 0 mean "no change of speed". The comparison is made in double so
// that the float nearest to 2.37 (just below it) still falls inside.
constexpr double kSpeedDeadZone = 2.37;

std::int32_t Rounded(float value)
{
    return RoundEvenInt(static_cast<double>(value));
}

// The integer texts of the displays: 0 as "0", negatives with U+2212, positives with "+" in
// the signed form.
std::string IntegerText(std::int64_t rounded, bool isSigned)
{
    const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(rounded));
    if (isSigned && value > 0)
        return "+" + IntText(value);
    return IntText(value);
}

} // namespace

void TVSTPlugin::DefineParameters()
{
    for (const TParameterDefinition& definition : kParameters)
    {
        TCustomVstParameterProperty& property = ParameterProperties().Add();
        property.SetDisplayName(definition.Name);
        property.SetShortLabel(definition.ShortLabel);
        property.SetMin(definition.Min);
        property.SetMax(definition.Max);
        property.SetCurve(TCurveType::ctLinear);
        property.SetCurveFactor(1.0f);
        property.SetSmoothingFactor(0.0f);
        property.SetUnits("");
        property.SetCanBeAutomated(true);
        property.StepFloat = 1.0f;
        property.SmallStepFloat = 0.5f;
        property.LargeStepFloat = 1.0f;
        property.StepInteger = 1;
        property.LargeStepInteger = 1;
        property.ReportVST2Properties = false;
    }
    BindParameterHandlers();
}

void TVSTPlugin::BindParameterHandlers()
{
    for (std::int32_t i = 0; i < kParameterCount; ++i)
    {
        TCustomVstParameterProperty& property = ParameterProperties()[i];
        property.OnParameterChange = [this](TCustomVstParameterProperty&, std::int32_t index,
                                            float& value) { ParameterChange(index, value); };
        property.OnCustomParameterDisplay =
            [this](TCustomVstParameterProperty&, std::int32_t index, std::string& preDefined)
        { preDefined = ParameterDisplay(index); };
    }
    OnGetChunkParameter = [this](TVSTModuleWithPrograms&, std::int32_t index)
    { return VSTModuleGetChunkParameter(index); };
}

void TVSTPlugin::DefineParameterValues()
{
    for (const TParameterDefinition& definition : kParameters)
        ParameterValues().Add(definition.Name, definition.Default);
}

void TVSTPlugin::WriteParameterValues(TValueWriter& writer)
{
    writer.WriteListBegin();
    for (const char* name : kStreamOrder)
        writer.WriteFloat(ParameterValues().Items(std::string_view(name)).Value());
    writer.WriteListEnd();
}

void TVSTPlugin::ReadParameterValues(TValueReader& reader, const std::string& version,
                                     TStateContent& content)
{
    // An ordinal comparison: "1.2", "1.9" and "2" count as new, "" and "1.0" as old.
    const bool innerList = version.compare(kInnerListVersion) >= 0;
    if (innerList)
        reader.ExpectListBegin();
    for (std::size_t i = 0; i < kOldStreamValues; ++i)
        content.AddValue(kStreamOrder[i], reader.ReadFloat());
    if (!innerList)
        return;
    for (std::size_t i = kOldStreamValues; i < std::size(kStreamOrder); ++i)
    {
        if (reader.EndOfList())
            break;
        content.AddValue(kStreamOrder[i], reader.ReadFloat());
    }
    reader.ExpectListEnd();
}

float TVSTPlugin::VSTModuleGetChunkParameter(std::int32_t index)
{
    TVSTParameterValues& values = ParameterValues();
    if (index < 0 || index >= values.Count())
        return 0.0f;
    return values.Items(index).Value();
}

std::uint8_t TVSTPlugin::ListCode(const TBlxValueList& list, float value, int which) const
{
    const int entry = list.FindByTag(Rounded(value));
    switch (which)
    {
    case kRate:
        return FRateList->Items(entry).RateIndex;
    case kType:
        return FNoteTypeList->Items(entry).NoteType;
    case kNoteOrder:
        return FNoteOrderList->Items(entry).NoteOrder;
    case kOctaveOrder:
        return FOctaveOrderList->Items(entry).OctaveOrder;
    default:
        return FVelocityModeList->Items(entry).VelocityMode;
    }
}

void TVSTPlugin::ParameterChange(std::int32_t index, float value)
{
    if (index < 0 || index >= kParameterCount)
        return;
    ParameterValues().Items(index).SetValue(value);
    TArpeggiator& engine = *FArpeggiator;
    switch (index)
    {
    case kRate:
        engine.SetRate(ListCode(*FRateList, value, kRate));
        break;
    case kType:
        engine.SetNoteType(ListCode(*FNoteTypeList, value, kType));
        break;
    case kNoteOrder:
        engine.SetNoteOrder(ListCode(*FNoteOrderList, value, kNoteOrder));
        break;
    case kOctaves:
        engine.SetOctaves(Rounded(value));
        break;
    case kOctaveOrder:
        engine.SetOctaveOrder(ListCode(*FOctaveOrderList, value, kOctaveOrder));
        break;
    case kGate:
        engine.SetGate(Rounded(value));
        break;
    case kVelocityMode:
        engine.SetVelocityMode(ListCode(*FVelocityModeList, value, kVelocityMode));
        break;
    case kVelocityFixed:
        engine.SetVelocityFixed(Rounded(value));
        break;
    case kVelocity:
        engine.SetVelocityScale(Rounded(value));
        break;
    case kNoteProbability:
        engine.SetNoteProbability(Rounded(value));
        break;
    case kShift:
        engine.SetShift(Rounded(value));
        break;
    case kSwing:
        engine.SetSwing(Rounded(value));
        break;
    case kLatch:
        engine.SetLatch(Rounded(value) != 0);
        EditorMailbox().Post(TEditorMailbox::TKind::ShowInfo, "", 0);
        break;
    case kRestart:
        engine.SetRestart(Rounded(value) != 0);
        break;
    case kTranspose:
        engine.SetTranspose(Rounded(value));
        break;
    case kGateRandom:
        engine.SetGateRandom(Rounded(value));
        break;
    case kVelocityRandom:
        engine.SetVelocityRandom(Rounded(value));
        break;
    case kShiftRandom:
        engine.SetShiftRandom(Rounded(value));
        break;
    case kSwingRandom:
        engine.SetSwingRandom(Rounded(value));
        break;
    case kRest:
        engine.SetRest(Rounded(value));
        break;
    case kOctavesRandom:
        engine.SetOctavesRandom(Rounded(value));
        break;
    case kSpeed:
    {
        const double speed = value;
        const bool still = -kSpeedDeadZone < speed && speed < kSpeedDeadZone;
        engine.SetSpeed(still ? 0 : Rounded(value));
        break;
    }
    }
}

std::string TVSTPlugin::ParameterDisplay(std::int32_t index)
{
    const TVSTParameterValue& item = ParameterValues().Items(index);
    const std::int64_t rounded = item.RoundedValue();
    const auto tag = static_cast<std::int32_t>(static_cast<std::uint32_t>(rounded));
    std::string text;
    switch (index)
    {
    case kRate:
    case kType:
    case kNoteOrder:
    case kOctaveOrder:
    case kVelocityMode:
        ValueListText(kParameters[index].Name, tag, text);
        return text;
    case kLatch:
    case kRestart:
        return rounded == 0 ? "Off" : "On";
    case kSpeed:
        return TArpeggiator::SpeedText(item.Value(), UserDecimalSeparator());
    case kVelocity:
    case kShift:
        return IntegerText(rounded, true) + "%";
    case kTranspose:
        return IntegerText(rounded, true);
    case kGate:
    case kNoteProbability:
    case kSwing:
        return IntegerText(rounded, false) + "%";
    default:
        return IntegerText(rounded, false);
    }
}

const TBlxValueList* TVSTPlugin::ValueList(const std::string& name) const
{
    if (name == "Rate")
        return FRateList.get();
    if (name == "Type")
        return FNoteTypeList.get();
    if (name == "Note Order")
        return FNoteOrderList.get();
    if (name == "Octave Order")
        return FOctaveOrderList.get();
    if (name == "Velocity Mode")
        return FVelocityModeList.get();
    return nullptr;
}

void TVSTPlugin::ValueListText(const std::string& name, std::int32_t tag, std::string& text)
{
    if (const TBlxValueList* list = ValueList(name))
        text = list->Items(list->FindByTag(tag)).Name;
}

} // namespace tumblet
