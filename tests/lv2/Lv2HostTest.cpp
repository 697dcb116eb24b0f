// Tumblet.lv2 in a real LV2 host library (lilv): it loads from its bundle, plays the same
// arpeggio at the same frames as Tumblet.so does for a VST 2.4 host, and its saved state is the
// VST 2.4 state chunk, restoring into a new instance.

#include "lv2/Lv2Instance.h"
#include "support/TestHost.h"

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
// Xlib names a type "Status" by a macro; the test host's events have a field of that name.
#undef Status
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace tumblet::test
{
namespace
{

constexpr double kSampleRate = 44100.0;
constexpr std::uint32_t kBlock = 512;
constexpr std::size_t kAtomCapacity = 65536;

/// One sent note event: absolute frame, status, note, velocity.
using TNoteEvent = std::tuple<std::int64_t, int, int, int>;

class TUridMap
{
public:
    LV2_URID Map(const char* uri)
    {
        auto [it, added] = FIds.try_emplace(uri, static_cast<LV2_URID>(FIds.size() + 1));
        if (added)
            FUris.push_back(it->first);
        return it->second;
    }
    const char* Unmap(LV2_URID id) const
    {
        return id >= 1 && id <= FUris.size() ? FUris[id - 1].c_str() : nullptr;
    }

    LV2_URID_Map MapFeature{this, [](LV2_URID_Map_Handle h, const char* uri)
                            { return static_cast<TUridMap*>(h)->Map(uri); }};
    LV2_URID_Unmap UnmapFeature{this, [](LV2_URID_Unmap_Handle h, LV2_URID id)
                                { return static_cast<TUridMap*>(h)->Unmap(id); }};

private:
    std::map<std::string, LV2_URID> FIds;
    std::vector<std::string> FUris;
};

/// A minimal LV2 host on lilv for one Tumblet.lv2 instance.
class TLv2Host
{
public:
    explicit TLv2Host(LilvWorld* world, const LilvPlugin* plugin, TUridMap& map)
        : FMap(map), FControls(lilv_plugin_get_num_ports(plugin), 0.0f)
    {
        std::vector<float> defaults(FControls.size());
        lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
        for (std::size_t i = 0; i < FControls.size(); ++i)
            FControls[i] = defaults[i];
        FFeatureMap = {LV2_URID__map, &map.MapFeature};
        FFeatureUnmap = {LV2_URID__unmap, &map.UnmapFeature};
        FFeatures = {&FFeatureMap, &FFeatureUnmap, nullptr};
        FInstance = lilv_plugin_instantiate(plugin, kSampleRate, FFeatures.data());
        (void)world;
        if (FInstance == nullptr)
            return;
        FIn.resize(kAtomCapacity / sizeof(std::uint64_t));
        FOut.resize(kAtomCapacity / sizeof(std::uint64_t));
        lilv_instance_connect_port(FInstance, kLv2MidiInPort, FIn.data());
        lilv_instance_connect_port(FInstance, kLv2MidiOutPort, FOut.data());
        for (std::uint32_t p = kLv2FirstParameterPort; p < FControls.size(); ++p)
            lilv_instance_connect_port(FInstance, p, &FControls[p]);
        lilv_instance_activate(FInstance);
        lv2_atom_forge_init(&FForge, &map.MapFeature);
    }
    ~TLv2Host()
    {
        if (FInstance != nullptr)
        {
            lilv_instance_deactivate(FInstance);
            lilv_instance_free(FInstance);
        }
    }

    LilvInstance* Instance() const { return FInstance; }
    AEffect* Effect() const
    {
        return static_cast<TLv2Instance*>(lilv_instance_get_handle(FInstance))->Effect;
    }
    float& Control(std::uint32_t parameter)
    {
        return FControls[kLv2FirstParameterPort + parameter];
    }
    const LV2_Feature* const* Features() const { return FFeatures.data(); }

    /// Runs one block: a time:Position at frame 0 when given, then the notes at their frames.
    void Run(std::uint32_t frames, const double* bar, const std::vector<TInEvent>& notes)
    {
        lv2_atom_forge_set_buffer(&FForge, reinterpret_cast<std::uint8_t*>(FIn.data()),
                                  kAtomCapacity);
        LV2_Atom_Forge_Frame sequence;
        lv2_atom_forge_sequence_head(&FForge, &sequence, 0);
        if (bar != nullptr)
        {
            lv2_atom_forge_frame_time(&FForge, 0);
            LV2_Atom_Forge_Frame object;
            lv2_atom_forge_object(&FForge, &object, 0, FMap.Map(LV2_TIME__Position));
            lv2_atom_forge_key(&FForge, FMap.Map(LV2_TIME__speed));
            lv2_atom_forge_float(&FForge, 1.0f);
            lv2_atom_forge_key(&FForge, FMap.Map(LV2_TIME__bar));
            lv2_atom_forge_long(&FForge, static_cast<std::int64_t>(*bar));
            lv2_atom_forge_key(&FForge, FMap.Map(LV2_TIME__barBeat));
            lv2_atom_forge_float(&FForge, 0.0f);
            lv2_atom_forge_key(&FForge, FMap.Map(LV2_TIME__beatsPerBar));
            lv2_atom_forge_float(&FForge, 4.0f);
            lv2_atom_forge_key(&FForge, FMap.Map(LV2_TIME__beatUnit));
            lv2_atom_forge_int(&FForge, 4);
            lv2_atom_forge_key(&FForge, FMap.Map(LV2_TIME__beatsPerMinute));
            lv2_atom_forge_float(&FForge, 120.0f);
            lv2_atom_forge_pop(&FForge, &object);
        }
        for (const TInEvent& note : notes)
        {
            const std::uint8_t bytes[3] = {note.Status, note.Data1, note.Data2};
            lv2_atom_forge_frame_time(&FForge, note.DeltaFrames);
            lv2_atom_forge_atom(&FForge, 3, FMap.Map(LV2_MIDI__MidiEvent));
            lv2_atom_forge_write(&FForge, bytes, 3);
        }
        lv2_atom_forge_pop(&FForge, &sequence);
        auto* out = reinterpret_cast<LV2_Atom_Sequence*>(FOut.data());
        out->atom.type = 0;
        out->atom.size = kAtomCapacity - sizeof(LV2_Atom);
        lilv_instance_run(FInstance, frames);
        const LV2_URID midi = FMap.Map(LV2_MIDI__MidiEvent);
        LV2_ATOM_SEQUENCE_FOREACH(out, event)
        {
            if (event->body.type != midi)
                continue;
            const auto* b = reinterpret_cast<const std::uint8_t*>(event + 1);
            Events.emplace_back(FProcessed + event->time.frames, b[0], b[1], b[2]);
            FrameInBlock.push_back(event->time.frames);
        }
        FProcessed += frames;
    }

    std::vector<TNoteEvent> Events;
    std::vector<std::int64_t> FrameInBlock;

private:
    TUridMap& FMap;
    std::vector<float> FControls;
    LV2_Feature FFeatureMap{};
    LV2_Feature FFeatureUnmap{};
    std::vector<const LV2_Feature*> FFeatures;
    LilvInstance* FInstance = nullptr;
    std::vector<std::uint64_t> FIn;
    std::vector<std::uint64_t> FOut;
    LV2_Atom_Forge FForge{};
    std::int64_t FProcessed = 0;
};

class Lv2HostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* bundle = std::getenv("TUMBLET_LV2_BUNDLE");
        ASSERT_NE(bundle, nullptr) << "TUMBLET_LV2_BUNDLE is not set";
        FWorld = lilv_world_new();
        std::string path = std::string(bundle) + "/";
        LilvNode* uri = lilv_new_file_uri(FWorld, nullptr, path.c_str());
        lilv_world_load_bundle(FWorld, uri);
        lilv_node_free(uri);
        LilvNode* pluginUri = lilv_new_uri(FWorld, kLv2PluginUri);
        FPlugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(FWorld), pluginUri);
        lilv_node_free(pluginUri);
        ASSERT_NE(FPlugin, nullptr) << "no " << kLv2PluginUri << " in " << bundle;
    }
    void TearDown() override { lilv_world_free(FWorld); }

    static std::vector<char> Chunk(AEffect* effect)
    {
        void* data = nullptr;
        const auto size = effect->dispatcher(effect, effGetChunk, 1, 0, &data, 0.0f);
        const char* bytes = static_cast<const char*>(data);
        return size > 0 && bytes != nullptr ? std::vector<char>(bytes, bytes + size)
                                            : std::vector<char>{};
    }

    LilvWorld* FWorld = nullptr;
    const LilvPlugin* FPlugin = nullptr;
    TUridMap FMap;
};

