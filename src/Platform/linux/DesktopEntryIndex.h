#pragma once

#include "Platform/linux/DesktopEntry.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace Platform {

// The installed applications' desktop entries, read once on first use. Folders come in
// precedence order: an id found in an earlier folder hides the same id in later ones, and
// an entry marked Hidden removes its id.
class DesktopEntryIndex {
public:
    explicit DesktopEntryIndex(QStringList applicationFolders);

    // $XDG_DATA_HOME/applications, then each $XDG_DATA_DIRS/applications.
    static QStringList standardApplicationFolders();
    // The data folders themselves, in the same order (for icons under "pixmaps").
    static QStringList standardDataFolders();

    const DesktopEntry* entry(const QString& id) const;

    // The entry of a running program, tried in this order: StartupWMClass equal to the
    // window's class or instance; an id (or an id's last dotted part) equal to them; the
    // program's file name equal to the entry's, unless the entry starts its program through
    // a shell or an interpreter. Case is ignored for the window names.
    const DesktopEntry* match(const QString& windowClass, const QString& windowInstance,
                              const QString& executableName) const;

    qsizetype size() const;
    // Every entry, in id order.
    const QList<DesktopEntry>& entries() const;

private:
    void loadOnce() const;
    void add(const QString& id, const QByteArray& contents) const;

    QStringList folders_;
    mutable bool loaded_ = false;
    mutable QList<DesktopEntry> entries_;
    mutable QHash<QString, qsizetype> byId_;
    mutable QHash<QString, qsizetype> byWindowClass_;
    mutable QHash<QString, qsizetype> byLowerId_;
    mutable QHash<QString, qsizetype> byLastIdPart_;
    mutable QHash<QString, qsizetype> byExecutable_;
};

} // namespace Platform
