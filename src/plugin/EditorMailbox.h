#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace tumblet
{

/// Hands texts for the editor from the processing thread (and the other threads that change
/// the module under its lock) to the editor's thread, without allocating or waiting.
///
/// Posters write into a staging buffer, then publish it with a try-lock; a publish that meets
/// the editor copying is retried by the next Post or Publish. The editor takes the latest
/// message at effEditIdle. Newer messages replace older ones that were not yet taken.
class TEditorMailbox
{
public:
    enum class TKind : std::uint8_t
    {
        None,
        InfoLabel, ///< replace the information line's text at once
        ShowInfo,  ///< show a message on the information line for a while ("" = held notes)
    };

    static constexpr std::size_t kCapacity = 1024;

    /// Copies text (cut to the capacity) and publishes it. Thread: any, under the instance lock.
    void Post(TKind kind, const char* text, std::size_t length) noexcept;
    /// Staging buffer for writers that build the text in place; then call Publish.
    // Thread: any, under the instance lock.
    char* StageBuffer() noexcept { return FStage; }
    void Publish(TKind kind, std::size_t length) noexcept;
    /// Retries a publish that met the editor copying. Thread: any, under the instance lock.
    void RetryPublish() noexcept;

    /// The latest message not yet taken. Thread: UI.
    bool Take(TKind& kind, std::string& text);

private:
    char FStage[kCapacity] = {};
    std::size_t FStageLength = 0;
    TKind FStageKind = TKind::None;
    std::atomic<bool> FStaged{false};

    std::mutex FShared;
    char FText[kCapacity] = {};
    std::size_t FLength = 0;
    TKind FKind = TKind::None;
    std::atomic<bool> FPending{false};
};

} // namespace tumblet
