#pragma once

#include "AI/ConversationResultAction.h"
#include "Models/ClipItem.h"
#include "Models/PasteQueueSession.h"
#include "Monitor/PasteFormat.h"
#include "Monitor/PasteService.h"
#include "Platform/Workspace.h"

#include <QObject>
#include <functional>
#include <optional>

class ClipboardMonitor;
class ClipboardStore;
class PasteTargets;
class Settings;

// Pastes and copies on the user's behalf: a clip chosen in the bar, the paste queue, the
// addresses of browser pages and a conversation's answer. A paste that fails is explained in
// a toast; without the permission to paste, the permission guide opens too.
class PasteCoordinator final : public QObject {
    Q_OBJECT
public:
    using ShowToast = std::function<void(const QString& message, const QString& symbolName, double seconds)>;

    static constexpr double copiedToastSeconds = 1.25;
    static constexpr double pasteBackFailedToastSeconds = 4.0;
    static constexpr double targetClosedToastSeconds = 3.0;
    static constexpr double savedToastSeconds = 2.0;
    static constexpr double pasteFailedToastSeconds = 3.0;
    static constexpr double noPasteTargetToastSeconds = 3.0;

    struct Environment {
        ClipboardMonitor& monitor;
        ClipboardStore& store;
        Settings& settings;
        const PasteTargets& targets;
        ShowToast showToast;
        // Runs before anything is pasted or copied from the bar.
        std::function<void()> hideBar;
        std::function<void()> showPermissionGuide;
    };

    explicit PasteCoordinator(Environment environment, QObject* parent = nullptr);

    // Pastes the clip where the bar's clips go, first moving it to the top of the history when
    // the settings want that.
    void pasteClip(const ClipItem& item, PasteFormat format);
    // Text that Vellora made (browser addresses) pasted as plain text into the application in
    // front when the bar opened, or copied; neither enters the history.
    void pasteAddresses(const QString& text);
    void copyAddresses(const QString& text);

    // Pastes the first clip now and each next one on pasteNextQueueItem().
    void startQueue(const QList<ClipItem>& items, PasteFormat format);
    void pasteNextQueueItem();
    const PasteQueueSession& queue() const { return queue_; }

    // Copies, pastes back into `target` or saves an answer; completion runs exactly once.
    void performResultAction(ConversationResultAction action, const QString& answer,
                             const std::optional<Platform::RunningApplication>& target,
                             std::function<void(bool)> completion);

    // Drops a paste still waiting and the queue; failures after this are not told.
    void end();

    PasteService& service() { return service_; }

private:
    void paste(const ClipItem& item, PasteFormat format,
               const std::optional<Platform::RunningApplication>& target, std::function<void(bool)> then);
    void explainFailure(qint64 changeCountBefore, const std::optional<Platform::RunningApplication>& target);
    void promoteIfWanted(const ClipItem& item);
    // Writes the clip to the clipboard; a toast says so when it got there.
    bool copyWithToast(const ClipItem& clip, PasteFormat format);
    void pasteAnswerBack(const ClipItem& clip, const std::optional<Platform::RunningApplication>& target,
                         std::function<void(bool)> completion);

    Environment env_;
    PasteService service_;
    PasteQueueSession queue_;
    PasteFormat queueFormat_ = PasteFormat::asCaptured;
    bool ended_ = false;
};
