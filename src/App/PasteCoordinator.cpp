#include "App/PasteCoordinator.h"

#include "App/PasteTargets.h"
#include "Platform/Accessibility.h"
#include "Platform/Bundle.h"
#include "Platform/LogCategories.h"
#include "Platform/Pasteboard.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "Util/Localization.h"

#include <QPointer>
#include <algorithm>

namespace {

const QString ownApplicationName = QStringLiteral("Vellora");
const QString warningSymbol = QStringLiteral("exclamationmark.triangle");

ClipItem ownTextClip(const QString& text)
{
    ClipItem clip;
    clip.type = ClipType::text;
    clip.text = text;
    clip.createdAt = QDateTime::currentDateTimeUtc();
    clip.sourceBundleID = Platform::mainBundle().bundleIdentifier();
    clip.sourceAppName = ownApplicationName;
    return clip;
}

} // namespace

PasteCoordinator::PasteCoordinator(Environment environment, QObject* parent)
    : QObject(parent)
    , env_(std::move(environment))
    , service_(env_.monitor, env_.store, env_.settings)
{}

void PasteCoordinator::pasteClip(const ClipItem& item, PasteFormat format)
{
    env_.hideBar();
    promoteIfWanted(item);
    paste(item, format, env_.targets.clipPasteTarget(), {});
}

void PasteCoordinator::pasteAddresses(const QString& text)
{
    const std::optional<Platform::RunningApplication> target = env_.targets.pasteTarget();
    if (!PasteTargets::isUsable(target)) {
        env_.showToast(Localization::string(
                           QStringLiteral("There is no app to paste into. Copy the addresses instead.")),
                       warningSymbol, noPasteTargetToastSeconds);
        return;
    }
    env_.hideBar();
    paste(ownTextClip(text), PasteFormat::plainText, target, {});
}

void PasteCoordinator::copyAddresses(const QString& text)
{
    copyWithToast(ownTextClip(text), PasteFormat::plainText);
    env_.hideBar();
}

bool PasteCoordinator::copyWithToast(const ClipItem& clip, PasteFormat format)
{
    const qint64 before = Platform::pasteboard().changeCount();
    service_.copy(clip, format);
    const bool moved = Platform::pasteboard().changeCount() != before;
    if (moved)
        env_.showToast(Localization::string(QStringLiteral("Copied to Clipboard")),
                       QStringLiteral("checkmark.circle.fill"), copiedToastSeconds);
    return moved;
}

void PasteCoordinator::startQueue(const QList<ClipItem>& items, PasteFormat format)
{
    env_.hideBar();
    queue_.start(items);
    queueFormat_ = format;
    if (!queue_.isActive())
        return;
    pasteNextQueueItem();
}

void PasteCoordinator::pasteNextQueueItem()
{
    std::optional<PasteQueueSession::Ticket> ticket = queue_.takeNext();
    if (!ticket)
        return;
    // Later items go where the user pressed the hot key; the first where the bar was opened.
    std::optional<Platform::RunningApplication> target =
        ticket->position == 0 ? env_.targets.clipPasteTarget() : PasteTargets::rememberableFrontApplication();
    const ClipItem item = ticket->item;
    paste(item, queueFormat_, target,
          [this, ticket = std::move(*ticket)](bool pasted) { queue_.finish(ticket, pasted); });
}

void PasteCoordinator::paste(const ClipItem& item, PasteFormat format,
                             const std::optional<Platform::RunningApplication>& target,
                             std::function<void(bool)> then)
{
    const qint64 changeCountBefore = Platform::pasteboard().changeCount();
    // paste() starts the next generation; a completion from any other one was superseded.
    const quint64 generation = service_.generation() + 1;
    service_.paste(item, format, target,
                   [this, generation, changeCountBefore, target, then = std::move(then)](bool pasted) {
                       if (then)
                           then(pasted);
                       if (!pasted && service_.generation() == generation && !ended_)
                           explainFailure(changeCountBefore, target);
                   });
}

