// This is where the product meets its windowed parts: the dialogs and the editor window, which
// need a display, are installed here, so the module itself (and every test and tool that links
// it) runs without one.

#include "entry/ProductFactory.h"

#include "ui/BlxScale.h"

#include "editor/Dialogs.h"
#include "editor/Editor.h"
#include "engine/BlxMidiNoteList.h"
#include "plugin/BlxCommon.h"
#include "plugin/Plugin.h"
#include "ui/BlxApplication.h"
#include "ui/BlxStyle.h"

#include <cmath>

namespace tumblet
{

namespace
{

/// The module picks the user's skin by name when an editor opens; the toolkit applies it.
void SelectToolkitStyle(const char* name)
{
    TBlxStyle::Select(name);
}

const TWindowedParts& WindowedParts()
{
    static const TWindowedParts parts{&SelectToolkitStyle, &CreateEditorForm,
                                      &CreateWindowedDialogService};
    return parts;
}

std::unique_ptr<TVSTModule> CreateProduct()
{
    std::unique_ptr<TVSTModule> module = CreateModule();
    AttachWindowedParts(*module, WindowedParts());
    return module;
}

} // namespace

AEffect* CreateProductEffect(audioMasterCallback audioMaster) noexcept
{
    return CreateVstInstance(audioMaster, &CreateProduct);
}

int EditorEventDescriptor() noexcept
{
    return TBlxApplication::Instance().EventDescriptor();
}

TEditorSize ProductEditorSize(AEffect* effect) noexcept
{
    double hostScale = 0.0;
    if (auto* plugin = dynamic_cast<TVSTPlugin*>(TBasicVSTModule::FromEffect(effect)))
        hostScale = plugin->HostEditorScale();
    const int percent = TBlxScale::ChoosePercent(TVSTPluginBase::EditorSize(), hostScale, 0.0);
    const auto scaled = [percent](int length)
    { return static_cast<std::uint32_t>(std::lround(length * percent / 100.0)); };
    return {scaled(TfrmEditor::kWidth), scaled(TfrmEditor::kHeight)};
}

bool AttachProductEditor(AEffect* effect, TWindowedPartsAttacher attach) noexcept
{
    if (attach == nullptr)
        return false;
    // This library carries a copy of the module's code for the editor to call, with its own copy
    // of the settings that code keeps outside the module: they start as the module's.
    if (auto* plugin = dynamic_cast<TVSTPlugin*>(TBasicVSTModule::FromEffect(effect)))
        SetOctaveOffset(static_cast<std::int8_t>(plugin->LowestOctave()));
    SetStyleSelector(&SelectToolkitStyle);
    return attach(effect, WindowedParts());
}

} // namespace tumblet
