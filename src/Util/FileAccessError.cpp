#include "Util/FileAccessError.h"

#include "Util/Localization.h"
#include "Util/SaveFailureText.h"

FileAccessError::FileAccessError(Kind kind, QString path, QString reason)
    : kind_(kind)
    , path_(std::move(path))
    , reason_(std::move(reason))
    , what_((path_ + QStringLiteral(": ") + reason_).toUtf8())
{}

QString FileAccessError::localizedDescription() const
{
    const QString retry = SaveFailureText::retryNotice(path_);
    switch (kind_) {
    case Kind::directoryNotWritable:
        return Localization::string(
                   QStringLiteral("The folder for saved file permissions could not be created.")) +
               QLatin1Char(' ') + retry;
    case Kind::fileNotWritable:
        return Localization::string(QStringLiteral("Saved file permissions could not be written.")) +
               QLatin1Char(' ') + retry;
    }
    return {};
}
