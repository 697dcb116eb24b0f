// The state chunk: the whole state (values, preset name, mappings) as one tagged value stream
// inside an "mmst" container, for host projects and preset files alike.

#include "plugin/BlxCommon.h"
#include "plugin/VSTPluginBaseDM.h"

#include "plugin/Chunks.h"
#include "plugin/ValueReader.h"
#include "plugin/ValueWriter.h"

#include <mutex>

namespace tumblet
{

namespace
{
// A host chunk this short cannot hold a container with a payload.
constexpr std::size_t kContainerHeaderBytes = 8;

using TAction = TStateContent::TAction;
} // namespace

void TVSTPluginBase::ShowWarning(TVstEditorForm* parentForm, const std::string& sentence,
                                 const std::string& message, const std::string& caption)
{
    std::string text = MessageWithDetail(sentence, message);
    {
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        if (FDeferWarnings)
        {
            // A bank's chunk holds each program's state: one spoilt bank would otherwise say
            // the same thing once for every program.
            for (const TDeferredWarning& kept : FDeferredWarnings)
                if (kept.Text == text && kept.Caption == caption)
                    return;
            FDeferredWarnings.push_back({std::move(text), caption});
            return;
        }
    }
    if (parentForm)
        Dialogs().ShowMessageDialog(parentForm, text, caption, TDialogService::TButtons::OK,
                                    TDialogService::TType::Warning);
    else
        Dialogs().KeepMessage(text, caption, TDialogService::TType::Warning);
}

TVSTPluginBase::TDeferWarningsScope::TDeferWarningsScope(TVSTPluginBase& owner) : FOwner(owner)
{
    std::lock_guard<std::recursive_mutex> lock(FOwner.InstanceLock());
    FOwner.FDeferWarnings = true;
}

TVSTPluginBase::TDeferWarningsScope::~TDeferWarningsScope()
{
    std::lock_guard<std::recursive_mutex> lock(FOwner.InstanceLock());
    FOwner.FDeferWarnings = false;
}

void TVSTPluginBase::ShowDeferredWarnings()
{
    std::vector<TDeferredWarning> warnings;
    {
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        warnings.swap(FDeferredWarnings);
    }
    for (const TDeferredWarning& warning : warnings)
        Dialogs().KeepMessage(warning.Text, warning.Caption, TDialogService::TType::Warning);
}

std::intptr_t TVSTPluginBase::HostCallGetChunk(std::int32_t index, std::intptr_t value, void* ptr,
                                               float opt)
{
    std::intptr_t result = 0;
    {
        TDeferWarningsScope defer(*this);
        result = TVSTModule::HostCallGetChunk(index, value, ptr, opt);
    }
    ShowDeferredWarnings();
    return result;
}

std::intptr_t TVSTPluginBase::HostCallSetChunk(std::int32_t index, std::intptr_t value, void* ptr,
                                               float opt)
{
    std::intptr_t result = 0;
    {
        TDeferHostReports reports(*this);
        TDeferWarningsScope defer(*this);
        {
            std::lock_guard<std::recursive_mutex> lock(InstanceLock());
            FStateRefused = false;
        }
        result = TVSTModule::HostCallSetChunk(index, value, ptr, opt);
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        // A state that was refused changed nothing; the host must not think it was taken.
        if (FStateRefused)
            result = 0;
    }
    ShowDeferredWarnings();
    return result;
}

void TVSTPluginBase::WriteParameterValues(TValueWriter&) {}

void TVSTPluginBase::ReadParameterValues(TValueReader&, const std::string&, TStateContent&) {}

// ---- Writing --------------------------------------------------------------------------------

void TVSTPluginBase::WritePayload(TValueWriter& writer)
{
    writer.WriteSignature();
    writer.WriteListBegin();
    writer.WriteString(FStateVersion);
    writer.WriteString(FPresetName);
    writer.WriteString("");
    writer.WriteString("");
    writer.WriteListEnd();

    writer.WriteListBegin();
    WriteParameterValues(writer);
    writer.WriteListEnd();

    writer.WriteListBegin();
    for (std::int32_t i = 0; i < FMidiCCList.Count(); ++i)
    {
        const TMidiCCItem& item = FMidiCCList.Items(i);
        writer.WriteListBegin();
        writer.WriteString(item.Name);
        writer.WriteInteger(item.CC);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

bool TVSTPluginBase::SaveState(TMemoryStreamChunk& chunk, TVstEditorForm* parentForm)
{
    try
    {
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        TMemoryStream& payload = chunk.Stream();
        payload.Clear();
        TValueWriter writer(payload);
        WritePayload(writer);
        payload.SetPosition(0);
        return true;
    }
    catch (const std::exception& e)
    {
        ShowWarning(parentForm, "Error saving preset.", e.what(), "Save Preset");
        return false;
    }
}

// ---- Reading --------------------------------------------------------------------------------

void TVSTPluginBase::ReadPayload(TValueReader& reader, TStateContent& content)
{
    reader.ReadSignature();
    reader.ExpectListBegin();
    const std::string version = reader.ReadString();
    content.Actions.push_back({TAction::TKind::PresetName, reader.ReadString(), 0.0f, 0});
    reader.ReadString();
    reader.ReadString();
    reader.ExpectListEnd();

    reader.ExpectListBegin();
    ReadParameterValues(reader, version, content);
    reader.ExpectListEnd();

    if (reader.EndOfList())
        return;
    content.Actions.push_back({TAction::TKind::ClearMappings, {}, 0.0f, 0});
    reader.ExpectListBegin();
    while (!reader.EndOfList())
    {
        reader.ExpectListBegin();
        std::string name = reader.ReadString();
        const std::int32_t cc = reader.ReadInteger();
        reader.ExpectListEnd();
        content.Actions.push_back({TAction::TKind::Mapping, std::move(name), 0.0f, cc});
    }
    reader.ExpectListEnd();
}

std::string TVSTPluginBase::ApplyState(const TStateContent& content, bool checkPresetFile)
{
    // The file check is made before the lock is taken; it only matters when all applies.
    bool presetFileMissing = false;
    for (const TAction& action : content.Actions)
    {
        if (action.Kind == TAction::TKind::PresetName)
            presetFileMissing =
                checkPresetFile && !action.Name.empty() && !PresetExists(action.Name);
    }

    std::lock_guard<std::recursive_mutex> lock(InstanceLock());
    try
    {
        ResetState();
        for (const TAction& action : content.Actions)
        {
            switch (action.Kind)
            {
            case TAction::TKind::PresetName:
                SetPresetName(action.Name);
                break;
            case TAction::TKind::Value:
                SetParameterByName(action.Name, action.Value);
                break;
            case TAction::TKind::ClearMappings:
                FMidiCCList.Clear();
                break;
            case TAction::TKind::Mapping:
                SetMapping(action.Name, action.CC);
                break;
            }
        }
    }
    catch (const std::exception& e)
    {
        return e.what();
    }
    if (!content.Error.empty())
        return content.Error;
    if (presetFileMissing)
        SetPresetName("");
    return {};
}

bool TVSTPluginBase::LoadState(TMemoryStreamChunk& chunk, bool checkPresetFile,
                               TVstEditorForm* parentForm)
{
    // The parameter changes are reported to the host after the instance lock is released.
    TDeferHostReports reports(*this);
    std::string error;
    try
    {
        TStateContent content;
        try
        {
            TValueReader reader(chunk.Stream());
            ReadPayload(reader, content);
        }
        catch (const std::exception& e)
        {
            content.Error = e.what();
        }
        error = ApplyState(content, checkPresetFile);
    }
    catch (const std::exception& e)
    {
        error = e.what();
    }
    if (error.empty())
        return true;
    ShowWarning(parentForm, "Error loading preset.", error, "Load Preset");
    return false;
}

// ---- Program 0's chunk events ---------------------------------------------------------------

void TVSTPluginBase::VSTPluginBasePrograms0StoreChunk(TCustomVstProgram& sender, std::int32_t, bool)
{
    TMemoryStreamChunk chunk;
    SaveState(chunk, nullptr);
    TMemoryStream container;
    chunk.WriteToStream(container);
    sender.Chunk().Clear();
    sender.Chunk().Write(container.Data(), container.Size());
}

void TVSTPluginBase::VSTPluginBasePrograms0LoadChunk(TCustomVstProgram& sender, std::int32_t, bool)
{
    const TProgramChunk& bytes = sender.Chunk();
    if (bytes.Size() <= kContainerHeaderBytes)
    {
        FStateRefused = true;
        return;
    }
    ParameterValues().ResetToDefaults();
    TMemoryStreamChunk chunk;
    try
    {
        TMemoryStream source(bytes.Data(), bytes.Size());
        chunk.ReadFromStream(source);
    }
    catch (const std::exception& e)
    {
        // An unreadable container is reported like an unreadable state; the defaults stay.
        ShowWarning(nullptr, "Error loading preset.", e.what(), "Load Preset");
        FStateRefused = true;
        return;
    }
    if (!LoadState(chunk, true, nullptr))
    {
        ParameterValues().ResetToDefaults();
        FStateRefused = true;
    }
}

} // namespace tumblet
