#include "Platform/linux/ClipboardSnapshot.h"

#include <QCoreApplication>
#include <QMimeData>

namespace Platform {

QStringList ClipboardSnapshot::types() const
{
    QStringList list;
    for (const auto& [type, bytes] : entries)
        list.append(type);
    return list;
}

QByteArray ClipboardSnapshot::data(const QString& type) const
{
    for (const auto& [entryType, bytes] : entries) {
        if (entryType == type)
            return bytes;
    }
    return {};
}

ClipboardSnapshot ClipboardSnapshot::of(const QMimeData* data)
{
    ClipboardSnapshot snapshot;
    snapshot.ownerProcess = QCoreApplication::applicationPid();
    if (!data)
        return snapshot;
    for (const QString& format : data->formats())
        snapshot.entries.append({format, data->data(format)});
    return snapshot;
}

} // namespace Platform
