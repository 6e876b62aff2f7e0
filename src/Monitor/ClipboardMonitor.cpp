#include "Monitor/ClipboardMonitor.h"

#include "Monitor/PasteboardTypes.h"
#include "Platform/Bundle.h"
#include "Platform/LogCategories.h"
#include "Platform/Pasteboard.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "Util/ColorHex.h"
#include "Util/FormatConverter.h"

#include <QBuffer>
#include <QColor>
#include <QCryptographicHash>
#include <QFutureWatcher>
#include <QImageReader>
#include <QImageWriter>
#include <QRegularExpression>
#include <QUrl>
#include <QtConcurrent>
#include <algorithm>
#include <cstring>

namespace {

constexpr int colorComponentBytes = 8;

std::optional<QString> imageType(const QStringList& types)
{
    if (types.contains(PasteboardTypes::png))
        return PasteboardTypes::png;
    const QList<QByteArray> readable = QImageReader::supportedMimeTypes();
    for (const QString& type : types) {
        if (type.startsWith(QLatin1String("image/")) && readable.contains(type.toLatin1()))
            return type;
    }
    return std::nullopt;
}

QList<QUrl> fileURLsIn(const QString& lines)
{
    QList<QUrl> urls;
    for (const QString& line :
         lines.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const QUrl url(line.trimmed(), QUrl::StrictMode);
        if (url.isValid() && url.isLocalFile())
            urls.append(url);
    }
    return urls;
}

// Longer texts are never taken for a link, so that huge copies are not scanned for one.
constexpr qsizetype maxLinkLength = 8 * 1024;

bool isBlank(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSpace(); });
}

// A single http or https address, without white space inside.
bool isLink(const QString& text)
{
    if (text.isEmpty() || text.size() > maxLinkLength ||
        std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSpace(); }))
        return false;
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

// Four 16-bit components in the machine's byte order, or a colour name such as "#RRGGBB".
std::optional<QColor> colorIn(const QByteArray& bytes)
{
    if (bytes.size() == colorComponentBytes) {
        quint16 c[4];
        std::memcpy(c, bytes.constData(), sizeof(c));
        return QColor::fromRgba64(c[0], c[1], c[2], c[3]);
    }
    const QColor named = QColor::fromString(QString::fromUtf8(bytes).trimmed());
    if (!named.isValid())
        return std::nullopt;
    return named;
}

// Longer texts are never taken for a colour.
constexpr qsizetype maxColorTextLength = 64;

