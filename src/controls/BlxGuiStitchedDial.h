#pragma once

#include "controls/BlxControlEvents.h"
#include "controls/CustomGuiStitchedDial.h"

namespace tumblet
{

/// The published dial. The generic layer between the custom dial and the product's dial adds
/// nothing in C++, so it is the same class under its published name.
using TGuiStitchedDial = TCustomGuiStitchedDial;

/// The product's dial: a press filter, and wheel input only while the pointer is over it.
/// All members: Thread: UI.
class TBlxGuiStitchedDial : public TGuiStitchedDial
{
public:
    bool MouseDown(const TBlxMouseEvent& e) override;
    bool MouseWheel(const TBlxWheelEvent& e) override;

    /// The press filter. It hides the base control's two-argument hook of the same name: this
    /// one also hands over the button, the shift state and the point.
    TBlxBeforeMouseDownEvent OnBeforeMouseDown;
};

} // namespace tumblet
