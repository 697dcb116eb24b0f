#pragma once

#include "plugin/BlxMidiCC.h"
#include "plugin/BlxVSTParameterValues.h"
#include "plugin/DialogService.h"
#include "plugin/EditorMailbox.h"
#include "vst2/VSTModule.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace tumblet
{

class TBlxRegistry;
class TCustomVstProgram;
class TIniFile;
class TMemoryStreamChunk;
class TValueReader;
class TValueWriter;

/// What a state stream asks of the module, in stream order: read first (no lock), applied
/// afterwards under the instance lock. A read failure ends the list where it happened.
struct TStateContent
{
    struct TAction
    {
        enum class TKind : std::uint8_t
        {
            PresetName,    ///< Name becomes the preset name
            Value,         ///< the parameter called Name gets Value
            ClearMappings, ///< the mappings are emptied
            Mapping,       ///< Name follows controller CC
        };
        TKind Kind;
        std::string Name;
        float Value = 0.0f;
        std::int32_t CC = 0;
    };
    std::vector<TAction> Actions;
    std::string Error; ///< the read failure's message; empty when the whole stream was read

    void AddValue(const char* name, float value)
    {
        Actions.push_back({TAction::TKind::Value, name, value, 0});
    }
};

/// The maker's common plug-in module: what every Brindlex plug-in shares on top of the
/// framework (the value store, state chunk, settings, presets, controller learn).
///
/// Threads: the mappings, the learn target and the preset name are guarded by the instance
/// lock. Operations marked "UI" may show dialogs and never hold the lock while they do.
class TVSTPluginBase : public TVSTModule
{
public:
    enum TLearnState : std::uint8_t
    {
        lsNone = 0,
        lsLearning = 1,
        lsSettingCC = 2,
    };

    TVSTPluginBase();
    ~TVSTPluginBase() override;

    /// The only store of current parameter values. Thread: values readable from any thread.
    TVSTParameterValues& ParameterValues() { return *FParameterValues; }

    /// Tells the host that the user touched a parameter control, so hosts that follow the
    /// touched parameter select it. Skipped for hosts that treat the report as a change.
    // Thread: UI.
    void NotifyParameterTouched(const std::string& name);

    /// The host's kind, refreshed on the threads that may ask the host for its name.
    bool HostIsUnknown() const noexcept { return FHostIsUnknown.load(std::memory_order_relaxed); }
    /// Hosts whose editor changes are not reported back as automation.
    bool HostIgnoresTouch();

    /// Texts for the editor from the processing thread. Thread: see the mailbox.
    TEditorMailbox& EditorMailbox() noexcept { return FEditorMailbox; }

    // Operations the product overrides, in the order they were introduced.
    virtual void ApplySkin();
    virtual void DefineParameterValues() {}
    /// Reads the parameter list of a state stream into content (applied later by name).
    virtual void ReadParameterValues(TValueReader& reader, const std::string& version,
                                     TStateContent& content);
    virtual void LoadCustomSettings(TIniFile&) {}
    /// Writes the parameter list of a state stream.
    virtual void WriteParameterValues(TValueWriter& writer);
    virtual void SaveCustomSettings(TIniFile&) {}
    /// Empty preset name, every parameter at its default, no mappings. Thread: any; lock.
    virtual void ResetState();
    virtual void ValueListText(const std::string& name, std::int32_t tag, std::string& text);

    // ---- Dialogs and seams set before creation (tests, the editor) ---------------------------

    TDialogService& Dialogs() noexcept { return *FDialogs; }
    /// Replaces the dialogs. Thread: UI, while no operation runs.
    void SetDialogService(std::unique_ptr<TDialogService> service);
    /// Replaces the registry the settings migration reads. Thread: before creation.
    void SetRegistry(std::unique_ptr<TBlxRegistry> registry);

    // ---- State chunk ---------------------------------------------------------------------------

    /// Writes the whole state as the chunk's payload; false (after a message) on failure.
    // Thread: any; takes the instance lock.
    bool SaveState(TMemoryStreamChunk& chunk, TVstEditorForm* parentForm);
    /// Applies a payload; false (after a message) on failure, with what was read before the
    /// failure applied. Thread: any; reads without the lock, applies under it.
    bool LoadState(TMemoryStreamChunk& chunk, bool checkPresetFile, TVstEditorForm* parentForm);
    const std::string& StateVersion() const { return FStateVersion; }

    // ---- Settings, skins, presets --------------------------------------------------------------

    const std::string& SettingsFolder() const { return FSettingsFolder; }
    const std::string& PresetsFolder() const { return FPresetsFolder; }
    const std::string& SettingsFile() const { return FSettingsFile; }
    const std::string& UserGuideFileName() const { return FUserGuideFileName; }
    /// The user guide's path: the settings folder's copy, else the one beside the library;
    /// empty when neither exists. Thread: UI.
    std::string UserGuidePath() const;

    std::int32_t Style() const noexcept { return FStyle.load(std::memory_order_relaxed); }
    /// Saves the settings when the skin changes; it shows at the next editor opening. Thread: UI.
    void SetStyle(std::int32_t index);
    std::int32_t LowestOctave() const noexcept
    {
        return FLowestOctave.load(std::memory_order_relaxed);
    }
    /// Changes the octave numbering of the whole process and saves the settings. Thread: UI.
    void SetLowestOctave(std::int32_t value);
    /// The editor size the user chose, in percent; 0 leaves it to the host or the desktop.
    /// One choice for every editor of the process. Thread: any.
    static std::int32_t EditorSize() noexcept;
    /// Saves the choice; open editors follow at their next idle call. Thread: UI.
    void SetEditorSize(std::int32_t percent);
    /// The scale the host asked the editor to draw at, or 0 when it said nothing. Thread: any.
    float HostEditorScale() const noexcept
    {
        return FHostEditorScale.load(std::memory_order_relaxed);
    }
    void SetHostEditorScale(float scale) noexcept
    {
        FHostEditorScale.store(scale, std::memory_order_relaxed);
    }
    /// Tells the host that the open editor now has this size in device pixels, when the host
    /// can resize its window. Thread: UI, never under the instance lock.
    void ReportEditorSize(std::int32_t width, std::int32_t height);
    void LoadSettings();
    void SaveSettings();

    /// A copy of the current preset name. Thread: any; takes the instance lock.
    std::string PresetName();
    /// Thread: any; takes the instance lock. The editor learns of it from TakePresetNameChanged.
    void SetPresetName(const std::string& name);
    /// True once after the preset name changed. Thread: UI (the editor, at idle).
    bool TakePresetNameChanged() noexcept { return FPresetNameChanged.exchange(false); }
    /// Sets parameter 0 again to its own value, so the host sees a change (and saves the
    /// state) after changes that live only in the state chunk. Thread: any; lock.
    void ResendFirstParameter();
    /// The start-up state: the init preset when there is one, else the defaults. Thread: UI.
    void LoadInitPreset();
    /// Saves the state under the cleaned name; a file of that name is replaced only after the
    /// user agreed, which may be on a later idle. Thread: UI.
    void SavePresetFile(const std::string& name, TVstEditorForm* parentForm);
    void LoadPresetFile(const std::string& path, TVstEditorForm* parentForm);
    /// False for a name that cannot name a file inside the presets folder. Thread: any.
    bool PresetExists(const std::string& name) const;

    // ---- MIDI controller learn and mappings ---------------------------------------------------

    /// The mappings. Thread: under the instance lock only.
    TMidiCCList& MidiCCList() noexcept { return FMidiCCList; }
    std::uint8_t LearnState() const noexcept { return FLearnState.load(std::memory_order_relaxed); }
    /// A copy of the learn target. Thread: any; takes the instance lock.
    std::string LearnTarget();
    /// Thread: any; takes the instance lock (allocates nothing, so the audio thread may call).
    void SetLearnState(std::uint8_t state) noexcept;
    // Editor commands. Thread: UI.
    void ToggleLearn();
    void ToggleSetCC();
    void LearnControlPressed(const std::string& name);
    void SetCCControlPressed(const std::string& name);
    void RemoveMapping(std::int32_t index);
    /// Maps name to a controller (and resolves its parameter). Thread: any; takes the lock.
    void SetMapping(const std::string& name, std::int32_t cc);

    /// The transport has just started: controller learning stops. Thread: audio.
    void TransportStarted() noexcept { SetLearnState(lsNone); }

protected:
    /// The common part of creation, in its fixed order: mappings, value store, folders,
    /// settings, parameter definitions, init preset.
    void BaseModuleCreate();
    void BaseModuleDestroy();
    /// Asks the host for its name (not on the audio thread: it builds strings).
    void RefreshHostKind();
    /// Learn and mapped controllers; the product's MIDI handler calls it first for every
    /// event. Thread: audio, under the instance lock; allocates nothing.
    void VSTModuleProcessMidi(const TVstMidiEvent& event) noexcept;

    void SetStateVersion(std::string version) { FStateVersion = std::move(version); }
    void SetUserGuideFileName(std::string name) { FUserGuideFileName = std::move(name); }

    std::intptr_t HostCallOpen(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallMainsChanged(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallEditOpen(std::int32_t, std::intptr_t, void*, float) override;
    // The framework runs the chunk events under the instance lock; their messages wait until
    // it is released, so that no dialog ever holds up processing.
    std::intptr_t HostCallGetChunk(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallSetChunk(std::int32_t, std::intptr_t, void*, float) override;

private:
    void WritePresetFile(const std::string& cleanName, TVstEditorForm* parentForm);
    // State chunk steps.
    void VSTPluginBasePrograms0StoreChunk(TCustomVstProgram& sender, std::int32_t index,
                                          bool isPreset);
    void VSTPluginBasePrograms0LoadChunk(TCustomVstProgram& sender, std::int32_t index,
                                         bool isPreset);
    void WritePayload(TValueWriter& writer);
    void ReadPayload(TValueReader& reader, TStateContent& content);
    /// Applies what was read; returns the failure's message, empty when everything applied.
    std::string ApplyState(const TStateContent& content, bool checkPresetFile);
    void ShowWarning(TVstEditorForm* parentForm, const std::string& sentence,
                     const std::string& message, const std::string& caption);
    /// Shows the warnings held back while a chunk opcode had the lock.
    void ShowDeferredWarnings();
    /// Holds warnings back for its lifetime (a chunk opcode's, which runs under the lock).
    class TDeferWarningsScope
    {
    public:
        explicit TDeferWarningsScope(TVSTPluginBase& owner);
        ~TDeferWarningsScope();

    private:
        TVSTPluginBase& FOwner;
    };

    // Learn steps.
    void CompleteLearn(std::int32_t controller) noexcept;
    void ApplyMappedController(std::int32_t controller, std::int32_t value);
    void ShowInfo(const std::string& text);
    void ResolveMappings();

    void ComputeFolders();
    void MigrateRegistrySettings(const std::string& key);

    std::unique_ptr<TVSTParameterValues> FParameterValues;
    TEditorMailbox FEditorMailbox;
    std::atomic<bool> FHostIsUnknown{true};

    std::unique_ptr<TDialogService> FDialogs;
    struct TDeferredWarning
    {
        std::string Text;
        std::string Caption;
    };
    /// Set (under the lock) while a chunk opcode runs; warnings then wait in FDeferredWarnings.
    bool FDeferWarnings = false;
    /// Set when a chunk load refused its state; read by effSetChunk under the instance lock.
    bool FStateRefused = false;
    std::vector<TDeferredWarning> FDeferredWarnings;
    std::unique_ptr<TBlxRegistry> FRegistry;

    std::string FStateVersion;
    std::string FUserGuideFileName;
    std::string FSettingsFolder;
    std::string FPresetsFolder;
    std::string FSettingsFile;
    std::atomic<std::int32_t> FStyle{0};
    std::atomic<std::int32_t> FLowestOctave{0};
    std::atomic<float> FHostEditorScale{0.0f};
    std::string FPresetName; ///< guarded by the instance lock
    std::atomic<bool> FPresetNameChanged{false};

    TMidiCCList FMidiCCList; ///< guarded by the instance lock
    std::atomic<std::uint8_t> FLearnState{lsNone};
    std::string FLearnTarget;  ///< guarded by the instance lock
    TMidiCCItem FLearnPending; ///< the item a learn appends, built before it is needed
};

} // namespace tumblet
