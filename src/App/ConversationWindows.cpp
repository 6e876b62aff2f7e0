#include "App/ConversationWindows.h"

#include "AI/ConversationDraft.h"
#include "AI/ModelError.h"
#include "App/PasteCoordinator.h"
#include "Store/ClipboardStore.h"
#include "UI/AI/ConversationWindowController.h"
#include "Util/Localization.h"

#include <QFile>

namespace {

// The bytes of a clip's image: an image clip's stored file, or the file a file clip points to.
std::optional<QByteArray> readClipImage(const ClipboardStore& store, const ClipItem& item)
{
    std::optional<QString> path;
    if (item.type == ClipType::image)
        path = store.imageFilePath(item);
    else if (item.type == ClipType::file && !item.fileURLs.isEmpty())
        path = item.fileURLs.first().toLocalFile();
    if (!path)
        return std::nullopt;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

ConversationWindows::ConversationWindows(Environment environment, QObject* parent)
    : QObject(parent)
    , env_(std::move(environment))
{}

ConversationWindows::~ConversationWindows() = default;

void ConversationWindows::open(const QList<ClipItem>& items)
{
    ConversationDraft draft;
    try {
        const ClipboardStore& store = env_.store;
        draft = ConversationDraft::capture(
            items, [&store](const ClipItem& item) { return readClipImage(store, item); });
    } catch (const ModelError& error) {
        env_.showAlert(Localization::string(QStringLiteral("Materials Not Ready")), error.errorDescription());
        return;
    }
    const std::optional<Platform::RunningApplication> target = env_.prepareForWindow();
    dropClosed();
    QPointer<ConversationWindows> windows(this);
    auto* window = new ConversationWindowController(
        std::move(draft),
        [windows, target](ConversationResultAction action, const QString& answer,
                          std::function<void(bool)> completion) {
            if (!windows) {
                completion(false);
                return;
            }
            windows->env_.paste.performResultAction(action, answer, target, std::move(completion));
        },
        this);
    window->setNumber(nextNumber_++);
    env_.configure(*window);
    windows_.append(window);
    window->onClose = [this] {
        dropClosed();
        env_.changed();
    };
    env_.changed();
    window->showWindow();
}

QList<ConversationWindowController*> ConversationWindows::openWindows() const
{
    QList<ConversationWindowController*> open;
    for (const QPointer<ConversationWindowController>& window : windows_) {
        if (window && !window->isClosed())
            open.append(window);
    }
    return open;
}

void ConversationWindows::closeAll()
{
    for (const QPointer<ConversationWindowController>& window : std::as_const(windows_))
        delete window.data();
    windows_.clear();
}

void ConversationWindows::dropClosed()
{
    for (qsizetype i = windows_.size() - 1; i >= 0; --i) {
        const QPointer<ConversationWindowController>& window = windows_.at(i);
        if (window && !window->isClosed())
            continue;
        if (window)
            window->deleteLater();
        windows_.removeAt(i);
    }
}
