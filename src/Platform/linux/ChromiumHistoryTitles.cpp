#include "Platform/linux/ChromiumHistoryTitles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <sqlite3.h>

namespace Platform {

namespace {

// The database and the files that hold its changes not yet written back into it.
constexpr const char* databaseFiles[] = {"History", "History-journal", "History-wal"};
// How many virtual-machine steps the query runs between deadline checks.
constexpr int progressSteps = 1000;

qint64 steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Copies one file of the database into the snapshot: regular files only (a pipe would block),
// and no more than the size limit. A missing journal is no failure.
bool copyInto(const QString& source, const QString& target, bool required)
{
    const QFileInfo info(source);
    if (!info.exists())
        return !required;
    if (!info.isFile() || info.isSymLink() || info.size() > ChromiumHistoryTitles::maxDatabaseBytes)
        return false;
    return QFile::copy(source, target);
}

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

int checkDeadline(void* deadline)
{
    return steadyMilliseconds() > *static_cast<const qint64*>(deadline) ? 1 : 0;
}

QString columnText(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(statement, column)) : QString();
}

} // namespace

QHash<QString, QString> ChromiumHistoryTitles::lookUp(const QString& profileFolder, const QStringList& urls,
                                                      qint64 timeoutMs)
{
    qint64 deadline = steadyMilliseconds() + timeoutMs;
    if (urls.isEmpty() || timeoutMs <= 0)
        return {};
    QTemporaryDir snapshot;
    if (!snapshot.isValid())
        return {};
    for (const char* name : databaseFiles) {
        const QString file = QLatin1StringView(name);
        if (!copyInto(profileFolder + u'/' + file, snapshot.filePath(file), file == u"History") ||
            steadyMilliseconds() > deadline)
            return {};
    }

    // Opened for writing: a journal left by a transaction in progress is rolled back in the
    // copy, which leaves the last committed state.
    sqlite3* raw = nullptr;
    const QByteArray path = QFile::encodeName(snapshot.filePath(QStringLiteral("History")));
    const int opened = sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, DatabaseCloser> db(raw);
    if (opened != SQLITE_OK)
        return {};
    sqlite3_progress_handler(db.get(), progressSteps, &checkDeadline, &deadline);

    sqlite3_stmt* rawStatement = nullptr;
    constexpr char query[] = "SELECT title FROM urls WHERE url = ?1 AND title != '' "
                             "ORDER BY last_visit_time DESC LIMIT 1";
    if (sqlite3_prepare_v2(db.get(), query, -1, &rawStatement, nullptr) != SQLITE_OK)
        return {};
    std::unique_ptr<sqlite3_stmt, StatementFinalizer> statement(rawStatement);

    QHash<QString, QString> titles;
    for (const QString& url : urls) {
        if (titles.contains(url))
            continue;
        const QByteArray bytes = url.toUtf8();
        sqlite3_reset(statement.get());
        sqlite3_bind_text(statement.get(), 1, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        const int step = sqlite3_step(statement.get());
        if (step == SQLITE_ROW)
            titles.insert(url, columnText(statement.get(), 0));
        else if (step != SQLITE_DONE)
            break; // past the deadline or unreadable: what was found still holds
    }
    return titles;
}

} // namespace Platform
