#include "AI/ChatRequest.h"

#include "AI/ModelError.h"
#include "AI/ModelGenerationOptions.h"
#include "AI/NoModelRedirects.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>

namespace {

constexpr qint64 messageOverheadTokens = 4;

bool sendsImage(const ChatRequest& r, const ConversationMaterial& m)
{
    return r.configuration.supportsImages && m.imageData && !m.imageData->isEmpty();
}

bool hasText(const ConversationMaterial& m)
{
    return m.text && !m.text->trimmed().isEmpty();
}

QString materialLabel(int number, const ConversationMaterial& m)
{
    QString label = QStringLiteral("[Material %1: %2").arg(QString::number(number), m.title);
    if (!m.source.isEmpty())
        label += QStringLiteral(" (from ") + m.source + QLatin1Char(')');
    return label + QLatin1Char(']');
}

// PNG, JPEG and WebP go as they are (every service reads them); anything else is re-encoded
// as PNG.
QString imageDataURL(const QByteArray& data)
{
    QString mime;
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        mime = QStringLiteral("image/png");
    else if (data.startsWith("\xff\xd8\xff"))
        mime = QStringLiteral("image/jpeg");
    else if (data.startsWith("RIFF") && data.mid(8, 4) == "WEBP")
        mime = QStringLiteral("image/webp");
    if (!mime.isEmpty())
        return QStringLiteral("data:%1;base64,").arg(mime) + QString::fromLatin1(data.toBase64());

    const QImage image = QImage::fromData(data);
    if (image.isNull())
        throw ModelError(ModelError::Kind::unreadableImage);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

QJsonObject message(const QString& role, const QJsonValue& content)
{
    return {{QStringLiteral("role"), role}, {QStringLiteral("content"), content}};
}

QJsonObject textPart(const QString& text)
{
    return {{QStringLiteral("type"), QStringLiteral("text")}, {QStringLiteral("text"), text}};
}

QJsonObject imagePart(const QByteArray& data)
{
    return {{QStringLiteral("type"), QStringLiteral("image_url")},
            {QStringLiteral("image_url"), QJsonObject{{QStringLiteral("url"), imageDataURL(data)}}}};
}

// Without images the question and materials go as one text, which every server reads;
// with images as parts in material order, the question last.
QJsonValue userContent(const ChatRequest& r)
{
    QJsonArray parts;
    QStringList texts;
    bool withImages = false;
    int number = 0;
    for (const ConversationMaterial& m : r.materials) {
        ++number;
        const bool image = sendsImage(r, m);
        const bool imageLeftOut = !image && m.imageData && !m.imageData->isEmpty();
        if (!image && !imageLeftOut && !hasText(m))
            continue;
        QString block = materialLabel(number, m);
        // The model learns of an image it was not given, so it cannot answer as if it saw it.
        if (imageLeftOut)
            block += QStringLiteral("\n(An image, not included: this model does not accept images.)");
        if (hasText(m))
            block += QLatin1Char('\n') + *m.text;
        texts.append(block);
        parts.append(textPart(block));
        if (image) {
            parts.append(imagePart(*m.imageData));
            withImages = true;
        }
    }
    if (!withImages) {
        texts.append(r.question);
        return texts.join(QStringLiteral("\n\n"));
    }
    parts.append(textPart(r.question));
    return parts;
}

qint64 promptEstimate(const ChatRequest& r, const QList<ChatTurn>& turns)
{
    qint64 total = ChatRequest::estimatedTokens(r.configuration.systemPrompt) +
                   ChatRequest::estimatedTokens(r.question) + messageOverheadTokens * 2;
    for (const ConversationMaterial& m : r.materials) {
        if (hasText(m))
            total += ChatRequest::estimatedTokens(*m.text) + messageOverheadTokens;
        if (sendsImage(r, m))
            total += ChatRequest::imageTokenEstimate;
    }
    for (const ChatTurn& turn : turns)
        total += ChatRequest::estimatedTokens(turn.question) + ChatRequest::estimatedTokens(turn.answer) +
                 messageOverheadTokens * 2;
    return total + r.configuration.maxOutputTokens.value_or(0);
}

} // namespace

qint64 ChatRequest::estimatedTokens(const QString& text)
{
    qint64 ascii = 0;
    qint64 other = 0;
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            ++ascii;
        else if (!c.isLowSurrogate())
            ++other;
    }
    return (ascii + 3) / 4 + other;
}

QList<ChatTurn> ChatRequest::historyToSend() const
{
    QList<ChatTurn> turns = history;
    if (configuration.historyTurns) {
        const qsizetype limit = qBound<qint64>(0, *configuration.historyTurns, turns.size());
        turns = turns.mid(turns.size() - limit);
    }
    if (!configuration.contextTokens)
        return turns;
    while (!turns.isEmpty() && promptEstimate(*this, turns) > *configuration.contextTokens)
        turns.removeFirst();
    return turns;
}

QJsonObject ChatRequest::body() const
{
    QJsonArray messages;
    if (!configuration.systemPrompt.trimmed().isEmpty())
        messages.append(message(QStringLiteral("system"), configuration.systemPrompt));
    for (const ChatTurn& turn : historyToSend()) {
        messages.append(message(QStringLiteral("user"), turn.question));
        messages.append(message(QStringLiteral("assistant"), turn.answer));
    }
    messages.append(message(QStringLiteral("user"), userContent(*this)));

    QJsonObject body{{QStringLiteral("model"), configuration.model.trimmed()},
                     {QStringLiteral("stream"), false},
                     {QStringLiteral("messages"), messages}};
    ModelGenerationOptions::apply(configuration, body);
    return body;
}

QNetworkRequest ChatRequest::networkRequest() const
{
    QNetworkRequest request(configuration.endpoint());
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setRawHeader("Accept", "application/json");
    const QString trimmedKey = key.trimmed();
    if (!trimmedKey.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + trimmedKey.toUtf8());
    request.setTransferTimeout(configuration.timeoutSeconds * 1000);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    NoModelRedirects::apply(request);
    return request;
}
