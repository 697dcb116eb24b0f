// The CLAP library's only exported symbol: clap_entry. Every call the host makes contains its
// failures, as the VST 2.4 and LV2 entries do: nothing thrown here may reach the host.

#include "base/Contained.h"
#include "clap/ClapAdapter.h"
#include "clap/ClapPosixFdSupport.h"

#include <clap/entry.h>
#include <clap/ext/audio-ports.h>
#include <clap/ext/gui.h>
#include <clap/ext/note-ports.h>
#include <clap/ext/params.h>
#include <clap/ext/state.h>
#include <clap/ext/timer-support.h>
#include <clap/plugin-factory.h>
#include <clap/plugin-features.h>

#include <cstring>
#include <memory>

namespace tumblet
{

namespace
{

constexpr const char* kFormat = "CLAP";

TClapAdapter* AdapterOf(const clap_plugin_t* plugin)
{
    return plugin != nullptr ? static_cast<TClapAdapter*>(plugin->plugin_data) : nullptr;
}

/// Calls the adapter's member when there is an adapter; the neutral answer otherwise.
template <class TCall>
auto WithAdapter(const clap_plugin_t* plugin, const char* where, TCall call,
                 decltype(call(std::declval<TClapAdapter&>())) neutral)
{
    TClapAdapter* adapter = AdapterOf(plugin);
    if (adapter == nullptr)
        return neutral;
    return Contained(
        kFormat, where, [&] { return call(*adapter); }, neutral);
}

// ---- Plug-in -------------------------------------------------------------------------------

bool Init(const clap_plugin_t* plugin)
{
    return WithAdapter(
        plugin, "init",
        [](TClapAdapter& a)
        {
            a.Init();
            return true;
        },
        false);
}

void Destroy(const clap_plugin_t* plugin)
{
    Contained(
        kFormat, "destroy",
        [&]
        {
            delete AdapterOf(plugin);
            return 0;
        },
        0);
}

bool Activate(const clap_plugin_t* plugin, double sampleRate, std::uint32_t,
              std::uint32_t maxFrames)
{
    return WithAdapter(
        plugin, "activate", [&](TClapAdapter& a) { return a.Activate(sampleRate, maxFrames); },
        false);
}

void Deactivate(const clap_plugin_t* plugin)
{
    WithAdapter(
        plugin, "deactivate",
        [](TClapAdapter& a)
        {
            a.Deactivate();
            return 0;
        },
        0);
}

bool StartProcessing(const clap_plugin_t*)
{
    return true;
}

void StopProcessing(const clap_plugin_t*) {}

void Reset(const clap_plugin_t*) {}

clap_process_status Process(const clap_plugin_t* plugin, const clap_process_t* process)
{
    TClapAdapter* adapter = AdapterOf(plugin);
    if (adapter == nullptr || process == nullptr)
        return CLAP_PROCESS_ERROR;
    return adapter->Process(*process);
}

void OnMainThread(const clap_plugin_t*) {}

// ---- Ports ---------------------------------------------------------------------------------

std::uint32_t AudioPortCount(const clap_plugin_t*, bool)
{
    return 0;
}

bool AudioPortInfo(const clap_plugin_t*, std::uint32_t, bool, clap_audio_port_info_t*)
{
    return false;
}

const clap_plugin_audio_ports_t kAudioPorts = {&AudioPortCount, &AudioPortInfo};

std::uint32_t NotePortCount(const clap_plugin_t*, bool)
{
    return 1;
}

bool NotePortInfo(const clap_plugin_t*, std::uint32_t index, bool isInput,
                  clap_note_port_info_t* info)
{
    if (index != 0 || info == nullptr)
        return false;
    *info = clap_note_port_info_t{};
    info->id = 0;
    info->supported_dialects = CLAP_NOTE_DIALECT_MIDI;
    info->preferred_dialect = CLAP_NOTE_DIALECT_MIDI;
    std::strncpy(info->name, isInput ? "MIDI In" : "MIDI Out", sizeof(info->name) - 1);
    return true;
}

const clap_plugin_note_ports_t kNotePorts = {&NotePortCount, &NotePortInfo};

// ---- Parameters ----------------------------------------------------------------------------

std::uint32_t ParamCount(const clap_plugin_t* plugin)
{
    return WithAdapter(
        plugin, "params.count", [](TClapAdapter& a) { return a.ParameterCount(); }, 0u);
}

bool ParamInfo(const clap_plugin_t* plugin, std::uint32_t index, clap_param_info_t* info)
{
    if (info == nullptr)
        return false;
    return WithAdapter(
        plugin, "params.get_info", [&](TClapAdapter& a) { return a.ParameterInfo(index, *info); },
        false);
}

bool ParamValue(const clap_plugin_t* plugin, clap_id id, double* value)
{
    if (value == nullptr)
        return false;
    return WithAdapter(
        plugin, "params.get_value", [&](TClapAdapter& a) { return a.ParameterValue(id, *value); },
        false);
}

bool ValueToText(const clap_plugin_t* plugin, clap_id id, double value, char* text,
                 std::uint32_t capacity)
{
    return WithAdapter(
        plugin, "params.value_to_text",
        [&](TClapAdapter& a) { return a.ValueToText(id, value, text, capacity); }, false);
}

bool TextToValue(const clap_plugin_t* plugin, clap_id id, const char* text, double* value)
{
    if (value == nullptr)
        return false;
    return WithAdapter(
        plugin, "params.text_to_value",
        [&](TClapAdapter& a) { return a.TextToValue(id, text, *value); }, false);
}

void ParamFlush(const clap_plugin_t* plugin, const clap_input_events_t* in,
                const clap_output_events_t* out)
{
    if (TClapAdapter* adapter = AdapterOf(plugin))
        adapter->Flush(in, out);
}

const clap_plugin_params_t kParams = {&ParamCount,  &ParamInfo,   &ParamValue,
                                      &ValueToText, &TextToValue, &ParamFlush};

// ---- State ---------------------------------------------------------------------------------

bool StateSave(const clap_plugin_t* plugin, const clap_ostream_t* stream)
{
    if (stream == nullptr || stream->write == nullptr)
        return false;
    return WithAdapter(
        plugin, "state.save", [&](TClapAdapter& a) { return a.Save(*stream); }, false);
}

bool StateLoad(const clap_plugin_t* plugin, const clap_istream_t* stream)
{
    if (stream == nullptr || stream->read == nullptr)
        return false;
    return WithAdapter(
        plugin, "state.load", [&](TClapAdapter& a) { return a.Load(*stream); }, false);
}

const clap_plugin_state_t kState = {&StateSave, &StateLoad};

// ---- Editor --------------------------------------------------------------------------------

bool IsEmbeddedX11(const char* api, bool isFloating)
{
    return api != nullptr && std::strcmp(api, CLAP_WINDOW_API_X11) == 0 && !isFloating;
}

bool GuiIsApiSupported(const clap_plugin_t*, const char* api, bool isFloating)
{
    return IsEmbeddedX11(api, isFloating);
}

bool GuiPreferredApi(const clap_plugin_t*, const char** api, bool* isFloating)
{
    if (api == nullptr || isFloating == nullptr)
        return false;
    *api = CLAP_WINDOW_API_X11;
    *isFloating = false;
    return true;
}

bool GuiCreate(const clap_plugin_t* plugin, const char* api, bool isFloating)
{
    if (!IsEmbeddedX11(api, isFloating))
        return false;
    return WithAdapter(
        plugin, "gui.create", [](TClapAdapter& a) { return a.GuiCreate(); }, false);
}

void GuiDestroy(const clap_plugin_t* plugin)
{
    WithAdapter(
        plugin, "gui.destroy",
        [](TClapAdapter& a)
        {
            a.GuiDestroy();
            return 0;
        },
        0);
}

bool GuiSetScale(const clap_plugin_t* plugin, double scale)
{
    return WithAdapter(
        plugin, "gui.set_scale", [&](TClapAdapter& a) { return a.GuiSetScale(scale); }, false);
}

bool GuiGetSize(const clap_plugin_t* plugin, std::uint32_t* width, std::uint32_t* height)
{
    if (width == nullptr || height == nullptr)
        return false;
    return WithAdapter(
        plugin, "gui.get_size", [&](TClapAdapter& a) { return a.GuiSize(*width, *height); }, false);
}

bool GuiCanResize(const clap_plugin_t*)
{
    return false;
}

bool GuiResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t*)
{
    return false;
}

bool GuiAdjustSize(const clap_plugin_t* plugin, std::uint32_t* width, std::uint32_t* height)
{
    return GuiGetSize(plugin, width, height);
}

bool GuiSetSize(const clap_plugin_t* plugin, std::uint32_t width, std::uint32_t height)
{
    // The editor has one size; the host may only confirm it.
    std::uint32_t ownWidth = 0;
    std::uint32_t ownHeight = 0;
    return GuiGetSize(plugin, &ownWidth, &ownHeight) && width == ownWidth && height == ownHeight;
}

bool GuiSetParent(const clap_plugin_t* plugin, const clap_window_t* window)
{
    if (window == nullptr || window->api == nullptr ||
        std::strcmp(window->api, CLAP_WINDOW_API_X11) != 0)
        return false;
    return WithAdapter(
        plugin, "gui.set_parent", [&](TClapAdapter& a) { return a.GuiSetParent(*window); }, false);
}

bool GuiSetTransient(const clap_plugin_t*, const clap_window_t*)
{
    return false;
}

void GuiSuggestTitle(const clap_plugin_t*, const char*) {}

bool GuiShow(const clap_plugin_t*)
{
    return true;
}

bool GuiHide(const clap_plugin_t*)
{
    return true;
}

const clap_plugin_gui_t kGui = {
    &GuiIsApiSupported, &GuiPreferredApi, &GuiCreate,       &GuiDestroy,    &GuiSetScale,
    &GuiGetSize,        &GuiCanResize,    &GuiResizeHints,  &GuiAdjustSize, &GuiSetSize,
    &GuiSetParent,      &GuiSetTransient, &GuiSuggestTitle, &GuiShow,       &GuiHide,
};

void OnTimer(const clap_plugin_t* plugin, clap_id timer)
{
    WithAdapter(
        plugin, "timer",
        [&](TClapAdapter& a)
        {
            a.OnTimer(timer);
            return 0;
        },
        0);
}

const clap_plugin_timer_support_t kTimerSupport = {&OnTimer};

void OnDescriptor(const clap_plugin_t* plugin, int descriptor, std::uint32_t)
{
    WithAdapter(
        plugin, "posix_fd",
        [&](TClapAdapter& a)
        {
            a.OnDescriptor(descriptor);
            return 0;
        },
        0);
}

const TClapPluginPosixFdSupport kPosixFdSupport = {&OnDescriptor};

const void* GetExtension(const clap_plugin_t*, const char* id)
{
    if (id == nullptr)
        return nullptr;
    if (std::strcmp(id, CLAP_EXT_AUDIO_PORTS) == 0)
        return &kAudioPorts;
    if (std::strcmp(id, CLAP_EXT_NOTE_PORTS) == 0)
        return &kNotePorts;
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0)
        return &kParams;
    if (std::strcmp(id, CLAP_EXT_STATE) == 0)
        return &kState;
    if (std::strcmp(id, CLAP_EXT_GUI) == 0)
        return &kGui;
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0)
        return &kTimerSupport;
    if (std::strcmp(id, kClapExtPosixFdSupport) == 0)
        return &kPosixFdSupport;
    return nullptr;
}

