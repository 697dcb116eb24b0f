#include "plugin/EditorMailbox.h"

#include <algorithm>
#include <cstring>

namespace tumblet
{

void TEditorMailbox::Post(TKind kind, const char* text, std::size_t length) noexcept
{
    length = std::min(length, kCapacity);
    if (length > 0)
        std::memcpy(FStage, text, length);
    Publish(kind, length);
}

void TEditorMailbox::Publish(TKind kind, std::size_t length) noexcept
{
    FStageKind = kind;
    FStageLength = std::min(length, kCapacity);
    FStaged.store(true, std::memory_order_relaxed);
    RetryPublish();
}

void TEditorMailbox::RetryPublish() noexcept
{
    if (!FStaged.load(std::memory_order_relaxed))
        return;
    // Never wait: the editor holds this lock only for one copy, and the next call retries.
    std::unique_lock<std::mutex> lock(FShared, std::try_to_lock);
    if (!lock.owns_lock())
        return;
    std::memcpy(FText, FStage, FStageLength);
    FLength = FStageLength;
    FKind = FStageKind;
    FPending.store(true, std::memory_order_release);
    FStaged.store(false, std::memory_order_relaxed);
}

bool TEditorMailbox::Take(TKind& kind, std::string& text)
{
    if (!FPending.load(std::memory_order_acquire))
        return false;
    std::lock_guard<std::mutex> lock(FShared);
    kind = FKind;
    text.assign(FText, FLength);
    FPending.store(false, std::memory_order_relaxed);
    return true;
}

} // namespace tumblet
