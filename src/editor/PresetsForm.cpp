#include "editor/PresetsForm.h"
#include "base/TextOrder.h"
#include "plugin/BlxCommon.h"

#include "controls/BlxGuiPanel.h"
#include "controls/BlxPopupMenu.h"
#include "controls/BlxSpTBXSpeedButton.h"
#include "editor/Dialogs.h"
#include "ui/BlxCanvas.h"
#include "ui/BlxLabel.h"
#include "ui/BlxListBox.h"
#include "ui/BlxShell.h"
#include "ui/BlxStyle.h"
#include "ui/BlxWindow.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace tumblet
{

namespace
{

namespace fs = std::filesystem;

// Layout as designed, in pixels.
constexpr int kListColumns = 3;
constexpr int kItemHeight = 20;
constexpr int kTextInset = 4;
constexpr int kCaptionTop = 6;
constexpr int kCaptionHeight = 19;
constexpr int kButtonGap = 10;
constexpr int kBottomMargin = 10;
constexpr int kListSideMargins = 24; // the list's width is the browser's width minus this
/// Tahoma 11 px is the form's own font; Tahoma 16 px bold the caption; Segoe UI 12 px bold the
/// list and buttons.
constexpr int kFormFontPx = 11;
constexpr int kCaptionFontPx = 16;
constexpr int kListFontPx = 12;

bool IsPresetFile(const fs::directory_entry& entry)
{
    std::error_code ec;
    const std::string name = entry.path().filename().string();
    const std::string ext = kPresetExtension;
    // The loader appends the extension in lower case, so only such files can be loaded.
    return name.size() > ext.size() && name.ends_with(ext) && entry.is_regular_file(ec);
}

std::string WithoutExtension(const std::string& fileName)
{
    return fileName.substr(0, fileName.size() - std::string(kPresetExtension).size());
}

TBlxFont MakeFont(const char* family, int sizePx, bool bold)
{
    TBlxFont font;
    font.Family = family;
    font.SizePx = sizePx;
    font.Bold = bold;
    return font;
}

} // namespace

TfrmPresets::TfrmPresets()
{
    SetVisible(false);
    SetFont(MakeFont(kBlxFontTahoma, kFormFontPx, false));
    SetColor(TBlxStyle::Palette().ButtonFace.WithAlpha(255));
    CreateControls();
    timClosed.SetInterval(0);
    timClosed.OnTimer = [this](TBlxTimer&) { timClosedTimer(); };
    SetBounds(0, 0, 544, 289);
}

TfrmPresets::~TfrmPresets() = default;

void TfrmPresets::CreateControls()
{
    const TBlxPalette& palette = TBlxStyle::Palette();
    panMain = &Add<TBlxGuiPanel>();
    panMain->SetBorderRadius(5);
    panMain->SetBorderVisible(false);
    panMain->SetBorderWidth(2);
    panMain->SetBorderColor(BlxColors::White);
    panMain->SetPanelColor(BlxColors::White);
    panMain->SetTransparent(true);
    if (TBlxStyle::Active())
    {
        panMain->ApplyPalette(palette);
    }
    lblCaption = &panMain->Add<TBlxLabel>();
    lblCaption->SetCaption("Load Preset");
    lblCaption->SetAlignment(TBlxAlignment::Center);
    TBlxFont caption = MakeFont(kBlxFontTahoma, kCaptionFontPx, true);
    caption.Color = palette.ButtonText;
    lblCaption->SetFont(caption);
    lstPresets = &panMain->Add<TBlxListBox>();
    lstPresets->SetBounds(12, 36, 517, 202);
    lstPresets->SetItemHeight(kItemHeight);
    lstPresets->SetColumns(kListColumns);
    lstPresets->SetFont(MakeFont(kBlxFontSegoeUI, kListFontPx, true));
    lstPresets->SetColor(palette.Window);
    lstPresets->OnDrawItem = [this](TBlxListBox& sender, TBlxCanvas& canvas, int index,
                                    const TBlxRect& rect, bool selected)
    { lstPresetsDrawItem(sender, canvas, index, rect, selected); };
    lstPresets->OnMouseDown = [this](TBlxControl&, const TBlxMouseEvent& e)
    { lstPresetsMouseDown(e); };
    lstPresets->OnDblClick = [this](TBlxControl&) { lstPresetsDblClick(); };
    lstPresets->OnChange = [this](TBlxControl&) { UpdateOK(); };
    auto makeButton = [this](const char* text, int left, TBlxModalResult result)
    {
        TBlxSpTBXSpeedButton& b = panMain->Add<TBlxSpTBXSpeedButton>();
        b.SetCaption(text);
        b.SetDropDownArrow(false);
        b.SetTag(-1);
        b.SetFont(MakeFont(kBlxFontSegoeUI, kListFontPx, true));
        b.SetBounds(left, 244, 80, 26);
        b.OnClick = [this, result](TBlxControl&) { Close(result); };
        return &b;
    };
    btnOK = makeButton("OK", 363, TBlxModalResult::OK);
    btnCancel = makeButton("Cancel", 449, TBlxModalResult::Cancel);

    popMenu = std::make_unique<TBlxPopupMenu>();
    popMenu_Open = &popMenu->Items().Add("Open");
    popMenu_Delete = &popMenu->Items().Add("Delete");
    popMenu->Items().AddSeparator();
    popMenu_Explorer = &popMenu->Items().Add("Show in File Manager");
    popMenu->OnPopup = [this](TBlxMenu&) { popMenuPopup(); };
    popMenu_Open->OnClick = [this](TBlxMenuItem&) { Close(TBlxModalResult::OK); };
    popMenu_Delete->OnClick = [this](TBlxMenuItem&) { popMenu_DeleteClick(); };
    popMenu_Explorer->OnClick = [this](TBlxMenuItem&) { popMenu_ExplorerClick(); };
    lstPresets->SetPopupMenu(popMenu.get());
}

void TfrmPresets::SetPresetsFolder(const std::string& folder)
{
    FPresetsFolder = folder;
    if (!FPresetsFolder.empty() && FPresetsFolder.back() != '/')
    {
        FPresetsFolder += '/';
    }
}

std::string TfrmPresets::SelectedFile() const
{
    int index = lstPresets->ItemIndex();
    if (index < 0)
    {
        return {};
    }
    return FPresetsFolder + lstPresets->Item(index).Text + kPresetExtension;
}

void TfrmPresets::Resized()
{
    if (panMain)
    {
        panMain->SetBounds(1, 1, Width() - 2, Height() - 2);
        panMainResize();
    }
}

void TfrmPresets::panMainResize()
{
    lblCaption->SetBounds(0, kCaptionTop, panMain->Width(), kCaptionHeight);
    lstPresets->SetBounds(lstPresets->Left(), lstPresets->Top(), Width() - kListSideMargins,
                          lstPresets->Height());
    btnCancel->SetBounds(lstPresets->Left() + lstPresets->Width() - btnCancel->Width() - 1,
                         Height() - btnCancel->Height() - kBottomMargin, btnCancel->Width(),
                         btnCancel->Height());
    btnOK->SetBounds(btnCancel->Left() - btnOK->Width() - kButtonGap, btnCancel->Top(),
                     btnOK->Width(), btnOK->Height());
    lstPresets->SetBounds(lstPresets->Left(), lstPresets->Top(), lstPresets->Width(),
                          btnCancel->Top() - lstPresets->Top() - kBottomMargin);
}

void TfrmPresets::Paint(TBlxCanvas& canvas)
{
    TBlxControl::Paint(canvas);
    // The tile starts at the form's own corner, as it did when the browser was a window.
    if (const TBlxPixelBuffer* tile = FBackground.At(canvas.Scale()))
    {
        canvas.TileImage(*tile, FBackground.Scale());
    }
}

void TfrmPresets::Open(std::function<void(std::optional<std::string>)> done)
{
    FDone = std::move(done);
    FAnswer.reset();
    timClosed.SetEnabled(false);
    SetVisible(true);
    if (TBlxWindow* window = Window())
    {
        window->SetModalControl(this, btnOK, btnCancel, [this] { Close(TBlxModalResult::Cancel); });
        // Escape and the arrow keys work at once, without a click into the list first.
        window->TakeNativeFocus();
    }
    lstPresets->SetFocus();
    FormShow();
}

void TfrmPresets::Close(TBlxModalResult result)
{
    if (!IsOpen())
    {
        return;
    }
    const std::string path = result == TBlxModalResult::OK ? SelectedFile() : std::string();
    FAnswer = path.empty() ? std::nullopt : std::optional<std::string>(path);
    if (TBlxWindow* window = Window(); window && window->ModalControl() == this)
    {
        window->SetModalControl(nullptr);
    }
    SetVisible(false);
    timClosed.SetEnabled(true);
}

void TfrmPresets::timClosedTimer()
{
    timClosed.SetEnabled(false);
    std::function<void(std::optional<std::string>)> done = std::move(FDone);
    FDone = nullptr;
    // The completion may close the editor and this form with it: nothing of it is touched
    // afterwards.
    if (done)
    {
        done(std::move(FAnswer));
    }
}

void TfrmPresets::FormShow()
{
    FillList();
    for (bool exact : {true, false})
    {
        for (int i = 0; i < lstPresets->Count(); ++i)
        {
            const std::string& text = lstPresets->Item(i).Text;
            if (exact ? text == FCurrentName : EqualIgnoringCase(text, FCurrentName))
            {
                lstPresets->SetItemIndex(i);
                UpdateOK();
                return;
            }
        }
    }
}

void TfrmPresets::FillList()
{
    lstPresets->Clear();
    FFileList.clear();
    std::error_code ec;
    // An unreadable or missing folder, or one that fails part way, lists what was read.
    for (fs::directory_iterator it(FPresetsFolder, ec), end; !ec && it != end; it.increment(ec))
    {
        if (IsPresetFile(*it))
        {
            FFileList.push_back(it->path().filename().string());
        }
    }
    std::sort(FFileList.begin(), FFileList.end(), LessIgnoringCase);
    for (size_t i = 0; i < FFileList.size(); ++i)
    {
        lstPresets->AddItem(WithoutExtension(FFileList[i]), int(i));
    }
    if (lstPresets->Count() > 0)
    {
        lstPresets->SetItemIndex(0);
    }
    UpdateOK();
}

void TfrmPresets::UpdateOK()
{
    btnOK->SetEnabled(lstPresets->ItemIndex() >= 0);
}

void TfrmPresets::lstPresetsDrawItem(TBlxListBox& sender, TBlxCanvas& canvas, int index,
                                     const TBlxRect& rect, bool selected)
{
    const TBlxPalette& p = TBlxStyle::Palette();
    canvas.FillRect(rect, selected ? p.Selection : sender.Color());
    TBlxFont font = sender.Font();
    font.Color = selected ? p.SelectionText : p.WindowText;
    TBlxRect text{rect.Left + kTextInset, rect.Top, rect.Width - 2 * kTextInset, rect.Height};
    // Plain text: an ampersand is shown as it is, never as an accelerator mark.
    canvas.DrawText(text, sender.Item(index).Text, font,
                    {TBlxAlignment::Left, TBlxVAlign::Center, false});
}

void TfrmPresets::lstPresetsMouseDown(const TBlxMouseEvent& e)
{
    FLastListButton = e.Button;
    if (e.Button != TBlxMouseButton::Right)
    {
        return;
    }
    // The context menu acts on the entry it was opened on.
    int index = lstPresets->ItemAtPos(e.Pos);
    if (index >= 0)
    {
        lstPresets->SetItemIndex(index);
        UpdateOK();
    }
}

void TfrmPresets::lstPresetsDblClick()
{
    if (FLastListButton == TBlxMouseButton::Left && btnOK->Enabled())
    {
        Close(TBlxModalResult::OK);
    }
}

void TfrmPresets::popMenuPopup()
{
    bool any = btnOK->Enabled();
    popMenu_Open->SetEnabled(any);
    popMenu_Delete->SetEnabled(any);
}

void TfrmPresets::popMenu_DeleteClick()
{
    int b = lstPresets->ItemIndex();
    if (b < 0)
    {
        return;
    }
    std::string name = lstPresets->Item(b).Text;
    std::string fileName = FFileList[size_t(lstPresets->Item(b).Data)];
    ShowMessageDialogLater(FMessage, Window(), "Delete \"" + name + "\"?", "Delete Preset",
                           TMsgDlgButtons::YesNo, TMsgDlgType::Confirmation,
                           [this, b, fileName](TBlxModalResult answer)
                           {
                               if (answer == TBlxModalResult::Yes && IsOpen())
                                   DeletePresetFile(b, fileName);
                           });
}

void TfrmPresets::DeletePresetFile(int index, const std::string& fileName)
{
    // A file that vanished meanwhile or cannot be deleted simply stays or goes in the refill.
    std::error_code ec;
    fs::remove(fs::path(FPresetsFolder) / fileName, ec);
    FillList();
    if (lstPresets->Count() > 0)
    {
        lstPresets->SetItemIndex(std::min(index, lstPresets->Count() - 1));
    }
    UpdateOK();
}

void TfrmPresets::popMenu_ExplorerClick()
{
    std::error_code ec;
    fs::create_directories(FPresetsFolder, ec);
    if (!BlxShellOpen(FPresetsFolder))
    {
        ShowMessageDialogLater(
            FMessage, Window(), MessageWithDetail("Error opening folder.", FPresetsFolder),
            "Show in File Manager", TMsgDlgButtons::OK, TMsgDlgType::Information);
    }
}

void ShowPresetsBrowser(TBlxWindow& editor, TBlxSize size, const std::string& presetsFolder,
                        const std::string& currentName,
                        std::function<void(std::optional<std::string>)> done)
{
    TfrmPresets* browser = nullptr;
    for (int i = 0; i < editor.ChildCount() && !browser; ++i)
    {
        browser = dynamic_cast<TfrmPresets*>(&editor.Child(i));
    }
    if (browser && browser->IsOpen())
    {
        return;
    }
    // Made once per editor and kept hidden between uses: a closing browser is still running the
    // handler of the click that closed it.
    if (!browser)
    {
        browser = &editor.Add<TfrmPresets>();
    }
    browser->SetBounds((editor.Width() - size.Width) / 2, (editor.Height() - size.Height) / 2,
                       size.Width, size.Height);
    browser->SetPresetsFolder(presetsFolder);
    browser->SetCurrentName(currentName);
    browser->Open(std::move(done));
}

TfrmPresets* OpenPresetsBrowser(TBlxWindow& editor)
{
    for (int i = 0; i < editor.ChildCount(); ++i)
    {
        auto* browser = dynamic_cast<TfrmPresets*>(&editor.Child(i));
        if (browser && browser->IsOpen())
        {
            return browser;
        }
    }
    return nullptr;
}

} // namespace tumblet
