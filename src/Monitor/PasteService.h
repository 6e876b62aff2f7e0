#pragma once

#include "Models/ClipItem.h"
#include "Monitor/PasteFormat.h"
#include "Platform/ModifierMask.h"
#include "Platform/Workspace.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

class ClipboardMonitor;
class ClipboardStore;
class Settings;

// Writes clips to the clipboard and pastes them into another application: the clip goes on
// the clipboard in the chosen format, the target application comes back to the front, and
// the paste keys (Command-V, that is Ctrl+V) are posted to it once it is there.
class PasteService final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds frontmostPollInterval{30};
    // How long a paste waits for its target to come to the front: 40 polls, 1.2 s.
    static constexpr int maxFrontmostPolls = 40;
    static constexpr int pasteKeyCode = 9; // V
    static constexpr int pasteModifiers = Platform::ModifierMask::command;

    PasteService(ClipboardMonitor& monitor, ClipboardStore& store, Settings& settings,
                 QObject* parent = nullptr);

    // Writes the clip to the clipboard in the format, marked with our bundle identifier; the
    // monitor does not capture it. False, leaving the clipboard alone, when the clip has
    // nothing to write in that format (say its image file is gone).
    bool copy(const ClipItem& item, PasteFormat format);

    // copy(), then activates the target (none: the focused window stays), checks the
    // permission to synthesize keys, waits for the target to be in front and posts the paste
    // keys. `completion` runs exactly once, on the main thread: true once the keys were
    // posted; false when nothing could be written, the target is gone or never came to the
    // front, the permission is missing, or the paste was dropped by a later one or by
    // advanceGeneration(). The clip stays on the clipboard in every case but the first.
    void paste(const ClipItem& item, PasteFormat format,
               const std::optional<Platform::RunningApplication>& target,
               std::function<void(bool)> completion);

    // Drops a paste whose keys are still waiting to be posted.
    void advanceGeneration();
    quint64 generation() const { return generation_; }

private:
    struct PendingPaste {
        std::optional<Platform::RunningApplication> target;
        std::function<void(bool)> completion;
        int polls = 0;
    };

    void pollTarget();
    bool targetIsInFront(const PendingPaste& paste) const;
    void finish(bool posted);

    ClipboardMonitor& monitor_;
    ClipboardStore& store_;
    Settings& settings_;
    quint64 generation_ = 0;
    std::optional<PendingPaste> pending_;
    QTimer pollTimer_;
};
