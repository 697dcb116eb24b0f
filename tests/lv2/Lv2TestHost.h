#pragma once

// A minimal LV2 host on lilv for Tumblet.lv2, loaded from the bundle the build made
// (TUMBLET_LV2_BUNDLE), for the tests that drive the plug-in as an LV2 host would.

#include "lv2/Lv2Instance.h"
#include "support/TestHost.h"

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace tumblet::test
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
    explicit TLv2Host(LilvWorld* world, const LilvPlugin* plugin, TUridMap& map,
                      double sampleRate = kSampleRate)
        : FMap(map), FControls(lilv_plugin_get_num_ports(plugin), 0.0f)
    {
        std::vector<float> defaults(FControls.size());
        lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
        for (std::size_t i = 0; i < FControls.size(); ++i)
            FControls[i] = defaults[i];
        FFeatureMap = {LV2_URID__map, &map.MapFeature};
        FFeatureUnmap = {LV2_URID__unmap, &map.UnmapFeature};
        FFeatures = {&FFeatureMap, &FFeatureUnmap, nullptr};
        FInstance = lilv_plugin_instantiate(plugin, sampleRate, FFeatures.data());
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
        Prepare(bar, notes);
        RunPrepared(frames);
        Collect(frames);
    }

    /// The block's input, written to the input port's buffer.
    void Prepare(const double* bar, const std::vector<TInEvent>& notes)
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
            lv2_atom_forge_float(&FForge, BeatsPerBar);
            lv2_atom_forge_key(&FForge, FMap.Map(LV2_TIME__beatUnit));
            lv2_atom_forge_int(&FForge, BeatUnit);
            lv2_atom_forge_key(&FForge, FMap.Map(LV2_TIME__beatsPerMinute));
            lv2_atom_forge_float(&FForge, BeatsPerMinute);
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
    }

    /// The plug-in's run call alone, as a host's audio thread makes it.
    void RunPrepared(std::uint32_t frames) { lilv_instance_run(FInstance, frames); }

    /// Records what the block sent on the output port.
    void Collect(std::uint32_t frames)
    {
        auto* out = reinterpret_cast<LV2_Atom_Sequence*>(FOut.data());
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

    // The host's time signature and tempo (in beats of the signature) in the next position.
    float BeatsPerBar = 4.0f;
    std::int32_t BeatUnit = 4;
    float BeatsPerMinute = 120.0f;

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
        // The build's own bundle unless the caller names another, so the binary also runs
        // by hand.
        const char* named = std::getenv("TUMBLET_LV2_BUNDLE");
        Bundle = named != nullptr ? named : TUMBLET_DEFAULT_LV2_BUNDLE;
        const std::string& bundle = Bundle;
        // Hosts keep a plug-in's library loaded; unloaded with its drawing libraries, their
        // process-lifetime caches would read as leaks of an unknown module.
        static void* const resident =
            dlopen((bundle + "/Tumblet_lv2.so").c_str(), RTLD_NOW | RTLD_NODELETE);
        ASSERT_NE(resident, nullptr) << dlerror();
        FWorld = lilv_world_new();
        std::string path = bundle + "/";
        LilvNode* uri = lilv_new_file_uri(FWorld, nullptr, path.c_str());
        lilv_world_load_bundle(FWorld, uri);
        lilv_node_free(uri);
        LilvNode* pluginUri = lilv_new_uri(FWorld, kLv2PluginUri);
        FPlugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(FWorld), pluginUri);
        lilv_node_free(pluginUri);
        ASSERT_NE(FPlugin, nullptr) << "no " << kLv2PluginUri << " in " << bundle;
    }
    void TearDown() override { lilv_world_free(FWorld); }

    std::string Bundle;

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

} // namespace tumblet::test
