#include "StateTestSupport.h"

#include "support/TestHome.h"

#include "plugin/ValueTags.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tumblet::test
{

namespace
{
std::unique_ptr<TScriptedDialogs> gNextDialogs;
std::unique_ptr<TBlxRegistry> gNextRegistry;

AEffect* StateEntry(audioMasterCallback callback)
{
    return CreateVstInstance(callback,
                             []() -> std::unique_ptr<TVSTModule>
                             {
                                 auto plugin = std::make_unique<TVSTPlugin>();
                                 plugin->SetDialogService(std::move(gNextDialogs));
                                 if (gNextRegistry)
                                     plugin->SetRegistry(std::move(gNextRegistry));
                                 return plugin;
                             });
}
} // namespace

void TScriptedDialogs::ShowMessageDialog(TVstEditorForm*, const std::string& text,
                                         const std::string& caption, TButtons buttons, TType type,
                                         TAnswered answered)
{
    Messages.push_back({text, caption, buttons, type});
    if (OnShow)
        OnShow();
    TResult answer = buttons == TButtons::YesNo ? TResult::No : TResult::OK;
    if (!MessageAnswers.empty())
    {
        answer = MessageAnswers.front();
        MessageAnswers.pop_front();
    }
    if (answered)
        answered(answer);
}

void TScriptedDialogs::InputNumberDialog(TVstEditorForm*, const std::string& caption,
                                         const std::string& prompt, double maxValue,
                                         double minValue, int decimals, double value,
                                         TNumberEntered entered)
{
    NumberRequests.push_back({caption, prompt, maxValue, minValue, decimals, value});
    std::optional<double> answer;
    if (!NumberAnswers.empty())
    {
        if (NumberAnswers.front().first)
            answer = NumberAnswers.front().second;
        NumberAnswers.pop_front();
    }
    entered(answer);
}

bool TMemoryRegistry::ReadString(const std::string& key, const std::string& name,
                                 std::string& value)
{
    const auto found = Values.find({key, name});
    if (found == Values.end())
        return false;
    value = found->second;
    return true;
}

bool TMemoryRegistry::DeleteKey(const std::string& key, const std::string& subKey)
{
    const std::string path = key + "\\" + subKey;
    if (Keys.count(path) == 0)
        return false;
    for (auto it = Keys.begin(); it != Keys.end();)
        it = (*it == path || it->rfind(path + "\\", 0) == 0) ? Keys.erase(it) : std::next(it);
    for (auto it = Values.begin(); it != Values.end();)
    {
        const std::string& owner = it->first.first;
        it = (owner == path || owner.rfind(path + "\\", 0) == 0) ? Values.erase(it) : std::next(it);
    }
    return true;
}

namespace
{
const char* const kHomeVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR"};
}

THomeFolder::THomeFolder() : FPath(TTestHome::NewFolder("home").string())
{
    for (const char* name : kHomeVariables)
    {
        const char* value = std::getenv(name);
        FOldValues.emplace_back(value ? std::optional<std::string>(value) : std::nullopt);
    }
    setenv("HOME", FPath.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DOCUMENTS_DIR");
}

THomeFolder::~THomeFolder()
{
    for (std::size_t i = 0; i < FOldValues.size(); ++i)
    {
        if (FOldValues[i])
            setenv(kHomeVariables[i], FOldValues[i]->c_str(), 1);
        else
            unsetenv(kHomeVariables[i]);
    }
    RemoveTestFolder(FPath);
}

TStateInstance::TStateInstance(std::unique_ptr<TBlxRegistry> registry)
{
    auto dialogs = std::make_unique<TScriptedDialogs>();
    FDialogs = dialogs.get();
    gNextDialogs = std::move(dialogs);
    gNextRegistry = std::move(registry);
    if (Host.LoadAndOpenWith(&StateEntry) == nullptr)
        throw std::runtime_error("the plug-in did not load");
}

std::vector<std::uint8_t> TStateInstance::GetChunk()
{
    void* data = nullptr;
    const std::intptr_t size = Host.Dispatch(effGetChunk, 1, 0, &data);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

std::intptr_t TStateInstance::SetChunk(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::uint8_t> copy = bytes;
    return Host.Dispatch(effSetChunk, 1, static_cast<std::intptr_t>(copy.size()), copy.data());
}

void TStateInstance::Send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    Host.SendEvents({TInEvent{0, status, data1, data2}});
}

std::string TStateInstance::TakeInfo()
{
    TEditorMailbox::TKind kind{};
    std::string text;
    if (!Plugin().EditorMailbox().Take(kind, text))
        return "<none>";
    return text;
}

std::vector<std::int32_t> TStateInstance::Automated()
{
    std::vector<std::int32_t> result;
    for (const THostCall& call : Host.Calls)
    {
        if (call.Opcode == audioMasterAutomate)
            result.push_back(call.Index);
    }
    return result;
}

TStreamBuilder& TStreamBuilder::Raw(std::initializer_list<std::uint8_t> bytes)
{
    Bytes.insert(Bytes.end(), bytes);
    return *this;
}

TStreamBuilder& TStreamBuilder::Text(const std::string& text)
{
    Bytes.insert(Bytes.end(), text.begin(), text.end());
    return *this;
}

TStreamBuilder& TStreamBuilder::ShortString(const std::string& text)
{
    Raw({0x06, static_cast<std::uint8_t>(text.size())});
    return Text(text);
}

TStreamBuilder& TStreamBuilder::Float(double value)
{
    std::uint8_t bytes[kExtendedBytes];
    WidenToExtended(value, bytes);
    Raw({0x05});
    Bytes.insert(Bytes.end(), bytes, bytes + kExtendedBytes);
    return *this;
}

TStreamBuilder& TStreamBuilder::Header(const std::string& version, const std::string& presetName)
{
    Text("TPF0").Raw({0x01}).ShortString(version).ShortString(presetName);
    return ShortString("").ShortString("").Raw({0x00});
}

std::vector<std::uint8_t> TStreamBuilder::Container() const
{
    std::vector<std::uint8_t> result = {'m', 'm', 's', 't'};
    const auto size = static_cast<std::uint32_t>(Bytes.size());
    for (int i = 0; i < 4; ++i)
        result.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    result.insert(result.end(), Bytes.begin(), Bytes.end());
    return result;
}

std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

void MakeFolders(const std::string& path)
{
    std::filesystem::create_directories(path);
}

} // namespace tumblet::test
