// The LV2 UI library: the product's editor, handed through instance access to the running module
// (which the plug-in library holds without it) and opened into the host's parent window and pumped
// by the host's idle calls, as a VST 2.4 host would with effEditOpen and effEditIdle. It also
// reports parameter changes made in the editor, or by a mapped MIDI controller, to the host's
// control ports. Its only exported symbol is lv2ui_descriptor.

#include "entry/ProductFactory.h"
#include "lv2/Lv2Instance.h"
#include "vst2/VSTEditorForm.h"

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

namespace tumblet
{

namespace
{

const void* FindFeature(const LV2_Feature* const* features, const char* uri)
{
    for (; features != nullptr && *features != nullptr; ++features)
        if (std::strcmp((*features)->URI, uri) == 0)
            return (*features)->data;
    return nullptr;
}

/// The scale the host asks the UI to draw at (ui:scaleFactor among its options), or 0.
float HostScaleFactor(const LV2_Feature* const* features)
{
    const auto* options =
        static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options));
    const auto* map = static_cast<const LV2_URID_Map*>(FindFeature(features, LV2_URID__map));
    if (options == nullptr || map == nullptr || map->map == nullptr)
        return 0.0f;
    const LV2_URID scaleFactor = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID atomFloat = map->map(map->handle, LV2_ATOM__Float);
    for (; options->key != 0 || options->value != nullptr; ++options)
        if (options->key == scaleFactor && options->type == atomFloat &&
            options->size == sizeof(float) && options->value != nullptr)
            return *static_cast<const float*>(options->value);
    return 0.0f;
}

/// The window the editor placed into the parent: its last child. 0 when none can be found.
std::uintptr_t EditorWindowIn(std::uintptr_t parent)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 0;
    Window root = 0;
    Window parentOfParent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::uintptr_t found = 0;
    if (XQueryTree(display, static_cast<Window>(parent), &root, &parentOfParent, &children,
                   &count) != 0 &&
        children != nullptr)
    {
        if (count > 0)
            found = children[count - 1];
        XFree(children);
    }
    XCloseDisplay(display);
    return found;
}

/// Once attached, the module keeps this library's editor form, dialogs and skin function for as
/// long as it lives, which may be past the host's unloading of this library: so it stays loaded.
bool StayLoaded()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&StayLoaded), &info) == 0 || info.dli_fname == nullptr)
        return false;
    return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
}

class TLv2Ui
{
public:
    TLv2Ui(TLv2Instance& instance, LV2UI_Write_Function write, LV2UI_Controller controller)
        : FInstance(instance), FWrite(write), FController(controller),
          FReported(instance.ParameterCount, NAN)
    {
    }
    ~TLv2Ui()
    {
        if (FOpen && FInstance.Magic == kLv2InstanceMagic && FInstance.Effect != nullptr)
            FInstance.Effect->dispatcher(FInstance.Effect, effEditClose, 0, 0, nullptr, 0.0f);
    }

    /// Opens the editor in the parent at the host's scale (0 when it gave none); false when
    /// the module has no editor to show here.
    bool Open(std::uintptr_t parent, const LV2UI_Resize* resize, float scale)
    {
        AEffect* effect = FInstance.Effect;
        if (!StayLoaded() || !AttachProductEditor(effect, FInstance.AttachEditor))
            return false;
        // The module takes the scale as VST 2.4 hosts hand it over.
        if (scale > 0.0f)
            effect->dispatcher(effect, effVendorSpecific, kVendorSpecificPreSonus,
                               kVendorSpecificContentScale, nullptr, scale);
        if (effect->dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0.0f) ==
            0)
            return false;
        FOpen = true;
        FResize = resize;
        ReportSize();
        FWidget = EditorWindowIn(parent);
        if (FWidget == 0)
            FWidget = parent;
        return true;
    }

    std::uintptr_t Widget() const { return FWidget; }

    /// The host's idle call: the editor's heartbeat, then the values that changed inside.
    int Idle()
    {
        if (FInstance.Magic != kLv2InstanceMagic || FInstance.Effect == nullptr)
            return 1;
        AEffect* effect = FInstance.Effect;
        effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
        // The user may have picked another editor size.
        ReportSize();
        for (std::uint32_t i = 0; i < FInstance.ParameterCount; ++i)
        {
            const float normalised = effect->getParameter(effect, static_cast<std::int32_t>(i));
            const float value =
                FInstance.Minimum[i] + normalised * (FInstance.Maximum[i] - FInstance.Minimum[i]);
            if (value == FReported[i])
                continue;
            FReported[i] = value;
            FWrite(FController, kLv2FirstParameterPort + i, sizeof(float), 0, &value);
        }
        return 0;
    }

