// Feeds arbitrary bytes to an instance's program chunk exactly as a host restoring a project
// does, once as they are and once inside a well-formed container header, so that mutations
// reach the value stream as well as the container check.

#include "plugin/DialogService.h"
#include "plugin/Plugin.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{

using namespace tumblet;

// Failures are expected here; they only need to be contained, not shown.
class TSilentDialogs final : public TDialogService
{
public:
    void ShowMessageDialog(TVstEditorForm*, const std::string&, const std::string&,
                           TButtons buttons, TType, TAnswered answered) override
    {
        if (answered)
            answered(buttons == TButtons::YesNo ? TResult::No : TResult::OK);
    }
    void InputTextDialog(TVstEditorForm*, const std::string&, const std::string&, bool, int,
                         const std::string&, TTextEntered entered) override
    {
        if (entered)
            entered(std::nullopt);
    }
    void InputNumberDialog(TVstEditorForm*, const std::string&, const std::string&, double, double,
                           int, double, TNumberEntered entered) override
    {
        if (entered)
            entered(std::nullopt);
    }
};

std::intptr_t HostCallback(AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void*, float)
{
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

AEffect* CreateInstance()
{
    // A home of its own, so that no real presets or settings are read.
    static char home[] = "/tmp/tumblet-fuzz-XXXXXX";
    if (mkdtemp(home) != nullptr)
        setenv("HOME", home, 1);
    unsetenv("XDG_CONFIG_HOME");
    AEffect* effect =
        CreateVstInstance(&HostCallback,
                          []() -> std::unique_ptr<TVSTModule>
                          {
                              auto plugin = std::make_unique<TVSTPlugin>();
                              plugin->SetDialogService(std::make_unique<TSilentDialogs>());
                              return plugin;
                          });
    if (effect == nullptr)
        std::abort();
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    return effect;
}

void Load(AEffect* effect, std::vector<std::uint8_t>& bytes)
{
    effect->dispatcher(effect, effSetChunk, 1, static_cast<std::intptr_t>(bytes.size()),
                       bytes.data(), 0.0f);
    void* stored = nullptr;
    effect->dispatcher(effect, effGetChunk, 1, 0, &stored, 0.0f);
}

void SendController(AEffect* effect, std::uint8_t controller, std::uint8_t value)
{
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.midiData[0] = static_cast<char>(0xB0);
    event.midiData[1] = static_cast<char>(controller);
    event.midiData[2] = static_cast<char>(value);
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    effect->dispatcher(effect, effProcessEvents, 0, 0, &events, 0.0f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static AEffect* effect = CreateInstance();

    std::vector<std::uint8_t> raw(data, data + size);
    Load(effect, raw);

    std::vector<std::uint8_t> wrapped = {'m', 'm', 's', 't'};
    const auto length = static_cast<std::uint32_t>(size);
    for (int i = 0; i < 4; ++i)
        wrapped.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    wrapped.insert(wrapped.end(), data, data + size);
    Load(effect, wrapped);

    if (size > 0)
        SendController(effect, data[size - 1] & 0x7F, data[0] & 0x7F);
    return 0;
}
