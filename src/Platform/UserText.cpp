#include "Platform/UserText.h"

#include <QRegularExpression>
#include <atomic>

namespace Platform {

namespace {

std::atomic<UserTextFormatter> installed{nullptr};

// Each placeholder takes the next argument as text; "%%" is "%".
QString fillAsWritten(const QString& format, const QVariantList& arguments)
{
    static const QRegularExpression placeholder(QStringLiteral("%%|%(?:ll)?[@d]"));
    QString text;
    qsizetype from = 0;
    qsizetype next = 0;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(format)) {
        text += QStringView(format).sliced(from, match.capturedStart() - from);
        if (match.captured() == QLatin1String("%%"))
            text += u'%';
        else if (next < arguments.size())
            text += arguments.at(next++).toString();
        else
            text += match.captured();
        from = match.capturedEnd();
    }
    return text += QStringView(format).sliced(from);
}

} // namespace

void setUserTextFormatter(UserTextFormatter formatter)
{
    installed.store(formatter);
}

QString userText(const QString& englishFormat, const QVariantList& arguments)
{
    const UserTextFormatter formatter = installed.load();
    return formatter ? formatter(englishFormat, arguments) : fillAsWritten(englishFormat, arguments);
}

} // namespace Platform