// ---- Factory and entry ---------------------------------------------------------------------

const char* kFeatures[] = {CLAP_PLUGIN_FEATURE_NOTE_EFFECT, CLAP_PLUGIN_FEATURE_UTILITY, nullptr};

const clap_plugin_descriptor_t kDescriptor = {
    CLAP_VERSION_INIT, "com.brindlex.tumblet",      "Tumblet", "Brindlex", "", "", "",
    TUMBLET_VERSION,   "A random MIDI arpeggiator", kFeatures,
};

std::uint32_t PluginCount(const clap_plugin_factory_t*)
{
    return 1;
}

const clap_plugin_descriptor_t* PluginDescriptor(const clap_plugin_factory_t*, std::uint32_t index)
{
    return index == 0 ? &kDescriptor : nullptr;
}

const clap_plugin_t* CreatePlugin(const clap_plugin_factory_t*, const clap_host_t* host,
                                  const char* id)
{
    if (host == nullptr || id == nullptr || std::strcmp(id, kDescriptor.id) != 0 ||
        !clap_version_is_compatible(host->clap_version))
        return nullptr;
    return Contained(
        kFormat, "create_plugin",
        [&]() -> const clap_plugin_t*
        {
            auto adapter = std::make_unique<TClapAdapter>(host);
            adapter->SetPlugin({&kDescriptor, adapter.get(), &Init, &Destroy, &Activate,
                                &Deactivate, &StartProcessing, &StopProcessing, &Reset, &Process,
                                &GetExtension, &OnMainThread});
            return adapter.release()->Plugin();
        },
        nullptr);
}

const clap_plugin_factory_t kFactory = {&PluginCount, &PluginDescriptor, &CreatePlugin};

bool EntryInit(const char*)
{
    return true;
}

void EntryDeinit() {}

const void* GetFactory(const char* id)
{
    return id != nullptr && std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
}

} // namespace

} // namespace tumblet

extern "C" __attribute__((visibility("default"))) const clap_plugin_entry_t clap_entry = {
    CLAP_VERSION_INIT, &tumblet::EntryInit, &tumblet::EntryDeinit, &tumblet::GetFactory};
