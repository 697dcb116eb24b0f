#pragma once

#include "controls/BlxScaledArtwork.h"
#include "ui/BlxWindow.h"

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

/// The presets browser: a borderless pop-up form listing the preset files of the presets
/// folder in three columns, to load one, delete one or show the folder in the file manager.
/// A press outside it closes it with Cancel, and the press then acts on what lies under the
/// pointer. Thread: UI.
class TfrmPresets : public TBlxWindow
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

    std::string FPresetsFolder;
    std::string FCurrentName;
    std::vector<std::string> FFileList;
    TBlxScaledArtwork FBackground{"EditorBackground"};
    TBlxMouseButton FLastListButton = TBlxMouseButton::None;
    /// The question or message open over the browser, if any.
    std::unique_ptr<TBlxWindow> FMessage;
};

/// Shows the presets browser over `parent`, modal to our other windows, and returns at once:
/// sized `size`, centred on the parent's client area, listing `presetsFolder` with
/// `currentName` selected. On a later round of the pump, once it closed, `done` gets the chosen
/// preset file's path, or nothing when it was cancelled or closed by a press outside it. The
/// browser lives in `holder`: destroying the holder's owner closes it without calling `done`.
void ShowPresetsBrowser(std::unique_ptr<TBlxWindow>& holder, TBlxWindow& parent, TBlxSize size,
                        const std::string& presetsFolder, const std::string& currentName,
                        std::function<void(std::optional<std::string>)> done);

} // namespace tumblet
