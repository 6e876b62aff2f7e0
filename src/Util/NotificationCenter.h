#pragma once

#include <QObject>
#include <QString>
#include <functional>

// The system's named notifications ("VelloraStoreDidSave", "VelloraLanguageDidChange"),
// posted and observed by name on the main thread.
class NotificationCenter final : public QObject {
    Q_OBJECT
public:
    static NotificationCenter& shared();

    // Delivers at once to every observer of the name, in the order they were added.
    void post(const QString& name, QObject* sender = nullptr);

    // Calls the handler for each post of the name while the context object lives.
    QMetaObject::Connection observe(const QString& name, QObject* context,
                                    std::function<void(QObject* sender)> handler);

signals:
    void posted(const QString& name, QObject* sender);
};

namespace Notifications {
inline const QString storeDidSave = QStringLiteral("VelloraStoreDidSave");
inline const QString languageDidChange = QStringLiteral("VelloraLanguageDidChange");
} // namespace Notifications
