#pragma once

#include "controls/BlxScaledArtwork.h"
#include "ui/BlxControl.h"
#include "ui/BlxTimer.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tumblet
{

class TBlxGuiPanel;
class TBlxLabel;
class TBlxListBox;
class TBlxMenuItem;
class TBlxPixelBuffer;
class TBlxPopupMenu;
class TBlxSpTBXSpeedButton;
class TBlxWindow;

/// The presets browser: a form drawn over the editor inside the editor's window, listing the
/// preset files of the presets folder in three columns, to load one, delete one or show the
/// folder in the file manager. While it is open the editor's other controls take no input; a
/// press on the editor outside it closes it with Cancel and goes no further. Thread: UI.
class TfrmPresets : public TBlxControl
{
public:
    TfrmPresets();
    ~TfrmPresets() override;

    /// The folder to list; a missing trailing '/' is added.
    void SetPresetsFolder(const std::string& folder);
    const std::string& PresetsFolder() const { return FPresetsFolder; }
    /// The preset selected when the browser is shown, if it is listed.
    void SetCurrentName(const std::string& name) { FCurrentName = name; }
    /// The preset files found, with extension, in list order.
    const std::vector<std::string>& FileList() const { return FFileList; }
    /// The presets folder + the selected entry + the extension; empty when nothing is selected.
    std::string SelectedFile() const;
    /// Lists the folder again (done when shown and after a deletion).
    void FillList();
    /// Shows the browser over the rest of its window, modal inside it, and returns at once;
    /// `done` gets the answer on a later round of the pump, once it closed.
    void Open(std::function<void(std::optional<std::string>)> done);
    /// Closes it: OK answers with the selected file, anything else with nothing.
    void Close(TBlxModalResult result);
    bool IsOpen() const { return Visible(); }

    void Paint(TBlxCanvas& canvas) override;

    TBlxGuiPanel* panMain = nullptr;
    TBlxLabel* lblCaption = nullptr;
    TBlxListBox* lstPresets = nullptr;
    TBlxSpTBXSpeedButton* btnOK = nullptr;
    TBlxSpTBXSpeedButton* btnCancel = nullptr;
    std::unique_ptr<TBlxPopupMenu> popMenu;
    TBlxMenuItem* popMenu_Open = nullptr;
    TBlxMenuItem* popMenu_Delete = nullptr;
    TBlxMenuItem* popMenu_Explorer = nullptr;
    /// Gives the answer once the input that closed the browser has been handled, so that the
    /// completion never runs inside a handler of the browser's own controls.
    TBlxTimer timClosed;

protected:
    void Resized() override;

private:
    void CreateControls();
    void FormShow();
    void panMainResize();
    void UpdateOK();
    void lstPresetsDrawItem(TBlxListBox& sender, TBlxCanvas& canvas, int index,
                            const TBlxRect& rect, bool selected);
    void lstPresetsMouseDown(const TBlxMouseEvent& e);
    void lstPresetsDblClick();
    void popMenuPopup();
    void popMenu_DeleteClick();
    void DeletePresetFile(int index, const std::string& fileName);
    void popMenu_ExplorerClick();
    void timClosedTimer();

    std::string FPresetsFolder;
    std::string FCurrentName;
    std::vector<std::string> FFileList;
    TBlxScaledArtwork FBackground{"EditorBackground"};
    TBlxMouseButton FLastListButton = TBlxMouseButton::None;
    /// The question or message open over the browser, if any.
    std::unique_ptr<TBlxWindow> FMessage;
    std::function<void(std::optional<std::string>)> FDone;
    std::optional<std::string> FAnswer;
};

/// Shows the presets browser over the editor window `editor`, modal inside it, and returns at
/// once: sized `size` (logical pixels), centred on the editor, listing `presetsFolder` with
/// `currentName` selected. On a later round of the pump, once it closed, `done` gets the chosen
/// preset file's path, or nothing when it was cancelled or closed by a press outside it. It is
/// a control of the editor: destroying the editor closes it without calling `done`. Nothing
/// happens while it is open already.
void ShowPresetsBrowser(TBlxWindow& editor, TBlxSize size, const std::string& presetsFolder,
                        const std::string& currentName,
                        std::function<void(std::optional<std::string>)> done);

/// The presets browser open over `editor`, or null.
TfrmPresets* OpenPresetsBrowser(TBlxWindow& editor);

} // namespace tumblet
