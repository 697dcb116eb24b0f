#pragma once

// The product as a host sees it: one function that creates a fully wired instance (the module
// with its dialogs and editor), shared by every plug-in format we build.

#include "entry/ModuleFactory.h"
#include "vst2/VstInterface.h"

#include <cstdint>

namespace tumblet
{

/// Creates one instance behind a VST 2.4 effect record; null when creation failed.
// Thread: any.
AEffect* CreateProductEffect(audioMasterCallback audioMaster) noexcept;

/// The descriptor that turns readable when input for the open editors arrives (the X server's
/// connection); -1 while no editor has a display. Thread: UI.
int EditorEventDescriptor() noexcept;

struct TEditorSize
{
    std::uint32_t Width;
    std::uint32_t Height;
};

/// The size in device pixels an editor of this instance will open at, known before it exists
/// (hosts size their window first): the user's and the host's scale count; the desktop's is
/// learnt only once the editor is on the screen, which then asks the host to resize.
// Thread: any.
TEditorSize ProductEditorSize(AEffect* effect) noexcept;

/// The function of the library holding a running module that gives it windowed parts.
using TWindowedPartsAttacher = bool (*)(AEffect* effect, const TWindowedParts& parts) noexcept;

/// For an editor library of its own: gives the running module, created without them, this
/// library's windowed parts through the module library's attacher. False when that failed.
// Thread: UI.
bool AttachProductEditor(AEffect* effect, TWindowedPartsAttacher attach) noexcept;

} // namespace tumblet