TEST_F(Lv2HostTest, PlaysTheSameArpeggioAtTheSameFramesAsTheVstPlugin)
{
    const std::vector<TInEvent> chord = {NoteOn(60, 100, 100), NoteOn(64, 100, 100),
                                         NoteOn(67, 100, 100)};
    constexpr int kBlocks = 2 * 4 * 44100 / 2 / kBlock; // two bars at 120 BPM

    TLv2Host lv2(FWorld, FPlugin, FMap);
    ASSERT_NE(lv2.Instance(), nullptr);
    const double bar = 0;
    for (int block = 0; block < kBlocks; ++block)
    {
        lv2.Run(kBlock, block == 0 ? &bar : nullptr, block == 0 ? chord : std::vector<TInEvent>{});
    }

    TTestHost vst;
    ASSERT_NE(vst.LoadAndOpen(), nullptr);
    vst.SetPlaying(120.0, kSampleRate);
    for (int block = 0; block < kBlocks; ++block)
    {
        if (block == 0)
            vst.SendEvents(chord);
        vst.ProcessAndAdvance(kBlock);
    }
    std::vector<TNoteEvent> expected;
    for (const auto& timed : vst.Timeline)
        expected.emplace_back(timed.Position, timed.Event.Data[0], timed.Event.Data[1],
                              timed.Event.Data[2]);

    ASSERT_GE(expected.size(), 16u) << "the VST plug-in played too little to compare";
    // The same notes; the frames agree to within the rounding of the song position, which
    // the LV2 host reports as bar and beat and the VST host as quarter notes.
    ASSERT_EQ(lv2.Events.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        const auto [frame, status, note, velocity] = lv2.Events[i];
        const auto [wantFrame, wantStatus, wantNote, wantVelocity] = expected[i];
        EXPECT_NEAR(frame, wantFrame, 1) << "event " << i;
        EXPECT_EQ(std::tie(status, note, velocity), std::tie(wantStatus, wantNote, wantVelocity))
            << "event " << i;
    }
    for (std::int64_t frame : lv2.FrameInBlock)
    {
        EXPECT_GE(frame, 0);
        EXPECT_LT(frame, kBlock);
    }
}

