// Per-user settings, skins and preset files of the common module.

#include "plugin/VSTPluginBaseDM.h"

#include "engine/BlxMidiNoteList.h"
#include "plugin/BlxCommon.h"
#include "plugin/BlxRegistry.h"
#include "plugin/Chunks.h"
#include "plugin/IniFile.h"

#include <algorithm>
#include <mutex>

namespace tumblet
{

namespace
{
constexpr const char* kVendorFolder = "Brindlex";
constexpr const char* kInitPresetName = "init";
constexpr const char* kConfigSection = "Config";
constexpr const char* kStyleKey = "Style";
constexpr const char* kLowestOctaveKey = "LowestOctave";
constexpr const char* kEditorSizeKey = "EditorSize";
// The sizes the menu offers, in percent; 0 is "Automatic".
constexpr std::int32_t kEditorSizes[] = {0, 100, 125, 150, 175, 200, 250, 300};
constexpr std::int32_t kDefaultStyle = 0;
constexpr std::int32_t kDefaultLowestOctave = -2;
constexpr std::int32_t kLastStyle = 4;
constexpr std::int32_t kHighestLowestOctave = 0;
// The legacy settings lived in the registry under this key, followed by the product name.
constexpr const char* kLegacyVendorKey = "Software\\Brindlex";
} // namespace

void TVSTPluginBase::ComputeFolders()
{
    const std::string documents = DocumentsFolder();
    // Without a documents folder there is no per-user folder: settings stay at their defaults
    // and preset commands report that they cannot write.
    if (documents.empty())
        return;
    FSettingsFolder = documents + "/" + kVendorFolder + "/" + ProductName() + "/";
    FPresetsFolder = FSettingsFolder + "Presets/";
    FSettingsFile = FSettingsFolder + "Settings.ini";
}

std::string TVSTPluginBase::UserGuidePath() const
{
    if (!FSettingsFolder.empty() && FileExists(FSettingsFolder + FUserGuideFileName))
        return FSettingsFolder + FUserGuideFileName;
    const std::string libraryFolder = LibraryFolder();
    if (!libraryFolder.empty() && FileExists(libraryFolder + FUserGuideFileName))
        return libraryFolder + FUserGuideFileName;
    // The Debian package keeps the guide with the other documentation, not beside the plug-in.
    const std::string packaged = std::string("/usr/share/doc/tumblet/") + FUserGuideFileName;
    if (FileExists(packaged))
        return packaged;
    return {};
}

// ---- Settings -------------------------------------------------------------------------------

namespace
{
// The editor size is the user's, not the instance's: every editor of the process follows it.
std::atomic<std::int32_t> GEditorSize{0};

std::int32_t ValidEditorSize(std::int32_t percent)
{
    return std::find(std::begin(kEditorSizes), std::end(kEditorSizes), percent) !=
                   std::end(kEditorSizes)
               ? percent
               : 0;
}
} // namespace

std::int32_t TVSTPluginBase::EditorSize() noexcept
{
    return GEditorSize.load(std::memory_order_relaxed);
}

void TVSTPluginBase::SetEditorSize(std::int32_t percent)
{
    percent = ValidEditorSize(percent);
    if (percent == EditorSize())
        return;
    GEditorSize.store(percent, std::memory_order_relaxed);
    SaveSettings();
}

void TVSTPluginBase::ReportEditorSize(std::int32_t width, std::int32_t height)
{
    if (GetCanHostDo("sizeWindow") > 0)
        MasterSizeWindow(width, height);
}

void TVSTPluginBase::MigrateRegistrySettings(const std::string& key)
{
    const std::string config = key + "\\" + kConfigSection;
    if (FRegistry->KeyExists(config))
    {
        FStyle.store(FRegistry->ReadInteger(config, kStyleKey, kDefaultStyle));
        FLowestOctave.store(FRegistry->ReadInteger(config, kLowestOctaveKey, kDefaultLowestOctave));
        SaveSettings();
    }
    if (FRegistry->KeyExists(kLegacyVendorKey))
        FRegistry->DeleteKey(kLegacyVendorKey, ProductName());
}

void TVSTPluginBase::LoadSettings()
{
    const std::string key = std::string(kLegacyVendorKey) + "\\" + ProductName();
    if (FRegistry->KeyExists(key))
        MigrateRegistrySettings(key);
    else
    {
        TIniFile ini;
        ini.Load(FSettingsFile);
        FStyle.store(ini.ReadInteger(kConfigSection, kStyleKey, kDefaultStyle));
        FLowestOctave.store(
            ini.ReadInteger(kConfigSection, kLowestOctaveKey, kDefaultLowestOctave));
        GEditorSize.store(ValidEditorSize(ini.ReadInteger(kConfigSection, kEditorSizeKey, 0)),
                          std::memory_order_relaxed);
        LoadCustomSettings(ini);
    }
    FStyle.store(std::clamp(Style(), kDefaultStyle, kLastStyle));
    FLowestOctave.store(std::clamp(LowestOctave(), kDefaultLowestOctave, kHighestLowestOctave));
    SetOctaveOffset(static_cast<std::int8_t>(LowestOctave()));
}

void TVSTPluginBase::SaveSettings()
{
    try
    {
        if (FSettingsFolder.empty())
            throw std::runtime_error("No documents folder");
        ForceDirectories(FSettingsFolder);
        // Keys of other sections (or written by other versions) are kept.
        TIniFile ini;
        ini.Load(FSettingsFile);
        ini.WriteInteger(kConfigSection, kStyleKey, Style());
        ini.WriteInteger(kConfigSection, kLowestOctaveKey, LowestOctave());
        // "Automatic" is what a file without the key means: it is written once chosen.
        if (EditorSize() != 0 || !ini.ReadString(kConfigSection, kEditorSizeKey, "").empty())
            ini.WriteInteger(kConfigSection, kEditorSizeKey, EditorSize());
        SaveCustomSettings(ini);
        ini.Save(FSettingsFile);
    }
    catch (const std::exception& e)
    {
        ShowWarning(Editor(), "Error saving settings.", e.what(), "Save Settings");
    }
}

void TVSTPluginBase::SetStyle(std::int32_t index)
{
    if (index == Style())
        return;
    FStyle.store(index);
    SaveSettings();
}

void TVSTPluginBase::SetLowestOctave(std::int32_t value)
{
    if (value == LowestOctave())
        return;
    FLowestOctave.store(value);
    SetOctaveOffset(static_cast<std::int8_t>(value));
    SaveSettings();
}

void TVSTPluginBase::ApplySkin()
{
    try
    {
        SelectStyle(StyleName(Style()));
    }
    catch (const std::exception& e)
    {
        ShowWarning(nullptr, "Error loading skin.", e.what(), "Load Skin");
    }
}

// ---- Preset name and state -------------------------------------------------------------------

std::string TVSTPluginBase::PresetName()
{
    std::lock_guard<std::recursive_mutex> lock(InstanceLock());
    return FPresetName;
}

void TVSTPluginBase::SetPresetName(const std::string& name)
{
    std::lock_guard<std::recursive_mutex> lock(InstanceLock());
    if (name == FPresetName)
        return;
    FPresetName = name;
    FPresetNameChanged.store(true);
    SetEditorNeedsUpdate(true);
}

void TVSTPluginBase::ResendFirstParameter()
{
    if (ParameterProperties().Count() > 0)
        SetParameter(0, GetParameter(0));
}

void TVSTPluginBase::ResetState()
{
    std::lock_guard<std::recursive_mutex> lock(InstanceLock());
    SetPresetName("");
    ParameterValues().ResetToDefaults();
    FMidiCCList.Clear();
}

bool TVSTPluginBase::PresetExists(const std::string& name) const
{
    return IsPlainFileName(name) && !FPresetsFolder.empty() &&
           FileExists(FPresetsFolder + name + kPresetExtension);
}

// ---- Preset files ----------------------------------------------------------------------------

void TVSTPluginBase::LoadInitPreset()
{
    const std::string path = FPresetsFolder + kInitPresetName + kPresetExtension;
    if (FPresetsFolder.empty() || !FileExists(path))
    {
        ResetState();
        return;
    }
    TMemoryStreamChunk chunk;
    try
    {
        chunk.ReadFromFile(path);
    }
    catch (const std::exception& e)
    {
        // An unreadable container is reported like an unreadable state.
        ShowWarning(nullptr, "Error loading preset from file.", e.what(), "Load Preset");
        ResetState();
        return;
    }
    if (LoadState(chunk, false, nullptr))
    {
        SetPresetName("");
        ResendFirstParameter();
    }
    else
        ResetState();
}

void TVSTPluginBase::SavePresetFile(const std::string& name, TVstEditorForm* parentForm)
{
    const std::string cleanName = CleanPresetName(name);
    if (cleanName.empty())
    {
        if (!PresetName().empty())
        {
            SetPresetName("");
            ResendFirstParameter();
        }
        return;
    }
    if (!FPresetsFolder.empty() && FileExists(FPresetsFolder + cleanName + kPresetExtension))
    {
        // The old file is not deleted: the new one replaces it only once it is complete.
        Dialogs().ShowMessageDialog(parentForm, "Overwrite existing preset?", "Preset Exists",
                                    TDialogService::TButtons::YesNo,
                                    TDialogService::TType::Confirmation,
                                    [this, cleanName, parentForm](TDialogService::TResult answer)
                                    {
                                        if (answer == TDialogService::TResult::Yes)
                                            WritePresetFile(cleanName, parentForm);
                                    });
        return;
    }
    WritePresetFile(cleanName, parentForm);
}

void TVSTPluginBase::WritePresetFile(const std::string& cleanName, TVstEditorForm* parentForm)
{
    try
    {
        if (FPresetsFolder.empty())
            throw std::runtime_error("No documents folder");
        SetPresetName(cleanName);
        TMemoryStreamChunk chunk;
        if (!SaveState(chunk, parentForm))
            return;
        ForceDirectories(FPresetsFolder);
        chunk.WriteToFile(FPresetsFolder + cleanName + kPresetExtension);
        ResendFirstParameter();
    }
    catch (const std::exception& e)
    {
        ShowWarning(parentForm, "Error saving preset to file.", e.what(), "Save Preset");
    }
}

void TVSTPluginBase::LoadPresetFile(const std::string& path, TVstEditorForm* parentForm)
{
    TMemoryStreamChunk chunk;
    try
    {
        chunk.ReadFromFile(path);
    }
    catch (const std::exception& e)
    {
        ShowWarning(parentForm, "Error loading preset from file.", e.what(), "Load Preset");
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        ParameterValues().ResetToDefaults();
        return;
    }
    LoadState(chunk, false, parentForm);
    SetPresetName(FileNameWithoutExtension(path));
}

} // namespace tumblet