// The colour that a CSS hex notation (#RGB, #RGBA, #RRGGBB, #RRGGBBAA) makes the whole text,
// as "#RRGGBB" or "#RRGGBBAA".
std::optional<QString> cssHexColor(const QString& text)
{
    if (text.size() > maxColorTextLength)
        return std::nullopt;
    static const QRegularExpression pattern(
        QStringLiteral("^#([0-9A-Fa-f]{3}|[0-9A-Fa-f]{4}|[0-9A-Fa-f]{6}|[0-9A-Fa-f]{8})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    QString digits = match.captured(1).toUpper();
    if (digits.size() <= 4) {
        QString doubled;
        for (const QChar digit : digits)
            doubled += QString(2, digit);
        digits = doubled;
    }
    return QLatin1Char('#') + digits;
}

// A text that is a colour becomes a colour clip that pastes back as the very same text.
bool takeHexColor(ClipItem& item, const QString& text)
{
    const std::optional<QString> hex = cssHexColor(text);
    if (!hex)
        return false;
    item.type = ClipType::color;
    item.colorHex = *hex;
    item.text = text;
    return true;
}

} // namespace

ClipboardMonitor::ClipboardMonitor(Platform::Pasteboard& pasteboard, ClipboardStore& store,
                                   Settings& settings, QObject* parent)
    : QObject(parent)
    , pasteboard_(pasteboard)
    , store_(store)
    , settings_(settings)
    , lastChangeCount_(pasteboard.changeCount())
{
    timer_.setInterval(tickInterval);
    connect(&timer_, &QTimer::timeout, this, &ClipboardMonitor::checkForChanges);
    pasteboard_.observeCopies(this, [this] {
        if (isRunning())
            checkForChanges();
    });
}

void ClipboardMonitor::start()
{
    running_ = true;
    if (!pasteboard_.announcesCopies())
        timer_.start();
}

void ClipboardMonitor::stop()
{
    running_ = false;
    timer_.stop();
}

void ClipboardMonitor::setPaused(bool paused)
{
    paused_ = paused;
}

void ClipboardMonitor::ignoreChangeCount(qint64 changeCount)
{
    ignoredChangeCount_ = changeCount;
}

void ClipboardMonitor::checkForChanges()
{
    const qint64 count = pasteboard_.changeCount();
    if (count == lastChangeCount_)
        return;
    lastChangeCount_ = count;
    if (paused_ || count == ignoredChangeCount_) {
        qCDebug(logCapture) << "change" << count
                            << "skipped:" << (paused_ ? "capture is paused" : "our own copy");
        return;
    }
    const QStringList types = pasteboard_.types();
    if (types.isEmpty())
        return;
    const std::optional<Platform::RunningApplication> owner = pasteboard_.ownerApplication();
    const QString ownerID = owner ? owner->bundleIdentifier : QStringLiteral("unknown");
    if (isExcluded(types, owner)) {
        qCDebug(logCapture) << "change" << count << "from" << ownerID << "excluded; types" << types;
        return;
    }
    capture(types, owner);
}

bool ClipboardMonitor::isExcluded(const QStringList& types,
                                  const std::optional<Platform::RunningApplication>& owner) const
{
    // Our own writes carry our identifier, in case their change count was missed.
    if (types.contains(PasteboardTypes::source) &&
        QString::fromUtf8(pasteboard_.data(PasteboardTypes::source)) ==
            Platform::mainBundle().bundleIdentifier())
        return true;
    if (owner && settings_.ignoredSourceAppBundleIDs().contains(owner->bundleIdentifier))
        return true;
    if (!settings_.ignoreConcealed())
        return false;
    for (const QString& marker :
         {PasteboardTypes::concealed, PasteboardTypes::transient, PasteboardTypes::autoGenerated}) {
        if (types.contains(marker))
            return true;
    }
    return types.contains(PasteboardTypes::passwordManagerHint) &&
           pasteboard_.data(PasteboardTypes::passwordManagerHint).trimmed() ==
               PasteboardTypes::passwordManagerSecret;
}

void ClipboardMonitor::capture(const QStringList& types,
                               const std::optional<Platform::RunningApplication>& owner)
{
    PendingCapture capture;
    ClipItem& item = capture.item;
    if (owner) {
        item.sourceBundleID = owner->bundleIdentifier;
        if (!owner->localizedName.isEmpty())
            item.sourceAppName = owner->localizedName;
    }
    if (takeFiles(item, types)) {
        pending_.append(std::move(capture));
        deliverReady();
        return;
    }
    if (imageType(types)) {
        queueImage(std::move(capture), types);
        return;
    }
    if (!takeColor(item, types) && !takeRichText(item, types) && !takeText(item)) {
        qCDebug(logCapture) << "nothing to record among" << types;
        return;
    }
    pending_.append(std::move(capture));
    deliverReady();
}

void ClipboardMonitor::queueImage(PendingCapture capture, const QStringList& types)
{
    capture.image = startImage(types);
    if (!capture.image)
        return;
    capture.item.type = ClipType::image;
    // WORKAROUND: a watcher, not QFuture::then(): in Qt 6.4 attaching a continuation can
    // deadlock when the work finishes at that moment.
    auto* watcher = new QFutureWatcher<std::optional<PreparedImage>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        deliverReady();
    });
    watcher->setFuture(*capture.image);
    pending_.append(std::move(capture));
}

bool ClipboardMonitor::takeFiles(ClipItem& item, const QStringList& types) const
{
    QList<QUrl> urls;
    if (types.contains(PasteboardTypes::uriList))
        urls = fileURLsIn(QString::fromUtf8(pasteboard_.data(PasteboardTypes::uriList)));
    if (urls.isEmpty() && types.contains(PasteboardTypes::gnomeCopiedFiles))
        urls = fileURLsIn(QString::fromUtf8(pasteboard_.data(PasteboardTypes::gnomeCopiedFiles)));
    if (urls.isEmpty())
        return false;
    item.type = ClipType::file;
    item.fileURLs = urls;
    return true;
}

