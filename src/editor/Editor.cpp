#include "editor/Editor.h"

#include "editor/EditorTexts.h"
#include "engine/Arpeggiator.h"
#include "plugin/Plugin.h"
#include "ui/BlxApplication.h"
#include "ui/BlxLabel.h"
#include "ui/BlxLocale.h"
#include "ui/BlxText.h"

#include <cmath>
#include <exception>
#include <mutex>
#include <span>

namespace tumblet
{

namespace
{

// The editor's size, pixels at 96 dots per inch.

// Dial strips in the editor's image list, as LoadDialStrips adds them.
constexpr int kDial100 = 0;
constexpr int kDial100Center = 1;
constexpr int kDial5 = 2;
constexpr int kDial200 = 3;
constexpr float kWheelStep = 0.2f;
constexpr int kDialSize = 48;

// Colours the slider and the numeric inputs show without a skin: the classic system colours
// of an active caption, a window frame and a window.
constexpr TBlxColor kActiveCaption = TBlxColor::Rgb(0x99, 0xB4, 0xD1);
constexpr TBlxColor kWindowFrame = TBlxColor::Rgb(0x64, 0x64, 0x64);
constexpr TBlxColor kRandomGreen = TBlxColor::Rgb(0xC0, 0xDC, 0xC0);

const TBlxFont kLabelFont{kBlxFontSegoeUI, 13, true, BlxColors::Black};
const TBlxFont kControlFont{kBlxFontSegoeUI, 12, true, BlxColors::Black};

/// The order in which RefreshControls brings the controls up to date.
constexpr const char* kRefreshOrder[] = {
    "Gate",          "Gate Random",    "Latch",     "Note Order",     "Note Probability",
    "Type",          "Octave Order",   "Octaves",   "Octaves Random", "Rate",
    "Rest",          "Restart",        "Shift",     "Shift Random",   "Speed",
    "Swing",         "Swing Random",   "Transpose", "Velocity",       "Velocity Fixed",
    "Velocity Mode", "Velocity Random"};

struct TDialRow
{
    const char* Name;
    TBlxGuiStitchedDial* TfrmEditor::*Member;
    int Left, Top;
    float Min, Max, DefaultValue, ScrollRange, WheelStep;
    int Image;
};

constexpr TDialRow kDials[] = {
    {"Speed", &TfrmEditor::dialSpeed, 13, 38, -300, 300, 0, 1200, kWheelStep, kDial200},
    {"Octaves", &TfrmEditor::dialOctaves, 89, 38, 1, 5, 1, 400, 3, kDial5},
    {"Octaves Random", &TfrmEditor::dialOctavesRandom, 89, 122, 0, 4, 0, 600, kWheelStep, kDial5},
    {"Velocity", &TfrmEditor::dialVelocity, 165, 38, -100, 100, 0, 600, kWheelStep, kDial200},
    {"Velocity Random", &TfrmEditor::dialVelocityRandom, 165, 122, 0, 200, 0, 600, kWheelStep,
     kDial100},
    {"Gate", &TfrmEditor::dialGate, 241, 38, 0, 200, 0, 600, kWheelStep, kDial200},
    {"Gate Random", &TfrmEditor::dialGateRandom, 241, 122, 0, 200, 0, 600, kWheelStep, kDial100},
    {"Shift", &TfrmEditor::dialShift, 316, 38, -50, 50, 0, 600, kWheelStep, kDial100Center},
    {"Shift Random", &TfrmEditor::dialShiftRandom, 316, 122, 0, 100, 0, 600, kWheelStep, kDial100},
    {"Swing", &TfrmEditor::dialSwing, 393, 38, 0, 100, 0, 600, kWheelStep, kDial100},
    {"Swing Random", &TfrmEditor::dialSwingRandom, 393, 122, 0, 100, 0, 600, kWheelStep, kDial100},
    {"Note Probability", &TfrmEditor::dialNoteProbability, 468, 38, 0, 100, 0, 600, kWheelStep,
     kDial100},
};

using TLabelRow = TfrmEditor::TLabelRow;

// Column headings inside panControls, centred over their dials.
constexpr TLabelRow kDialLabels[] = {
    {"lblSpeed", "Speed", 17, 14, 41},
    {"lblOctaves", "Octaves", 88, 15, 52},
    {"StaticText1", "Random", 87, 98, 55},
    {"lblVelocity", "Velocity", 163, 15, 54},
    {"lblVelocityRandom", "Random", 163, 98, 55},
    {"lblGate", "Gate", 249, 14, 32},
    {"lblGateRandom", "Random", 239, 98, 55},
    {"lblShift", "Shift", 324, 14, 33},
    {"lblShiftRandom", "Random", 314, 98, 55},
    {"lblSwing", "Swing", 397, 14, 41},
    {"lblSwingRandom", "Random", 391, 98, 55},
    {"lblNoteProb", "Note Prob.", 457, 14, 71},
};

// The lower row of panMain: captions over the slider, the inputs and the switches.
constexpr TLabelRow kLowerLabels[] = {
    {"lblVelocityFixed", "Velocity Fixed", 157, 238, 91},
    {"lblTranspose", "Transpose", 350, 238, 67},
    {"lblRest", "Rest", 428, 238, 30},
    {"lblRestart", "Restart", 600, 238, 47},
    {"lblLatch", "Latch", 663, 238, 37},
};

struct TListRow
{
    const char* Name;
    const char* LabelName;
    const char* Caption;
    int LabelWidth;
    TBlxSpTBXSpeedButton* TfrmEditor::*Button;
    TBlxPopupMenu TfrmEditor::*Menu;
    const char* ButtonName;
};

// The list buttons down the left of panMain, 58 pixels apart.
constexpr TListRow kLists[] = {
    {"Rate", "lblRate", "Rate", 31, &TfrmEditor::btnRate, &TfrmEditor::ddmRate, "btnRate"},
    {"Type", "lblNoteType", "Type", 34, &TfrmEditor::btnType, &TfrmEditor::ddmType, "btnType"},
    {"Note Order", "lblNoteOrder", "Note Order", 73, &TfrmEditor::btnNoteOrder,
     &TfrmEditor::ddmNoteOrder, "btnNoteOrder"},
    {"Octave Order", "lblOctaveOrder", "Octave Order", 85, &TfrmEditor::btnOctaveOrder,
     &TfrmEditor::ddmOctaveOrder, "btnOctaveOrder"},
    {"Velocity Mode", "lblVelocityMode", "Velocity Mode", 93, &TfrmEditor::btnVelocityMode,
     &TfrmEditor::ddmVelocityMode, "btnVelocityMode"},
};
constexpr int kListTop = 6;
constexpr int kListStep = 58;

int Rounded(float value)
{
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

TfrmEditor::TfrmEditor(TVSTPlugin& module) : TfrmVSTEditorMenu(module), FPlugin(module)
{
    SetName("frmEditor");
    TBlxControl::SetBounds(0, 0, kWidth, kHeight);
    panMain->SetBounds(3, 45, 706, 293);
    panMain->SetAlpha(225);
    panMain->SetBorderVisible(true);
    panMain->SetBorderRadius(5);
    panMain->SetBorderWidth(1);
    panMain->SetBorderColor(BlxColors::White);
    panMain->SetPanelColor(BlxColors::White);
    panMain->SetTransparent(true);
    panMain->Loaded();

    panControls = &panMain->Add<TBlxGuiPanel>();
    panControls->SetName("panControls");
    panControls->SetPalette(Skin());
    panControls->SetBounds(158, 9, 539, 181);
    panControls->SetAlpha(20);
    panControls->SetBorderRadius(1);
    panControls->SetBorderWidth(1);
    panControls->SetBorderColor(BlxColors::White);
    panControls->SetPanelColor(BlxColors::Silver);
    panControls->SetDimBorderColor(true);
    panControls->SetPanelGroupColor(true);
    panControls->SetTransparent(true);
    panControls->Loaded();

    FDialImages.LoadDialStrips();
    CreateListButtons();
    CreateDials();
    CreateValueControls();
}

TfrmEditor::~TfrmEditor()
{
    // A host that closes the editor in the middle of a drag still sees the gesture end.
    if (FGesture.Control != nullptr)
        Plugin().MasterEndEdit(FGesture.Index);
}

TBlxFont TfrmEditor::LabelFontFor(std::span<const TLabelRow> rows)
{
    // The smallest size captions may shrink to when the fall-back face is wider than the
    // designed one, pixels.
    constexpr int kSmallestLabelPx = 11;
    // One size for a whole row of captions: the largest at which each fits its designed width.
    TBlxFont font = kLabelFont;
    auto fits = [&font, rows]
    {
        for (const TLabelRow& row : rows)
            if (BlxText::Extent(font, row.Caption).Width > row.Width)
                return false;
        return true;
    };
    while (!fits() && font.SizePx > kSmallestLabelPx)
        --font.SizePx;
    return font;
}

TBlxLabel& TfrmEditor::AddLabel(TBlxControl& parent, const TLabelRow& row, const TBlxFont& font,
                                bool centred)
{
    constexpr int kLabelHeight = 21;
    TBlxLabel& label = parent.Add<TBlxLabel>();
    label.SetName(row.Name);
    label.SetFont(font);
    label.SetCaption(row.Caption);
    // A caption that still does not fit grows its label around its centre (column headings)
    // or to the right, so that it is never cut.
    int left = row.Left;
    int width = row.Width;
    const int needed = BlxText::Extent(font, row.Caption).Width;
    if (needed > width)
    {
        if (centred)
            left -= (needed - width + 1) / 2;
        width = needed;
    }
    label.SetBounds(left, row.Top, width, kLabelHeight);
    label.SetAlignment(centred ? TBlxAlignment::Center : TBlxAlignment::Left);
    return label;
}

void TfrmEditor::Bind(const std::string& name, TBlxControl& control,
                      TBlxBeforeMouseDownEvent& filter)
{
    FBindings.push_back({name, &control});
    filter = [this, name, &control](TBlxControl&, TBlxMouseButton button, unsigned shift, int, int,
                                    bool& proceed)
    {
        proceed = ControlBeforeMouseDown(name, shift,
                                         [this, name, &control] { UpdateControl(name, control); });
        const bool drags = dynamic_cast<TCustomGuiStitchedDial*>(&control) != nullptr ||
                           dynamic_cast<TBlxSlider*>(&control) != nullptr;
        if (proceed && drags && button == TBlxMouseButton::Left)
            BeginGesture(name, control);
    };
    control.OnMouseUp = [this](TBlxControl& sender, const TBlxMouseEvent& e)
    {
        if (e.Button == TBlxMouseButton::Left)
            EndGesture(sender, false);
    };
    control.OnCaptureLost = [this](TBlxControl& sender) { EndGesture(sender, true); };
}

void TfrmEditor::CreateListButtons()
{
    constexpr int kButtonWidth = 136;
    constexpr int kButtonHeight = 25;
    constexpr int kButtonOffset = 22;
    std::vector<TLabelRow> labels;
    for (int i = 0; const TListRow& row : kLists)
        labels.push_back(
            {row.LabelName, row.Caption, 8, kListTop + kListStep * i++, row.LabelWidth});
    const TBlxFont font = LabelFontFor(labels);
    for (const TLabelRow& label : labels)
        AddLabel(*panMain, label, font, false);
    int top = kListTop;
    for (const TListRow& row : kLists)
    {
        TBlxSpTBXSpeedButton& button = panMain->Add<TBlxSpTBXSpeedButton>();
        this->*row.Button = &button;
        button.SetName(row.ButtonName);
        button.SetPalette(Skin());
        button.SetBounds(8, top + kButtonOffset, kButtonWidth, kButtonHeight);
        button.SetFont(kControlFont);
        button.SetTag(-1);
        TBlxPopupMenu& menu = this->*row.Menu;
        button.SetDropDownMenu(&menu);
        button.SetDropDownArrow(true);
        Bind(row.Name, button, button.OnBeforeMouseDown);
        FillValueMenu(menu, row.Name, button);
        top += kListStep;
    }
}

void TfrmEditor::FillValueMenu(TBlxPopupMenu& menu, const std::string& name,
                               TBlxSpTBXSpeedButton& button)
{
    menu.OnPopup = [&button](TBlxMenu& sender)
    { TBlxPopupMenu::CheckMenuItemByTag(sender, button.SelectedValue(), nullptr, true); };
    const TBlxValueList* list = Plugin().ValueList(name);
    if (list == nullptr)
        return;
    for (int i = 0; i < list->Count(); ++i)
    {
        const TBlxValueListItem& entry = list->Items(i);
        TBlxMenuItem& item = menu.Items().Add(entry.Name, entry.Tag);
        const float tag = static_cast<float>(entry.Tag);
        item.OnClick = [this, name, &button, tag](TBlxMenuItem&)
        { ControlChanged(name, button, tag); };
    }
}

void TfrmEditor::CreateDials()
{
    const TBlxFont font = LabelFontFor(kDialLabels);
    for (const TLabelRow& row : kDialLabels)
        AddLabel(*panControls, row, font, true);
    for (const TDialRow& row : kDials)
    {
        TBlxGuiStitchedDial& dial = panControls->Add<TBlxGuiStitchedDial>();
        this->*row.Member = &dial;
        dial.SetName(std::string("dial") + row.Name);
        dial.BeginLoading();
        dial.SetBounds(row.Left, row.Top, kDialSize, kDialSize);
        dial.SetTransparent(true);
        dial.SetImageList(&FDialImages);
        dial.SetImageIndex(row.Image);
        dial.SetCurveMapping(0);
        dial.SetWrap(false);
        dial.SetLockCursor(false);
        dial.SetMin(row.Min);
        dial.SetMax(row.Max);
        dial.SetDefaultValue(row.DefaultValue);
        dial.SetScrollRange(row.ScrollRange);
        dial.SetWheelStep(row.WheelStep);
        dial.SetValue(row.DefaultValue);
        dial.Loaded();
        const std::string name = row.Name;
        dial.OnChange = [this, name](TCustomGuiStitchedDial& sender)
        { ControlChanged(name, sender, 0); };
        Bind(name, dial, dial.OnBeforeMouseDown);
    }
}

void TfrmEditor::CreateValueControls()
{
    const TBlxFont font = LabelFontFor(kLowerLabels);
    for (const TLabelRow& row : kLowerLabels)
        AddLabel(*panMain, row, font, false);

    sliderVelocityFixed = &panMain->Add<TBlxSlider>();
    TBlxSlider& slider = *sliderVelocityFixed;
    slider.SetName("sliderVelocityFixed");
    slider.SetPalette(Skin());
    slider.SetBounds(157, 260, 172, 24);
    slider.SetFont(kControlFont);
    slider.SetMinValue(0);
    slider.SetMaxValue(127);
    slider.SetBorderColor(BlxColors::Black);
    slider.SetBorderWidth(1);
    slider.SetColor(BlxColors::White);
    slider.SetValueColor(kActiveCaption);
    slider.SetRandomColor(kRandomGreen);
    slider.SetShowPopup(true);
    slider.SetShowText(true);
    slider.SetUseRandom(false);
    slider.OnGetText = [](TBlxSlider&, std::string& text, float, float value)
    { text = UnsignedValueText(Rounded(value)); };
    slider.OnGetTextMenu = [](TBlxSlider&, std::string& text, float, float value)
    { text = VelocityFixedMenuText(Rounded(value)); };
    slider.OnGetPopupGroup = [](TBlxSlider&, int value, std::string& caption)
    { caption = VelocityFixedGroupText(value); };
    slider.OnChange = [this](TBlxSlider& sender) { ControlChanged("Velocity Fixed", sender, 0); };
    Bind("Velocity Fixed", slider, slider.OnBeforeMouseDown);
    slider.Loaded();

    auto makeInput = [this](const char* name, const char* parameter, int left, int min, int max)
    {
        TBlxNumericInput& input = panMain->Add<TBlxNumericInput>();
        input.SetName(name);
        input.SetPalette(Skin());
        input.SetBounds(left, 260, 50, 24);
        input.SetFont(kControlFont);
        input.SetMinValue(min);
        input.SetMaxValue(max);
        input.SetCenter(true);
        input.SetBorderWidth(1);
        input.SetBorderColor(kWindowFrame);
        input.SetColor(BlxColors::White);
        input.SetHighlight(false);
        input.SetShowPopup(true);
        const std::string key = parameter;
        input.OnChange = [this, key](TBlxNumericInput& sender) { ControlChanged(key, sender, 0); };
        Bind(key, input, input.OnBeforeMouseDown);
        return &input;
    };
    inputTranspose = makeInput("inputTranspose", "Transpose", 350, -36, 36);
    inputTranspose->OnGetText = [](TBlxNumericInput&, std::string& text, float value)
    { text = SignedValueText(Rounded(value)); };
    inputTranspose->OnGetTextMenu = [](TBlxNumericInput&, std::string& text, float value)
    { text = TransposeMenuText(Rounded(value)); };
    inputTranspose->OnGetPopupGroup = [](TBlxNumericInput&, int value, std::string& caption)
    { caption = TransposeGroupText(value); };
    inputTranspose->Loaded();
    inputRest = makeInput("inputRest", "Rest", 428, 0, 16);
    inputRest->OnGetText = [](TBlxNumericInput&, std::string& text, float value)
    { text = UnsignedValueText(Rounded(value)); };
    inputRest->Loaded();

    auto makeSwitch = [this](const char* name, const char* parameter, int left)
    {
        TBlxGuiStitchedSwitch& toggle = panMain->Add<TBlxGuiStitchedSwitch>();
        toggle.SetName(name);
        toggle.SetPalette(Skin());
        toggle.BeginLoading();
        toggle.SetBounds(left, 260, 24, 24);
        toggle.SetTransparent(true);
        toggle.Loaded();
        const std::string key = parameter;
        toggle.OnChange = [this, key](TBlxGuiStitchedSwitch& sender)
        { ControlChanged(key, sender, 0); };
        Bind(key, toggle, toggle.OnBeforeMouseDown);
        return &toggle;
    };
    switchRestart = makeSwitch("switchRestart", "Restart", 619);
    switchLatch = makeSwitch("switchLatch", "Latch", 672);
}

void TfrmEditor::BeginGesture(const std::string& name, TBlxControl& control)
{
    if (FGesture.Control != nullptr)
        EndGesture(*FGesture.Control, false);
    const std::int32_t index = Plugin().ParameterProperties().IndexOfName(name);
    if (index < 0)
        return;
    FGesture = {&control, name, index, Plugin().ParameterValues().Items(name).Value()};
    Plugin().MasterBeginEdit(index);
}

void TfrmEditor::EndGesture(const TBlxControl& control, bool cancelled)
{
    if (FGesture.Control != &control)
        return;
    TGesture gesture = FGesture;
    if (cancelled && Plugin().ParameterValues().Items(gesture.Name).Value() != gesture.PressValue)
    {
        Plugin().SetParameterByName(gesture.Name, gesture.PressValue);
        UpdateControl(gesture.Name, *gesture.Control);
    }
    FGesture = {};
    Plugin().MasterEndEdit(gesture.Index);
}

void TfrmEditor::ControlChanged(const std::string& name, TBlxControl& control, float value)
{
    if (FUpdating)
        return;
    const bool inGesture = FGesture.Control == &control;
    const std::int32_t index = inGesture ? -1 : Plugin().ParameterProperties().IndexOfName(name);
    // Ends the gesture however the change ends.
    struct TEditBracket
    {
        TVSTPlugin& Module;
        std::int32_t Index;
        ~TEditBracket()
        {
            if (Index >= 0)
                Module.MasterEndEdit(Index);
        }
    };
    if (index >= 0)
        Plugin().MasterBeginEdit(index);
    TEditBracket bracket{Plugin(), index};
    TfrmVSTEditorMenu::ControlChanged(name, control, value);
}

TBlxControl* TfrmEditor::ControlFor(const std::string& name) const
{
    for (const TBinding& binding : FBindings)
    {
        if (binding.Name == name)
            return binding.Control;
    }
    return nullptr;
}

void TfrmEditor::RefreshControls()
{
    ++FRefreshCount;
    for (const char* name : kRefreshOrder)
    {
        TBlxControl* control = ControlFor(name);
        if (control == nullptr)
            continue;
        // A value the control cannot show (a list value that is no entry of its list) keeps
        // that control as it was; the others are still brought up to date.
        try
        {
            UpdateControl(name, *control);
        }
        catch (const std::exception&)
        {
        }
    }
}

void TfrmEditor::ShowInfo(const std::string& text)
{
    if (!text.empty())
    {
        TfrmVSTEditorMenu::ShowInfo(text);
        return;
    }
    std::string notes;
    {
        std::lock_guard<std::recursive_mutex> lock(Plugin().InstanceLock());
        notes = Plugin().Arpeggiator().HeldNotes().NotesText();
    }
    TfrmVSTEditorMenu::ShowInfo(notes);
}

int TfrmEditor::DialValue(const TCustomGuiStitchedDial& dial) const
{
    return Rounded(dial.Value());
}

int TfrmEditor::ModuleValue(const std::string& name) const
{
    return Rounded(Plugin().ParameterValues().Items(name).Value());
}

void TfrmEditor::ShowParameterInfo(const std::string& name)
{
    struct TRangeRow
    {
        const char* Name;
        TBlxGuiStitchedDial* TfrmEditor::*Dial;
        int UpperBound;
        bool Signed;
        const char* Unit;
    };
    static constexpr TRangeRow kRanges[] = {
        {"Octaves", &TfrmEditor::dialOctaves, 5, false, ""},
        {"Velocity", &TfrmEditor::dialVelocity, 100, true, "%"},
        {"Gate", &TfrmEditor::dialGate, 200, false, "%"},
        {"Shift", &TfrmEditor::dialShift, 50, true, "%"},
        {"Swing", &TfrmEditor::dialSwing, 100, false, "%"},
    };
    for (const TRangeRow& row : kRanges)
    {
        if (name == row.Name)
        {
            const std::string random = name + " Random";
            ShowInfo(RangeText(name + ": ", DialValue(*(this->*row.Dial)), ModuleValue(random),
                               row.UpperBound, row.Signed, row.Unit));
            return;
        }
    }
    for (const TListRow& row : kLists)
    {
        if (name == row.Name)
        {
            ShowInfo(name + ": " + (this->*row.Button)->Caption());
            return;
        }
    }
    std::string text;
    if (name == "Velocity Fixed")
        text = UnsignedValueText(Rounded(sliderVelocityFixed->Value()));
    else if (name == "Transpose")
        text = SignedValueText(inputTranspose->ValueAsInteger());
    else if (name == "Rest")
        text = UnsignedValueText(inputRest->ValueAsInteger());
    else if (name == "Restart" || name == "Latch")
        text = (name == "Latch" ? switchLatch : switchRestart)->Value() ? "On" : "Off";
    else if (name == "Speed")
        text = TArpeggiator::SpeedText(static_cast<float>(DialValue(*dialSpeed)),
                                       TBlxLocale::DecimalSeparator());
    else if (name == "Note Probability")
        text = UnsignedValueText(DialValue(*dialNoteProbability)) + "%";
    else if (auto* dial = dynamic_cast<TCustomGuiStitchedDial*>(ControlFor(name)))
        text = UnsignedValueText(DialValue(*dial));
    else
        return;
    ShowInfo(name + ": " + text);
}

std::unique_ptr<TVstEditorForm> CreateEditorForm(TCustomVSTModule& owner)
{
    auto* plugin = dynamic_cast<TVSTPlugin*>(&owner);
    if (plugin == nullptr || !TBlxApplication::Instance().CanShowWindows())
        return nullptr;
    return std::make_unique<TfrmEditor>(*plugin);
}

} // namespace tumblet