void PasteCoordinator::explainFailure(qint64 changeCountBefore,
                                      const std::optional<Platform::RunningApplication>& target)
{
    qCDebug(logPaste) << "the paste failed; clipboard written:"
                      << (Platform::pasteboard().changeCount() != changeCountBefore)
                      << "keys permitted:" << Platform::accessibility().isTrusted() << "target"
                      << (target ? target->bundleIdentifier : QStringLiteral("none"));
    if (Platform::pasteboard().changeCount() == changeCountBefore) {
        env_.showToast(
            Localization::string(QStringLiteral("This clip can't be pasted: its content is missing.")),
            warningSymbol, pasteFailedToastSeconds);
        return;
    }
    if (!Platform::accessibility().isTrusted()) {
        env_.showToast(Localization::string(QStringLiteral(
                           "Vellora can't send the paste keys here. Your clip is on the clipboard.")),
                       warningSymbol, pasteFailedToastSeconds);
        env_.showPermissionGuide();
        return;
    }
    if (target && !Platform::workspace().isRunning(target->processIdentifier)) {
        env_.showToast(Localization::string(QStringLiteral(
                           "The app you were using is closed. Your clip is on the clipboard.")),
                       warningSymbol, pasteFailedToastSeconds);
        return;
    }
    env_.showToast(Localization::string(
                       QStringLiteral("The paste did not reach the app. Your clip is on the clipboard.")),
                   warningSymbol, pasteFailedToastSeconds);
}

void PasteCoordinator::promoteIfWanted(const ClipItem& item)
{
    if (!env_.settings.promoteOnPaste())
        return;
    const QList<ClipItem>& history = env_.store.history();
    const bool inHistory = std::any_of(history.cbegin(), history.cend(),
                                       [&](const ClipItem& clip) { return clip.id == item.id; });
    if (!inHistory)
        return;
    ClipItem promoted = item;
    promoted.createdAt = QDateTime::currentDateTimeUtc();
    env_.store.addCaptured(promoted);
}

void PasteCoordinator::performResultAction(ConversationResultAction action, const QString& answer,
                                           const std::optional<Platform::RunningApplication>& target,
                                           std::function<void(bool)> completion)
{
    if (answer.trimmed().isEmpty()) {
        completion(false);
        return;
    }
    const ClipItem clip = ownTextClip(answer);
    switch (action) {
    case ConversationResultAction::copy:
        completion(copyWithToast(clip, PasteFormat::asCaptured));
        return;
    case ConversationResultAction::paste:
        pasteAnswerBack(clip, target, std::move(completion));
        return;
    case ConversationResultAction::save:
        env_.store.addCaptured(clip);
        env_.store.saveNow();
        env_.showToast(Localization::string(QStringLiteral("Saved as Card")), QStringLiteral("checkmark"),
                       savedToastSeconds);
        completion(true);
        return;
    }
}

void PasteCoordinator::pasteAnswerBack(const ClipItem& clip,
                                       const std::optional<Platform::RunningApplication>& target,
                                       std::function<void(bool)> completion)
{
    if (!PasteTargets::isUsable(target)) {
        env_.showToast(Localization::string(QStringLiteral(
                           "The original app is closed. Copy the answer and choose a destination.")),
                       warningSymbol, targetClosedToastSeconds);
        completion(false);
        return;
    }
    env_.hideBar();
    QPointer<PasteCoordinator> coordinator(this);
    service_.paste(clip, PasteFormat::asCaptured, target,
                   [coordinator, completion = std::move(completion)](bool pasted) {
                       if (!pasted && coordinator)
                           coordinator->env_.showToast(
                               Localization::string(QStringLiteral(
                                   "Paste Back failed. Your answer is still here; check permission or "
                                   "copy it manually.")),
                               warningSymbol, pasteBackFailedToastSeconds);
                       completion(pasted);
                   });
}

void PasteCoordinator::end()
{
    ended_ = true;
    service_.advanceGeneration();
    queue_.end();
}
