#pragma once

// The product as a host sees it: one function that creates a fully wired instance (the module
// with its dialogs and editor), shared by every plug-in format we build.

#include "host/VstInterface.h"

namespace tumblet
{

/// Creates one instance behind a VST 2.4 effect record; null when creation failed.
// Thread: any.
AEffect* CreateProductEffect(audioMasterCallback audioMaster) noexcept;

/// The descriptor that turns readable when input for the open editors arrives (the X server's
/// connection); -1 while no editor has a display. Thread: UI.
int EditorEventDescriptor() noexcept;

} // namespace tumblet
