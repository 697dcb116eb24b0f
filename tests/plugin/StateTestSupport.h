#pragma once

// Seams for the state, preset, settings and learn tests: scripted dialogs, an in-memory
// registry, a private home folder and instances created with them.

#include "PluginTestSupport.h"
#include "plugin/BlxRegistry.h"
#include "plugin/DialogService.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tumblet::test
{

/// Records every dialog and answers from scripts; an empty script answers like the stderr
/// service (OK, No, cancel).
class TScriptedDialogs : public TDialogService
{
public:
    struct TMessage
    {
        std::string Text;
        std::string Caption;
        TButtons Buttons;
        TType Type;
    };
    struct TNumberRequest
    {
        std::string Caption;
        std::string Prompt;
        double MaxValue;
        double MinValue;
        int Decimals;
        double Initial;
    };

    std::vector<TMessage> Messages;
    std::vector<TNumberRequest> NumberRequests;
    std::deque<TResult> MessageAnswers;
    /// A number to confirm, or no value to cancel.
    std::deque<std::pair<bool, double>> NumberAnswers;
    /// Runs while a message is "on screen".
    std::function<void()> OnShow;

    /// Each answers inside the call, as a user who answers before the next idle.
    void ShowMessageDialog(TVstEditorForm*, const std::string& text, const std::string& caption,
                           TButtons buttons, TType type, TAnswered answered) override;
    void InputTextDialog(TVstEditorForm*, const std::string&, const std::string&, bool, int,
                         const std::string&, TTextEntered entered) override
    {
        entered(std::nullopt);
    }
    void InputNumberDialog(TVstEditorForm*, const std::string& caption, const std::string& prompt,
                           double maxValue, double minValue, int decimals, double value,
                           TNumberEntered entered) override;
};

/// The registry as a set of keys with string values; deleting a key removes its subkeys.
class TMemoryRegistry : public TBlxRegistry
{
public:
    std::set<std::string> Keys;
    std::map<std::pair<std::string, std::string>, std::string> Values;

    bool KeyExists(const std::string& key) override { return Keys.count(key) > 0; }
    bool ReadString(const std::string& key, const std::string& name, std::string& value) override;
    bool DeleteKey(const std::string& key, const std::string& subKey) override;
};

/// HOME set to a fresh folder inside the test home (XDG_CONFIG_HOME and XDG_DOCUMENTS_DIR
/// unset) for the object's lifetime; the variables come back as they were.
class THomeFolder
{
public:
    THomeFolder();
    ~THomeFolder();
    const std::string& Path() const { return FPath; }
    /// The per-user folder the module uses under this home, with a trailing slash.
    std::string SettingsFolder() const { return FPath + "/Documents/Brindlex/Tumblet/"; }
    std::string PresetsFolder() const { return SettingsFolder() + "Presets/"; }

private:
    std::string FPath;
    std::vector<std::optional<std::string>> FOldValues;
};

/// An in-process instance created with scripted dialogs (and optionally a registry).
class TStateInstance
{
public:
    explicit TStateInstance(std::unique_ptr<TBlxRegistry> registry = nullptr);
    TVSTPlugin& Plugin() { return PluginOf(Host.Effect()); }
    TScriptedDialogs& Dialogs() { return *FDialogs; }

    /// The program chunk as the host gets it.
    std::vector<std::uint8_t> GetChunk();
    /// Hands bytes to the program chunk as the host does; answers the opcode's result.
    std::intptr_t SetChunk(const std::vector<std::uint8_t>& bytes);
    /// Sends one MIDI message through effProcessEvents.
    void Send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    /// The latest text for the editor, "<none>" when nothing was posted since the last take.
    std::string TakeInfo();
    float Value(const char* name) { return Plugin().ParameterValues().Items(name).Value(); }
    /// Indices of the parameters reported to the host as automation, in order.
    std::vector<std::int32_t> Automated();

    TTestHost Host;

private:
    TScriptedDialogs* FDialogs = nullptr;
};

/// A state stream assembled byte by byte.
struct TStreamBuilder
{
    std::vector<std::uint8_t> Bytes;
    TStreamBuilder& Raw(std::initializer_list<std::uint8_t> bytes);
    TStreamBuilder& Text(const std::string& text);        ///< raw characters, no tag
    TStreamBuilder& ShortString(const std::string& text); ///< tag 06
    TStreamBuilder& Float(double value);                  ///< tag 05
    /// Signature and header list with the version and preset name.
    TStreamBuilder& Header(const std::string& version, const std::string& presetName = "");
    /// The payload wrapped in an "mmst" container.
    std::vector<std::uint8_t> Container() const;
};

std::vector<std::uint8_t> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteTextFile(const std::string& path, const std::string& text);
void MakeFolders(const std::string& path);

} // namespace tumblet::test
