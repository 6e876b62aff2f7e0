#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// Why saved file permissions could not be written. Thrown by FileAccessStore.
class FileAccessError final : public std::exception {
public:
    enum class Kind {
        // The folder that holds "file-access.json" could not be created.
        directoryNotWritable,
        // "file-access.json" could not be written.
        fileNotWritable,
    };

    FileAccessError(Kind kind, QString path, QString reason);

    Kind kind() const { return kind_; }
    QString path() const { return path_; }
    // The system's reason, for diagnostics; not shown to the user.
    QString reason() const { return reason_; }
    // The message for the user, in the language in effect.
    QString localizedDescription() const;
    const char* what() const noexcept override { return what_.constData(); }

private:
    Kind kind_;
    QString path_;
    QString reason_;
    QByteArray what_;
};
