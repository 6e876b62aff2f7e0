#include "Updates/DirectUpdateConfiguration.h"

#include <QByteArray>

namespace {

constexpr qsizetype publicKeyBytes = 32;

std::optional<QUrl> httpsFeedURL(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    const QString text = value.toString();
    const QUrl url(text, QUrl::StrictMode);
    // QUrl lower-cases the scheme; the key must spell it in lower case itself.
    if (!url.isValid() || !text.startsWith(QLatin1String("https:")) || url.host().isEmpty())
        return std::nullopt;
    if (!url.userName().isEmpty() || !url.password().isEmpty() || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    return url;
}

bool isPublicKey(const QJsonValue& value)
{
    if (!value.isString())
        return false;
    const QByteArray text = value.toString().toLatin1();
    // Standard Base64 comes in whole groups of four; Qt would accept a missing padding.
    if (text.size() % 4 != 0)
        return false;
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    // toLatin1() turns characters outside Latin-1 into '?', which is no Base64 character.
    return decoded && decoded.decoded.size() == publicKeyBytes;
}

} // namespace

std::optional<DirectUpdateConfiguration> DirectUpdateConfiguration::fromInfo(const QJsonObject& info)
{
    const QJsonValue channel = info.value(QLatin1String("VelloraDistributionChannel"));
    if (!channel.isString() || channel.toString() != QLatin1String("direct"))
        return std::nullopt;
    const std::optional<QUrl> feed = httpsFeedURL(info.value(QLatin1String("SUFeedURL")));
    if (!feed)
        return std::nullopt;
    const QJsonValue key = info.value(QLatin1String("SUPublicEDKey"));
    if (!isPublicKey(key))
        return std::nullopt;
    return DirectUpdateConfiguration{*feed, key.toString()};
}
