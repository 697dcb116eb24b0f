// The editor opcodes of TCustomVSTModule: size report, opening into the host's window, idle
// refresh, closing, and the small key, knob-mode, top and sleep opcodes. Thread: UI.

#include "vst2/CustomVSTModule.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

namespace tumblet
{

namespace
{
// The size reported while no size hook is assigned, in pixels.
constexpr std::int16_t kDefaultEditorWidth = 64;
constexpr std::int16_t kDefaultEditorHeight = 32;

std::int16_t ToRectCoordinate(std::int32_t value)
{
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}
} // namespace

void TCustomVSTModule::DestroyEditor() noexcept
{
    // Editor() reads null while the form dies, so nothing it calls on the way reaches it again.
    std::unique_ptr<TVstEditorForm> form = std::move(FEditor);
    form.reset();
}

void TCustomVSTModule::BeforeClose()
{
    DestroyEditor();
    TBasicVSTModule::BeforeClose();
}

std::intptr_t TCustomVSTModule::HostCallEditGetRect(std::int32_t, std::intptr_t, void* ptr, float)
{
    if (ptr == nullptr)
        return 0;
    *static_cast<ERect**>(ptr) = &FEditorRect;
    FEditorRect.top = 0;
    FEditorRect.left = 0;
    if (OnEditGetSize)
        OnEditGetSize(*this, FEditorRect.right, FEditorRect.bottom);
    else
    {
        FEditorRect.bottom = kDefaultEditorHeight;
        FEditorRect.right = kDefaultEditorWidth;
    }
    if (!FEditor)
        return 0;
    FEditorRect.bottom = std::max(ToRectCoordinate(FEditor->ClientHeight()), FEditorRect.bottom);
    FEditorRect.right = std::max(ToRectCoordinate(FEditor->ClientWidth()), FEditorRect.right);
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallEditOpen(std::int32_t, std::intptr_t, void* ptr, float)
{
    if ((Flags() & effFlagsHasEditor) == 0 || ptr == nullptr)
        return 0;
    // A host that opens again without closing gets a fresh form; the earlier one is a child of
    // a window the host may already have destroyed, so it goes first.
    DestroyEditor();
    const auto parentWindow = reinterpret_cast<std::uintptr_t>(ptr);
    if (FEditorFormClass)
        FEditor = FEditorFormClass(*this);
    if (OnEditOpen)
        OnEditOpen(*this, FEditor, parentWindow);
    if (!FEditor)
        return 0;
    try
    {
        FEditor->SetParentWindow(parentWindow);
        FEditor->Show();
        FEditor->RemoveBorder();
        FEditor->SetBounds(0, 0, FEditor->Width(), FEditor->Height());
        FEditor->Invalidate();
    }
    catch (const std::exception& e)
    {
        // The form exists and belongs to the host's window; a failed placement is cosmetic.
        ReportFailure("effEditOpen", e.what());
    }
    catch (...)
    {
        ReportFailure("effEditOpen", "unknown exception while placing the editor");
    }
    AfterEditorOpen();
    return 1;
}

std::intptr_t TCustomVSTModule::HostCallEditClose(std::int32_t, std::intptr_t, void*, float)
{
    if ((Flags() & effFlagsHasEditor) == 0)
        return 0;
    bool destroyForm = true;
    if (OnEditClose)
        OnEditClose(*this, destroyForm);
    if (destroyForm)
        DestroyEditor();
    return 0;
}

std::intptr_t TCustomVSTModule::HostCallEditIdle(std::int32_t, std::intptr_t, void*, float)
{
    if ((Flags() & effFlagsHasEditor) == 0 || !FEditor)
        return 0;
    if (EditorNeedsUpdate())
    {
        // Cleared before the refresh: a change stored while the controls refresh sets it
        // again and is drawn at the next idle call instead of being lost.
        SetEditorNeedsUpdate(false);
        if (OnEditIdle)
            OnEditIdle(*this);
    }
    // The editor has no thread of its own: every idle call reads its window events, fires its
    // timers and paints what changed, the refresh above included.
    if (FEditor)
        FEditor->Idle();
    return 0;
}

std::intptr_t TCustomVSTModule::HostCallEditTop(std::int32_t, std::intptr_t, void*, float)
{
    if (OnEditTop)
        OnEditTop(*this);
    return 0;
}

std::intptr_t TCustomVSTModule::HostCallEditSleep(std::int32_t, std::intptr_t, void*, float)
{
    if (OnEditSleep)
        OnEditSleep(*this);
    return 0;
}

std::intptr_t TCustomVSTModule::EditKey(std::int32_t index, std::intptr_t value, float opt,
                                        bool down)
{
    // -1 tells the host we did not take the key, so it handles it itself.
    constexpr std::intptr_t kKeyNotTaken = -1;
    if (!KeysRequired())
        return kKeyNotTaken;
    if (!FEditor)
        return 0;
    try
    {
        VstKeyCode key{};
        key.character = index;
        key.virt = static_cast<unsigned char>(value);
        key.modifier = static_cast<unsigned char>(std::lround(opt));
        FEditor->DeliverKey(key, down);
        auto& hook = down ? OnEditorKeyDown : OnEditorKeyUp;
        if (hook)
            hook(*this, key);
        if (OnCheckKey && OnCheckKey(*this, key.character))
            return 1;
    }
    catch (const std::exception& e)
    {
        ReportFailure(down ? "effEditKeyDown" : "effEditKeyUp", e.what());
    }
    catch (...)
    {
        ReportFailure(down ? "effEditKeyDown" : "effEditKeyUp", "unknown exception");
    }
    return kKeyNotTaken;
}

std::intptr_t TCustomVSTModule::HostCallEditKeyDown(std::int32_t index, std::intptr_t value, void*,
                                                    float opt)
{
    return EditKey(index, value, opt, true);
}

std::intptr_t TCustomVSTModule::HostCallEditKeyUp(std::int32_t index, std::intptr_t value, void*,
                                                  float opt)
{
    return EditKey(index, value, opt, false);
}

std::intptr_t TCustomVSTModule::HostCallSetEditKnobMode(std::int32_t, std::intptr_t value, void*,
                                                        float)
{
    if (!OnEditorKnobMode)
        return 0;
    OnEditorKnobMode(*this, static_cast<std::int32_t>(value));
    return 1;
}

} // namespace tumblet