private:
    /// Tells the host the editor's size when it differs from the size last told.
    void ReportSize()
    {
        AEffect* effect = FInstance.Effect;
        ERect* rect = nullptr;
        effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f);
        if (FResize == nullptr || FResize->ui_resize == nullptr || rect == nullptr)
            return;
        const int width = rect->right - rect->left, height = rect->bottom - rect->top;
        if (width == FReportedWidth && height == FReportedHeight)
            return;
        FReportedWidth = width;
        FReportedHeight = height;
        FResize->ui_resize(FResize->handle, width, height);
    }

    TLv2Instance& FInstance;
    LV2UI_Write_Function FWrite;
    LV2UI_Controller FController;
    std::vector<float> FReported; ///< the values last written to the ports, real units
    std::uintptr_t FWidget = 0;
    const LV2UI_Resize* FResize = nullptr;
    int FReportedWidth = 0;
    int FReportedHeight = 0;
    bool FOpen = false;
};

void Report(const char* where, const char* what)
{
    std::fprintf(stderr, "Tumblet (LV2 UI): %s: %s\n", where, what);
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char*, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    try
    {
        auto* instance = static_cast<TLv2Instance*>(
            const_cast<void*>(FindFeature(features, LV2_INSTANCE_ACCESS_URI)));
        const void* parent = FindFeature(features, LV2_UI__parent);
        const auto* resize =
            static_cast<const LV2UI_Resize*>(FindFeature(features, LV2_UI__resize));
        if (instance == nullptr || instance->Magic != kLv2InstanceMagic ||
            instance->Effect == nullptr || parent == nullptr || write == nullptr ||
            widget == nullptr)
            return nullptr;
        auto ui = std::make_unique<TLv2Ui>(*instance, write, controller);
        if (!ui->Open(reinterpret_cast<std::uintptr_t>(parent), resize, HostScaleFactor(features)))
            return nullptr;
        *widget = reinterpret_cast<LV2UI_Widget>(ui->Widget());
        return ui.release();
    }
    catch (const std::exception& e)
    {
        Report("instantiate", e.what());
    }
    catch (...)
    {
        Report("instantiate", "unknown error");
    }
    return nullptr;
}

void Cleanup(LV2UI_Handle handle)
{
    delete static_cast<TLv2Ui*>(handle);
}

void PortEvent(LV2UI_Handle, std::uint32_t, std::uint32_t, std::uint32_t, const void*)
{
    // Host changes reach the module through its ports; the editor follows them at idle.
}

int Idle(LV2UI_Handle handle)
{
    try
    {
        return static_cast<TLv2Ui*>(handle)->Idle();
    }
    catch (...)
    {
        Report("idle", "unknown error");
        return 1;
    }
}

const LV2UI_Idle_Interface kIdleInterface = {&Idle};

const void* ExtensionData(const char* uri)
{
    if (uri != nullptr && std::strcmp(uri, LV2_UI__idleInterface) == 0)
        return &kIdleInterface;
    return nullptr;
}

const LV2UI_Descriptor kDescriptor = {kLv2UiUri, &Instantiate, &Cleanup, &PortEvent,
                                      &ExtensionData};

} // namespace

} // namespace tumblet

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor*
lv2ui_descriptor(std::uint32_t index)
{
    return index == 0 ? &tumblet::kDescriptor : nullptr;
}