std::optional<QFuture<std::optional<ClipboardMonitor::PreparedImage>>>
ClipboardMonitor::startImage(const QStringList& types) const
{
    const QByteArray bytes = pasteboard_.data(*imageType(types));
    if (bytes.isEmpty() || bytes.size() > ClipboardStore::maxImageBytes)
        return std::nullopt;
    return QtConcurrent::run(&ClipboardMonitor::prepareImage, bytes);
}

std::optional<ClipboardMonitor::PreparedImage> ClipboardMonitor::prepareImage(const QByteArray& bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!reader.canRead() || size.isEmpty() || qint64(size.width()) * size.height() > maxImagePixels)
        return std::nullopt;
    PreparedImage prepared;
    if (reader.format() == "png") {
        prepared.png = bytes;
    } else {
        const QImage image = reader.read();
        if (image.isNull())
            return std::nullopt;
        QBuffer out(&prepared.png);
        out.open(QIODevice::WriteOnly);
        if (!QImageWriter(&out, "png").write(image))
            return std::nullopt;
    }
    prepared.hash =
        QString::fromLatin1(QCryptographicHash::hash(prepared.png, QCryptographicHash::Sha256).toHex());
    return prepared;
}

bool ClipboardMonitor::takeRichText(ClipItem& item, const QStringList& types) const
{
    QByteArray rtf;
    for (const QString& type :
         {PasteboardTypes::rtf, PasteboardTypes::richTextAlias, PasteboardTypes::rtfApplication}) {
        if (rtf.isEmpty() && types.contains(type))
            rtf = pasteboard_.data(type);
    }
    QByteArray html;
    if (types.contains(PasteboardTypes::html))
        html = FormatConverter::decodeHtml(pasteboard_.data(PasteboardTypes::html)).toUtf8();
    if (rtf.isEmpty() && html.isEmpty())
        return false;
    QString text = pasteboard_.text().value_or(QString());
    // Converting a document over the store's limit could stall the main thread.
    if (text.isEmpty() && !html.isEmpty() && html.size() <= ClipboardStore::maxRichTextBytes)
        text = FormatConverter::plainTextFromHtml(html);
    if (text.isEmpty() && !rtf.isEmpty() && rtf.size() <= ClipboardStore::maxRichTextBytes)
        text = FormatConverter::plainTextFromRtf(rtf);
    if (isBlank(text))
        return false;
    if (takeHexColor(item, text))
        return true;
    item.type = ClipType::richText;
    item.text = text;
    if (!rtf.isEmpty())
        item.rtfData = rtf;
    if (!html.isEmpty())
        item.htmlData = html;
    return true;
}

bool ClipboardMonitor::takeText(ClipItem& item) const
{
    const std::optional<QString> text = pasteboard_.text();
    if (!text || isBlank(*text))
        return false;
    if (takeHexColor(item, *text))
        return true;
    const QString trimmed = text->size() <= maxLinkLength ? text->trimmed() : QString();
    item.type = isLink(trimmed) ? ClipType::link : ClipType::text;
    item.text = item.type == ClipType::link ? trimmed : *text;
    return true;
}

bool ClipboardMonitor::takeColor(ClipItem& item, const QStringList& types) const
{
    if (!types.contains(PasteboardTypes::color))
        return false;
    const std::optional<QColor> color = colorIn(pasteboard_.data(PasteboardTypes::color));
    if (!color)
        return false;
    item.type = ClipType::color;
    item.colorHex = hexString(*color);
    return true;
}

void ClipboardMonitor::deliverReady()
{
    while (!pending_.isEmpty() && (!pending_.first().image || pending_.first().image->isFinished()))
        deliver(pending_.takeFirst());
}

void ClipboardMonitor::deliver(PendingCapture capture)
{
    if (!capture.image) {
        store_.addCaptured(capture.item);
        emit captured(capture.item);
        return;
    }
    const std::optional<PreparedImage> prepared = capture.image->result();
    if (!prepared)
        return;
    capture.item.imageHash = prepared->hash;
    if (store_.addCapturedImage(capture.item, prepared->png))
        emit captured(capture.item);
}
