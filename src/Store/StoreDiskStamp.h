#pragma once

#include <QString>
#include <QtGlobal>

// Identifies one version of a file on disk cheaply: an atomic replace gives a new inode,
// an edit in place a new size or modification time.
struct StoreDiskStamp {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNanoseconds = 0;

    bool operator==(const StoreDiskStamp&) const = default;

    static StoreDiskStamp of(const QString& path);
};
