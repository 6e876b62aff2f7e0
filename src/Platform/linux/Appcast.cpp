#include "Platform/linux/Appcast.h"

#include "Platform/HttpsGet.h"

#include <QXmlStreamReader>

namespace Platform::Appcast {

namespace {

QStringView localName(QStringView qualified)
{
    const qsizetype colon = qualified.lastIndexOf(u':');
    return colon < 0 ? qualified : qualified.mid(colon + 1);
}

QString attribute(const QXmlStreamAttributes& attributes, QStringView name)
{
    for (const QXmlStreamAttribute& a : attributes) {
        if (localName(a.qualifiedName()) == name)
            return a.value().toString();
    }
    return {};
}

// Runs of digits and runs of anything else but separators.
QStringList parts(const QString& version)
{
    QStringList result;
    QString run;
    bool digits = false;
    for (const QChar c : version) {
        const bool isSeparator = c == u'.' || c == u'-' || c == u'_' || c == u'+' || c.isSpace();
        if (isSeparator || (!run.isEmpty() && c.isDigit() != digits)) {
            if (!run.isEmpty())
                result.append(run);
            run.clear();
        }
        if (!isSeparator) {
            digits = c.isDigit();
            run.append(c);
        }
    }
    if (!run.isEmpty())
        result.append(run);
    return result;
}

bool isNumber(const QString& part)
{
    return !part.isEmpty() && part.front().isDigit();
}

QStringView withoutLeadingZeros(QStringView digits)
{
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.mid(1);
    return digits;
}

int compareParts(const QString& a, const QString& b)
{
    if (isNumber(a) && isNumber(b)) {
        // Compared as digit strings, so that no number is too long.
        const QStringView x = withoutLeadingZeros(a);
        const QStringView y = withoutLeadingZeros(b);
        if (x.size() != y.size())
            return x.size() < y.size() ? -1 : 1;
        return x.compare(y);
    }
    // A release ("2.0") is newer than its pre-releases ("2.0b1"): text ranks below numbers.
    if (isNumber(a) != isNumber(b))
        return isNumber(a) ? 1 : -1;
    return a.compare(b);
}

} // namespace

QList<AppcastItem> parse(const QByteArray& document)
{
    QXmlStreamReader xml(document);
    xml.setNamespaceProcessing(false);
    QList<AppcastItem> items;
    std::optional<AppcastItem> item;
    bool isRss = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QStringView name = localName(xml.qualifiedName());
            isRss = isRss || name == u"rss";
            if (!isRss) {
                break;
            } else if (name == u"item") {
                item = AppcastItem{};
            } else if (item && name == u"enclosure") {
                const QXmlStreamAttributes a = xml.attributes();
                item->url = QUrl(attribute(a, u"url"), QUrl::StrictMode);
                item->length = attribute(a, u"length").toLongLong();
                item->signature = QByteArray::fromBase64(attribute(a, u"edSignature").toLatin1());
                if (item->version.isEmpty())
                    item->version = attribute(a, u"version");
                if (item->shortVersion.isEmpty())
                    item->shortVersion = attribute(a, u"shortVersionString");
            } else if (item && name == u"title") {
                item->title = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            } else if (item && name == u"version") {
                item->version = xml.readElementText().trimmed();
            } else if (item && name == u"shortVersionString") {
                item->shortVersion = xml.readElementText().trimmed();
            } else if (item && name == u"channel") {
                item->channel = xml.readElementText().trimmed();
            }
        } else if (xml.isEndElement() && item && localName(xml.qualifiedName()) == u"item") {
            if (item->shortVersion.isEmpty())
                item->shortVersion = item->version;
            if (!item->version.isEmpty() && HttpsGet::isHttps(item->url) && item->length > 0 &&
                !item->signature.isEmpty())
                items.append(*item);
            item.reset();
        }
    }
    if (xml.hasError() || !isRss)
        throw MalformedError("not an RSS feed");
    return items;
}

std::optional<AppcastItem> bestUpdate(const QList<AppcastItem>& items, const QString& installedVersion,
                                      const QSet<QString>& channels)
{
    std::optional<AppcastItem> best;
    for (const AppcastItem& item : items) {
        if (!item.channel.isEmpty() && !channels.contains(item.channel))
            continue;
        if (compareVersions(item.version, installedVersion) <= 0)
            continue;
        if (!best || compareVersions(item.version, best->version) > 0)
            best = item;
    }
    return best;
}

int compareVersions(const QString& a, const QString& b)
{
    const QStringList x = parts(a);
    const QStringList y = parts(b);
    for (qsizetype i = 0; i < std::max(x.size(), y.size()); ++i) {
        // A missing part counts as zero: "1.0" equals "1.0.0".
        const QString p = i < x.size() ? x[i] : QStringLiteral("0");
        const QString q = i < y.size() ? y[i] : QStringLiteral("0");
        if (const int order = compareParts(p, q); order != 0)
            return order < 0 ? -1 : 1;
    }
    return 0;
}

} // namespace Platform::Appcast
