#pragma once

#include "ui/BlxTypes.h"

#include <functional>

namespace tumblet
{

/// Hiding and moving the mouse pointer, for controls that hold the pointer still while they
/// are dragged. The platform layer offers neither yet, so the calls go through hooks that the
/// window-system side binds; unbound, hiding is only recorded and a warp moves the offscreen
/// backend's pointer. Thread: UI.
class TBlxPointer
{
public:
    static void Hide();
    static void Show();
    static bool Hidden();
    /// Moves the pointer to a screen position.
    static void WarpTo(TBlxPoint screen);

    /// Bound by the window-system side; unassigned hooks fall back as described above.
    static std::function<void(bool visible)>& SetVisibleHook();
    static std::function<void(TBlxPoint screen)>& WarpHook();
};

} // namespace tumblet
