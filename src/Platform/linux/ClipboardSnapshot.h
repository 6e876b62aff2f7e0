#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

class QMimeData;

namespace Platform {

// One copy as it was read: each type (a MIME type, or a marker name such as
// "org.nspasteboard.source") with its bytes, and who owned the clipboard then.
struct ClipboardSnapshot {
    QList<std::pair<QString, QByteArray>> entries;
    quint32 ownerWindow = 0; // none for our own copies
    std::optional<qint64> ownerProcess;
    // The owner process's program name, taken while it still served the copy.
    QString ownerExecutable;

    QStringList types() const;
    // Empty when the type was not read.
    QByteArray data(const QString& type) const;

    // Every format of data that lives in this process (our own copies).
    static ClipboardSnapshot of(const QMimeData* data);
};

} // namespace Platform
