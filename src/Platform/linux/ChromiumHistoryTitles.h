#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace Platform {

// Page titles from a Chrome-family profile's "History" database. The browser writes the
// title of every page it shows there, while its session file often keeps only the address.
// The live database is never opened: a snapshot of it and its journal is read instead, so the
// browser's locks and writes don't matter, and a busy or broken database only means no titles.
class ChromiumHistoryTitles {
public:
    // Databases larger than this are not copied.
    static constexpr qint64 maxDatabaseBytes = 256LL * 1024 * 1024;

    // The newest non-empty title of each address found, by address; addresses the database
    // doesn't know are absent. Empty when the database is missing, too large or broken; the
    // titles found so far when it takes longer than timeoutMs.
    static QHash<QString, QString> lookUp(const QString& profileFolder, const QStringList& urls,
                                          qint64 timeoutMs);
};

} // namespace Platform
