// Learn, mappings, the preset name and chunk transfers from the editor's thread while the
// audio thread processes controllers. Run under ThreadSanitizer by the test script.

#include "StateTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

namespace tumblet::test
{
namespace
{

// A host that only answers: its own bookkeeping must not race with the plug-in's threads.
VstTimeInfo gTimeInfo{};

std::intptr_t QuietHost(AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void*, float)
{
    if (opcode == audioMasterVersion)
        return kVstVersion;
    if (opcode == audioMasterGetTime)
        return reinterpret_cast<std::intptr_t>(&gTimeInfo);
    return 0;
}

AEffect* QuietEntry(audioMasterCallback callback)
{
    return CreateVstInstance(callback,
                             []() -> std::unique_ptr<TVSTModule>
                             {
                                 auto plugin = std::make_unique<TVSTPlugin>();
                                 plugin->SetDialogService(std::make_unique<TScriptedDialogs>());
                                 return plugin;
                             });
}

void SendController(AEffect* effect, std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof event;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    effect->dispatcher(effect, effProcessEvents, 0, 0, &events, 0.0f);
}

TEST(LearnThreadsTest, EditorCommandsWhileControllersArriveAreSafe)
{
    THomeFolder home;
    gTimeInfo.sampleRate = 44100.0;
    gTimeInfo.tempo = 120.0;
    gTimeInfo.timeSigNumerator = 4;
    gTimeInfo.timeSigDenominator = 4;
    gTimeInfo.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid;
    AEffect* effect = QuietEntry(&QuietHost);
    ASSERT_NE(effect, nullptr);
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    TVSTPlugin& plugin = PluginOf(effect);
    const char* names[] = {"Gate", "Note Probability", "Swing", "Velocity Random"};
    TEditorMailbox::TKind kind{};
    std::string text;
    ProcessWhile(
        effect, 3000,
        [&](int i)
        {
            SendController(effect, 0xB0, static_cast<std::uint8_t>(i % 4),
                           static_cast<std::uint8_t>(i % 128));
            if (i % 50 == 0)
                SendController(effect, 0x90, 60, 100);
            if (i % 50 == 25)
                SendController(effect, 0x80, 60, 0);
        },
        [&](int i)
        {
            plugin.ToggleLearn();
            plugin.LearnControlPressed(names[i % 4]);
            plugin.SetMapping(names[(i + 1) % 4], i % 4);
            if (plugin.LearnState() == 0 && i % 3 == 0)
                plugin.RemoveMapping(0);
            plugin.SetPresetName(i % 2 == 0 ? "A" : "");
            (void)plugin.PresetName();
            (void)plugin.LearnTarget();
            plugin.EditorMailbox().Take(kind, text);
            if (i % 10 == 0)
            {
                void* data = nullptr;
                const std::intptr_t size =
                    effect->dispatcher(effect, effGetChunk, 1, 0, &data, 0.0f);
                std::vector<std::uint8_t> copy(static_cast<std::uint8_t*>(data),
                                               static_cast<std::uint8_t*>(data) + size);
                effect->dispatcher(effect, effSetChunk, 1, size, copy.data(), 0.0f);
            }
            plugin.SetLearnState(0);
        });
    // Whatever the order of the two threads, the mappings end as the list promises: one item
    // per name, a known parameter behind each name, a controller number in range, and a state
    // that a new instance takes back unchanged.
    std::set<std::string> seen;
    const TMidiCCList& mappings = plugin.MidiCCList();
    for (std::int32_t i = 0; i < mappings.Count(); ++i)
    {
        const TMidiCCItem& item = mappings.Items(i);
        EXPECT_TRUE(seen.insert(item.Name).second) << "two mappings for " << item.Name;
        EXPECT_GE(item.ParameterIndex, 0) << item.Name;
        EXPECT_TRUE(item.CC >= 0 && item.CC <= 127) << item.Name << " " << item.CC;
    }
    // A host chunk naming a preset that is not in the presets folder loads with the name
    // emptied, so the state compared is one without a name.
    plugin.SetPresetName("");
    void* data = nullptr;
    const std::intptr_t size = effect->dispatcher(effect, effGetChunk, 1, 0, &data, 0.0f);
    const std::vector<std::uint8_t> state(static_cast<std::uint8_t*>(data),
                                          static_cast<std::uint8_t*>(data) + size);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);

    TStateInstance again;
    EXPECT_EQ(again.SetChunk(state), static_cast<std::intptr_t>(state.size()));
    EXPECT_EQ(again.GetChunk(), state);
}

} // namespace
} // namespace tumblet::test
