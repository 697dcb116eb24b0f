#pragma once

// What the module needs of an editor window. The window itself lives in the editor folder; the
// module creates it through the factory the product sets (EditorFormClass), owns it, and reaches
// it only through these operations.

#include "vst2/VstInterface.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tumblet
{

class TCustomVSTModule;

/// The value effVendorSpecific carries when the host announces a mouse-wheel action ('Whee').
constexpr std::intptr_t kVendorSpecificWheel = FourCC('W', 'h', 'e', 'e');
/// The content-scale call of hosts that scale plug-in views: effVendorSpecific with index
/// 'PreS', value 'AeCs' and the scale as the float argument. Hosts send it only to plug-ins
/// that answer the canDo "supportsViewDpiScaling".
constexpr std::int32_t kVendorSpecificPreSonus = FourCC('P', 'r', 'e', 'S');
constexpr std::intptr_t kVendorSpecificContentScale = FourCC('A', 'e', 'C', 's');

/// An editor window that can be placed into a host's window. Thread: UI for every operation.
class TVstEditorForm
{
public:
    virtual ~TVstEditorForm() = default;

    // Outer and client sizes, in pixels at 96 dots per inch.
    virtual std::int32_t Width() const = 0;
    virtual std::int32_t Height() const = 0;
    virtual std::int32_t ClientWidth() const = 0;
    virtual std::int32_t ClientHeight() const = 0;

    /// Makes the form a child of the host's window. On X11 the id is the host's Window XID,
    /// which the host passes by value in effEditOpen's pointer argument.
    virtual void SetParentWindow(std::uintptr_t parentWindow) = 0;
    virtual void Show() = 0;
    virtual void RemoveBorder() = 0;
    virtual void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                           std::int32_t height) = 0;
    /// Asks for a repaint of the whole form.
    virtual void Invalidate() = 0;

    /// Brings every control to its parameter's current value.
    virtual void RefreshControls() = 0;
    /// Gives the keyboard focus to the control under the mouse pointer, if any.
    virtual void FocusControlUnderMouse() = 0;
    /// Shows a text on the information line for a while; an empty text shows the held notes.
    virtual void ShowInfo(const std::string& text) = 0;
    /// Re-reads the current preset name into the heading.
    virtual void UpdatePresetName() = 0;
    /// Replaces the information line's text at once, without starting or stopping its timer.
    virtual void SetInfoText(const std::string& text) = 0;

    /// Delivers a host key to the focused control (or the form): a press followed by its
    /// character when down is true, a release otherwise.
    virtual void DeliverKey(const VstKeyCode& key, bool down) = 0;

    /// Runs on every effEditIdle while the form is open: hosts give an embedded editor no
    /// thread of its own, so this is where it reads its window events and fires its timers.
    virtual void Idle() {}
};

/// Creates the editor form for a module; the module owns what it returns.
using TVstEditorFormClass = std::function<std::unique_ptr<TVstEditorForm>(TCustomVSTModule& owner)>;

} // namespace tumblet