TEST_F(Lv2HostTest, SavedStateIsTheVstChunkAndRestoresIntoANewInstance)
{
    // Gate, Velocity and Transpose moved on their ports.
    const std::vector<std::pair<std::uint32_t, float>> moves = {{5, 150}, {8, -40}, {14, 7}};
    TLv2Host first(FWorld, FPlugin, FMap);
    ASSERT_NE(first.Instance(), nullptr);
    for (auto [parameter, value] : moves)
        first.Control(parameter) = value;
    first.Run(kBlock, nullptr, {});

    LilvState* state =
        lilv_state_new_from_instance(FPlugin, first.Instance(), &FMap.MapFeature, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr, 0, first.Features());
    ASSERT_NE(state, nullptr);

    TLv2Host second(FWorld, FPlugin, FMap);
    ASSERT_NE(second.Instance(), nullptr);
    lilv_state_restore(state, second.Instance(), nullptr, nullptr, 0, second.Features());
    lilv_state_free(state);
    const std::vector<char> restored = Chunk(second.Effect());

    TTestHost vst;
    ASSERT_NE(vst.LoadAndOpen(), nullptr);
    for (auto [parameter, value] : moves)
    {
        AEffect* effect = vst.Effect();
        const float min = parameter == 5 ? 0.0f : parameter == 8 ? -100.0f : -36.0f;
        const float max = parameter == 5 ? 200.0f : parameter == 8 ? 100.0f : 36.0f;
        effect->setParameter(effect, static_cast<std::int32_t>(parameter),
                             (value - min) / (max - min));
    }
    ASSERT_FALSE(restored.empty());
    EXPECT_EQ(restored, Chunk(first.Effect()));
    EXPECT_EQ(restored, Chunk(vst.Effect()));
}

// The UI runs the module's own editor in the host's window and reports values that changed
// inside the module (the editor, a mapped controller) to the host's control ports.
TEST_F(Lv2HostTest, UiOpensTheEditorAndReportsChangesToThePorts)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        GTEST_SKIP() << "no X display";
    const Window parent =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 712, 341, 0, 0, 0);
    XSync(display, False);
    TLv2Host plugin(FWorld, FPlugin, FMap);
    ASSERT_NE(plugin.Instance(), nullptr);

    const std::string library =
        std::string(std::getenv("TUMBLET_LV2_BUNDLE")) + "/Tumblet_lv2ui.so";
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    using TDescriptorFunction = const LV2UI_Descriptor* (*)(std::uint32_t);
    auto descriptorOf = reinterpret_cast<TDescriptorFunction>(dlsym(handle, "lv2ui_descriptor"));
    ASSERT_NE(descriptorOf, nullptr);
    const LV2UI_Descriptor* ui = descriptorOf(0);
    ASSERT_NE(ui, nullptr);

    std::vector<std::pair<std::uint32_t, float>> writes;
    const auto write = [](LV2UI_Controller controller, std::uint32_t port, std::uint32_t size,
                          std::uint32_t protocol, const void* buffer)
    {
        if (size == sizeof(float) && protocol == 0)
            static_cast<decltype(writes)*>(controller)
                ->emplace_back(port, *static_cast<const float*>(buffer));
    };
    LV2_Feature access{LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(plugin.Instance())};
    LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
    const LV2_Feature* features[] = {&access, &parentFeature, nullptr};
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle view = ui->instantiate(ui, kLv2UiUri, "", write, &writes, &widget, features);
    ASSERT_NE(view, nullptr) << "the editor did not open";
    EXPECT_NE(widget, nullptr);
    const auto* idle =
        static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle, nullptr);

    EXPECT_EQ(idle->idle(view), 0);
    EXPECT_EQ(writes.size(), 22u) << "the first idle call reports every value once";
    writes.clear();
    EXPECT_EQ(idle->idle(view), 0);
    EXPECT_TRUE(writes.empty()) << "nothing changed, nothing reported";
    AEffect* effect = plugin.Effect();
    effect->setParameter(effect, 5, 0.75f); // Gate 150, as a mapped controller would set it
    EXPECT_EQ(idle->idle(view), 0);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].first, kLv2FirstParameterPort + 5);
    EXPECT_FLOAT_EQ(writes[0].second, 150.0f);

    ui->cleanup(view);
    dlclose(handle);
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}

} // namespace
} // namespace tumblet::test
