#pragma once

#include <QMutex>
#include <QObject>
#include <QStringList>

// The file manager's D-Bus interface, recording what it was asked to show.
class FakeFileManager final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shownItems() const
    {
        QMutexLocker lock(&mutex_);
        return shown_;
    }

public slots:
    void ShowItems(const QStringList& uris, const QString& startupId)
    {
        Q_UNUSED(startupId);
        QMutexLocker lock(&mutex_);
        shown_ += uris;
    }

private:
    mutable QMutex mutex_;
    QStringList shown_;
};
