#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>

// The saved permissions to reach the user's files that file clips point to, kept as
// "file-access.json" in the local data directory: a JSON object from normalised path to
// Base64 bookmark data. On Linux a bookmark is the record that the user granted the path;
// its data is the normalised path itself.
class FileAccessStore final : public QObject {
    Q_OBJECT
public:
    using Table = QMap<QString, QByteArray>;

    inline static const QString fileName = QStringLiteral("file-access.json");

    // The process-wide store in DataDirectory::local(), read on first use.
    static FileAccessStore& shared();

    // Reads the table from the file; a missing or unreadable file gives an empty table.
    explicit FileAccessStore(QString filePath, QObject* parent = nullptr);

    QString filePath() const { return filePath_; }
    const Table& table() const { return table_; }

    // Makes the table the one in memory and writes it atomically (mode 0600, its folder
    // created with mode 0700 when missing). Throws FileAccessError when it can't be written;
    // the table stays in memory and is written again by the next save() or saveIfNeeded().
    // The first failure of a run of failures writes one line to the system log.
    void save(const Table& table);
    // Writes a table that a failed save left in memory; a failure is logged as by save().
    void saveIfNeeded();

    // Records that the user granted access to a file or folder. Throws like save().
    void grant(const QString& path);
    // Whether a grant for the path is saved and the path can be read now.
    bool hasAccess(const QString& path) const;

    // Absolute, with "." and ".." resolved and no trailing separator.
    static QString normalisedPath(const QString& path);

signals:
    void tableChanged();

private:
    void write();

    QString filePath_;
    Table table_;
    bool unsaved_ = false;
};
