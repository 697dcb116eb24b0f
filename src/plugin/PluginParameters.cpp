// The 22 parameters: their definitions, the change handlers that drive the engine and the
// display handlers that give the host and the editor their texts.

#include "plugin/Plugin.h"

#include "base/UserLocale.h"
#include "engine/IntText.h"
#include "engine/Rounding.h"
#include "plugin/ValueReader.h"
#include "plugin/ValueWriter.h"
#include "vst2/HostText.h"

#include <cmath>

namespace tumblet
{

namespace
{

// How a parameter's value reads as text.
enum class TDisplayRule
{
    List,          ///< the text of its value list's entry
    OnOff,         ///< "Off" or "On"
    Plain,         ///< an integer
    Signed,        ///< an integer with its sign, "+" for positives
    Percent,       ///< an integer and "%"
    SignedPercent, ///< an integer with its sign, and "%"
    Speed,         ///< the engine's speed factor text
};

// Which of the module's value lists a list-valued parameter uses.
enum TListSlot : std::int8_t
{
    kNoList = -1,
    kRateList,
    kTypeList,
    kNoteOrderList,
    kOctaveOrderList,
    kVelocityModeList,
};

std::int32_t Rounded(float value)
{
    return RoundEvenInt(static_cast<double>(value));
}

// Speed values this close to 0 mean "no change of speed". The comparison is made in double so
// that the float nearest to 2.37 (just below it) still falls inside.
constexpr double kSpeedDeadZone = 2.37;

/// Drives the engine from a new real value; listCode is the engine code of a list entry.
using TApplyValue = void (*)(TVSTPlugin& plugin, float value, std::uint8_t listCode);

struct TParameterRow
{
    const char* Name;
    const char* ShortLabel;
    float Min;
    float Max;
    float Default;
    TDisplayRule Display;
    TListSlot List;
    TApplyValue Apply;
};

// Engine setters by the kind of value they take.
template <void (TArpeggiator::*Setter)(std::int32_t)>
void ApplyInteger(TVSTPlugin& plugin, float value, std::uint8_t)
{
    (plugin.Arpeggiator().*Setter)(Rounded(value));
}

template <void (TArpeggiator::*Setter)(std::uint8_t)>
void ApplyListCode(TVSTPlugin& plugin, float, std::uint8_t listCode)
{
    (plugin.Arpeggiator().*Setter)(listCode);
}

void ApplyLatch(TVSTPlugin& plugin, float value, std::uint8_t)
{
    plugin.Arpeggiator().SetLatch(Rounded(value) != 0);
    // The information line shows the held notes, which latching changes.
    plugin.EditorMailbox().Post(TEditorMailbox::TKind::ShowInfo, "", 0);
}

void ApplyRestart(TVSTPlugin& plugin, float value, std::uint8_t)
{
    plugin.Arpeggiator().SetRestart(Rounded(value) != 0);
}

void ApplySpeed(TVSTPlugin& plugin, float value, std::uint8_t)
{
    const double speed = value;
    const bool still = -kSpeedDeadZone < speed && speed < kSpeedDeadZone;
    plugin.Arpeggiator().SetSpeed(still ? 0 : Rounded(value));
}

using A = TArpeggiator;
using D = TDisplayRule;

// One row per parameter. Index order is the host's parameter order and the order of the value
// store.
constexpr TParameterRow kParameters[] = {
    {"Rate", "Rate", 0, 10, 3, D::List, kRateList, &ApplyListCode<&A::SetRate>},
    {"Type", "Type", 0, 2, 1, D::List, kTypeList, &ApplyListCode<&A::SetNoteType>},
    {"Note Order", "Note Or", 0, 17, 0, D::List, kNoteOrderList, &ApplyListCode<&A::SetNoteOrder>},
    {"Octaves", "Octaves", 1, 5, 2, D::Plain, kNoList, &ApplyInteger<&A::SetOctaves>},
    {"Octave Order", "OctaveO", 0, 7, 0, D::List, kOctaveOrderList,
     &ApplyListCode<&A::SetOctaveOrder>},
    {"Gate", "Gate", 0, 200, 100, D::Percent, kNoList, &ApplyInteger<&A::SetGate>},
    {"Velocity Mode", "Velocit", 0, 6, 0, D::List, kVelocityModeList,
     &ApplyListCode<&A::SetVelocityMode>},
    {"Velocity Fixed", "Velocit", 0, 127, 100, D::Plain, kNoList,
     &ApplyInteger<&A::SetVelocityFixed>},
    {"Velocity", "Velocit", -100, 100, 0, D::SignedPercent, kNoList,
     &ApplyInteger<&A::SetVelocityScale>},
    {"Note Probability", "NotePr", 0, 100, 100, D::Percent, kNoList,
     &ApplyInteger<&A::SetNoteProbability>},
    {"Shift", "Shift", -50, 50, 0, D::SignedPercent, kNoList, &ApplyInteger<&A::SetShift>},
    {"Swing", "Swing", 0, 100, 0, D::Percent, kNoList, &ApplyInteger<&A::SetSwing>},
    {"Latch", "Latch", 0, 1, 0, D::OnOff, kNoList, &ApplyLatch},
    {"Restart", "Restart", 0, 1, 0, D::OnOff, kNoList, &ApplyRestart},
    {"Transpose", "Transpo", -36, 36, 0, D::Signed, kNoList, &ApplyInteger<&A::SetTranspose>},
    {"Gate Random", "Gate Ra", 0, 200, 0, D::Plain, kNoList, &ApplyInteger<&A::SetGateRandom>},
    {"Velocity Random", "Velocit", 0, 200, 0, D::Plain, kNoList,
     &ApplyInteger<&A::SetVelocityRandom>},
    {"Shift Random", "Shift R", 0, 100, 0, D::Plain, kNoList, &ApplyInteger<&A::SetShiftRandom>},
    {"Swing Random", "Swing R", 0, 100, 0, D::Plain, kNoList, &ApplyInteger<&A::SetSwingRandom>},
    {"Rest", "Rest", 0, 16, 0, D::Plain, kNoList, &ApplyInteger<&A::SetRest>},
    {"Octaves Random", "Octaves", 0, 300, 0, D::Plain, kNoList,
     &ApplyInteger<&A::SetOctavesRandom>},
    {"Speed", "Speed", -300, 300, 0, D::Speed, kNoList, &ApplySpeed},
};
constexpr std::int32_t kParameterCount = static_cast<std::int32_t>(std::size(kParameters));

const TParameterRow* RowNamed(std::string_view name)
{
    for (const TParameterRow& row : kParameters)
        if (name == row.Name)
            return &row;
    return nullptr;
}

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
    for (const TParameterRow& definition : kParameters)
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
    for (const TParameterRow& definition : kParameters)
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

const TBlxValueList* TVSTPlugin::ValueListAt(std::int32_t slot) const
{
    const TBlxValueList* lists[] = {FRateList.get(), FNoteTypeList.get(), FNoteOrderList.get(),
                                    FOctaveOrderList.get(), FVelocityModeList.get()};
    return slot >= 0 && slot < static_cast<std::int32_t>(std::size(lists)) ? lists[slot] : nullptr;
}

const TBlxValueList* TVSTPlugin::ValueList(std::string_view name) const
{
    const TParameterRow* row = RowNamed(name);
    return row != nullptr ? ValueListAt(row->List) : nullptr;
}

void TVSTPlugin::ParameterChange(std::int32_t index, float value)
{
    if (index < 0 || index >= kParameterCount)
        return;
    ParameterValues().Items(index).SetValue(value);
    const TParameterRow& row = kParameters[index];
    std::uint8_t listCode = 0;
    if (const TBlxValueList* list = ValueListAt(row.List))
        listCode = list->Items(list->FindByTag(Rounded(value))).EngineCode();
    row.Apply(*this, value, listCode);
}

std::string TVSTPlugin::ParameterDisplay(std::int32_t index)
{
    if (index < 0 || index >= kParameterCount)
        return {};
    const TParameterRow& row = kParameters[index];
    const TVSTParameterValue& item = ParameterValues().Items(index);
    const std::int64_t rounded = item.RoundedValue();
    std::string text;
    switch (row.Display)
    {
    case TDisplayRule::List:
        if (const TBlxValueList* list = ValueListAt(row.List))
        {
            const auto tag = static_cast<std::int32_t>(static_cast<std::uint32_t>(rounded));
            text = list->Items(list->FindByTag(tag)).Name;
        }
        return text;
    case TDisplayRule::OnOff:
        return rounded == 0 ? "Off" : "On";
    case TDisplayRule::Speed:
        return TArpeggiator::SpeedText(item.Value(), UserDecimalSeparator());
    case TDisplayRule::SignedPercent:
        return IntegerText(rounded, true) + "%";
    case TDisplayRule::Signed:
        return IntegerText(rounded, true);
    case TDisplayRule::Percent:
        return IntegerText(rounded, false) + "%";
    case TDisplayRule::Plain:
        break;
    }
    return IntegerText(rounded, false);
}

void TVSTPlugin::ValueListText(const std::string& name, std::int32_t tag, std::string& text)
{
    if (const TBlxValueList* list = ValueList(name))
        text = list->Items(list->FindByTag(tag)).Name;
}

} // namespace tumblet
