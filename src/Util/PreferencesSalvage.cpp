#include "Util/PreferencesSalvage.h"

#include <QFile>
#include <QRegularExpression>

namespace PreferencesSalvage {

namespace {
// A preferences file is a few kilobytes; a larger one is not searched beyond this.
constexpr qint64 searchedBytes = 1 << 20;
} // namespace

std::optional<AppLanguage> languageChoice(const QString& unreadableFile)
{
    QFile file(unreadableFile);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    static const QRegularExpression entry(QStringLiteral(R"re("dorvaneLanguage"\s*:\s*"([^"\\]*)")re"));
    QRegularExpressionMatchIterator matches = entry.globalMatch(QString::fromUtf8(file.read(searchedBytes)));
    if (!matches.hasNext())
        return std::nullopt;
    const QString raw = matches.next().captured(1);
    if (matches.hasNext())
        return std::nullopt;
    return AppLanguages::fromRawValue(raw);
}

} // namespace PreferencesSalvage
