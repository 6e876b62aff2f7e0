#include "App/FileProblemAlerts.h"

#include "Platform/Defaults.h"
#include "Platform/LogCategories.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "Util/Localization.h"
#include "Util/PreferencesSalvage.h"
#include "Util/SaveFailureText.h"

#include <QPointer>
#include <QTimer>

FileProblemAlerts::FileProblemAlerts(ClipboardStore& store, ShowAlert showAlert, QObject* parent)
    : QObject(parent)
    , store_(store)
    , showAlert_(std::move(showAlert))
{}

void FileProblemAlerts::reportUnreadableStore()
{
    // Queued: a file set aside while quitting is only logged.
    connect(
        &store_, &ClipboardStore::unreadableFileSetAside, this,
        [this](const QString& asidePath) { showAlert_(ClipboardStore::unreadableStoreMessage(), asidePath); },
        Qt::QueuedConnection);
    connect(&store_, &ClipboardStore::unreadableFileSetAside, this, [](const QString& asidePath) {
        qCWarning(logStore) << "the unreadable history file was set aside as" << asidePath;
    });
    store_.whenLoaded(this, [this] {
        if (!store_.unreadableStoreFile())
            return;
        QTimer::singleShot(0, this, [this] {
            showAlert_(ClipboardStore::unreadableStoreMessage(),
                       store_.unreadableStoreFile().value_or(QString()));
        });
    });
}

void FileProblemAlerts::reportFailedSaves()
{
    connect(&store_, &ClipboardStore::saveFailed, this, [](const QString& path, const QString& reason) {
        qCWarning(logStore) << "the history could not be saved to" << path << reason;
    });
    // Queued: a save that fails while quitting is only logged.
    connect(
        &store_, &ClipboardStore::saveFailed, this,
        [this](const QString& path, const QString& reason) {
            showAlert_(ClipboardStore::saveFailedMessage(path), reason);
        },
        Qt::QueuedConnection);
}

void FileProblemAlerts::reportPreferenceProblems()
{
    Platform::Defaults& defaults = Platform::defaults();
    // The preferences outlive this object; a write after it has gone tells no one.
    defaults.saveFailed = [alerts = QPointer(this)](const QString& path) {
        qCWarning(logStore) << "the preferences could not be saved to" << path;
        if (!alerts)
            return;
        QTimer::singleShot(0, alerts, [alerts, path] {
            alerts->showAlert_(Settings::saveFailedMessage(), SaveFailureText::retryNotice(path));
        });
    };
    defaults.saveIfNeeded();
    if (const std::optional<QString> kept = defaults.unreadableFile()) {
        if (const std::optional<AppLanguage> language = PreferencesSalvage::languageChoice(*kept))
            Localization::shared().setLanguage(*language);
        QTimer::singleShot(0, this, [this, file = *kept] {
            showAlert_(Settings::unreadableFileMessage(), Settings::unreadableFileInformativeText(file));
        });
    }
}
