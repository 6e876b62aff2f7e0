#include "AI/ModelConfiguration.h"

#include "AI/ModelError.h"
#include "Platform/Defaults.h"

#include <QHostAddress>
#include <QJsonValue>
#include <QLocale>
#include <cmath>

namespace {

constexpr qint64 maxTokenLimit = 2'000'000;
constexpr qint64 minContextTokens = 256;
constexpr qint64 maxHistoryTurns = 1000;
constexpr int minTimeoutSeconds = 10;
constexpr int maxTimeoutSeconds = 900;
constexpr int maxStopSequences = 4;
constexpr int maxStopSequenceBytes = 1024;
constexpr int maxSystemPromptBytes = 32'000;
const QString chatCompletionsPath = QStringLiteral("/chat/completions");

QString grouped(qint64 number)
{
    return QLocale(QLocale::English).toString(number);
}

// `message` is the English text with two "%@" for the bounds.
void requireRange(const std::optional<qint64>& value, qint64 low, qint64 high, const QString& message)
{
    if (value && (*value < low || *value > high))
        throw ModelError::invalidParameters(message, {grouped(low), grouped(high)});
}

void requireRange(const std::optional<double>& value, double low, double high, const QString& message)
{
    if (value && !(*value >= low && *value <= high)) // NaN is out of range too
        throw ModelError::invalidParameters(message, {QString::number(low), QString::number(high)});
}

void validateThinkingBudget(const ModelConfiguration& c)
{
    if (c.thinking != ThinkingMode::enabled || !c.thinkingBudget)
        return;
    if (!ModelProviders::supportsThinkingBudget(c.provider))
        throw ModelError::invalidParameters(
            QStringLiteral("A thinking budget needs the Qwen or OpenRouter provider."));
    if (c.reasoningEffort != ReasoningEffort::serviceDefault)
        throw ModelError::invalidParameters(
            QStringLiteral("A thinking budget works only with the effort left at Service default."));
    if (c.provider == ModelProvider::openRouter && c.maxOutputTokens &&
        *c.thinkingBudget >= *c.maxOutputTokens)
        throw ModelError::invalidParameters(
            QStringLiteral("The thinking budget must be below the output limit."));
}

[[noreturn]] void throwInvalidAddress()
{
    throw ModelError::invalidConfiguration(
        QStringLiteral("Enter an API address that starts with https:// (http:// only for this computer)."));
}

// Decoding helpers: a missing key leaves the target unchanged; a wrong type fails.
bool readString(const QJsonObject& o, const char* key, QString& target)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return true;
    if (!v.isString())
        return false;
    target = v.toString();
    return true;
}

bool readBool(const QJsonObject& o, const char* key, bool& target)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return true;
    if (!v.isBool())
        return false;
    target = v.toBool();
    return true;
}

bool readInteger(const QJsonObject& o, const char* key, std::optional<qint64>& target)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull())
        return true;
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::trunc(d) != d)
        return false;
    target = v.toInteger(static_cast<qint64>(d));
    return true;
}

bool readDouble(const QJsonObject& o, const char* key, std::optional<double>& target)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull())
        return true;
    if (!v.isDouble())
        return false;
    target = v.toDouble();
    return true;
}

template <typename Enum>
bool readEnum(const QJsonObject& o, const char* key, Enum& target,
              std::optional<Enum> (*fromRaw)(const QString&))
{
    QString raw;
    const bool present = o.contains(QLatin1String(key));
    if (!readString(o, key, raw))
        return false;
    if (!present)
        return true;
    const std::optional<Enum> value = fromRaw(raw);
    if (!value)
        return false;
    target = *value;
    return true;
}

void writeOptional(QJsonObject& o, const char* key, const std::optional<qint64>& v)
{
    if (v)
        o.insert(QLatin1String(key), *v);
}

void writeOptional(QJsonObject& o, const char* key, const std::optional<double>& v)
{
    if (v)
        o.insert(QLatin1String(key), *v);
}

} // namespace

ModelConfiguration::ModelConfiguration(QString baseURL, QString model, bool supportsImages,
                                       ModelProvider provider)
    : baseURL(std::move(baseURL))
    , model(std::move(model))
    , supportsImages(supportsImages)
    , provider(provider)
{}

bool isLocalHost(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    if (address.protocol() == QAbstractSocket::IPv4Protocol)
        return (address.toIPv4Address() >> 24) == 127;
    return address == QHostAddress(QHostAddress::LocalHostIPv6);
}

ModelConfiguration ModelConfiguration::load(const Platform::Defaults& defaults)
{
    const QJsonValue stored = defaults.value(storageKey);
    if (!stored.isObject())
        return {};
    return fromJson(stored.toObject()).value_or(ModelConfiguration());
}

QUrl ModelConfiguration::endpoint() const
{
    if (model.trimmed().isEmpty())
        throw ModelError::invalidConfiguration(QStringLiteral("Enter a model name."));
    QUrl url(baseURL.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        throwInvalidAddress();
    const QString scheme = url.scheme().toLower();
    const bool allowedScheme =
        scheme == QLatin1String("https") || (scheme == QLatin1String("http") && isLocalHost(url.host()));
    if (!allowedScheme)
        throwInvalidAddress();
    if (!url.userName().isEmpty() || !url.password().isEmpty() || url.hasQuery() || url.hasFragment())
        throw ModelError::invalidConfiguration(
            QStringLiteral("Remove the user name, password, query or fragment from the API address."));

    QString path = url.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (!path.endsWith(chatCompletionsPath)) {
        // The documented bare hosts of these two services answer under /v1 only.
        if (path.isEmpty() && (provider == ModelProvider::openAI || provider == ModelProvider::ollama))
            path = QStringLiteral("/v1");
        path += chatCompletionsPath;
    }
    url.setScheme(scheme);
    url.setPath(path);
    return url;
}

void ModelConfiguration::validateGeneration() const
{
    requireRange(maxOutputTokens, 1, maxTokenLimit,
                 QStringLiteral("Output limit must be between %@ and %@."));
    requireRange(contextTokens, minContextTokens, maxTokenLimit,
                 QStringLiteral("Context budget must be between %@ and %@."));
    requireRange(historyTurns, 0, maxHistoryTurns,
                 QStringLiteral("Previous turns must be between %@ and %@."));
    requireRange(thinkingBudget, 1, maxTokenLimit,
                 QStringLiteral("Thinking budget must be between %@ and %@."));
    requireRange(temperature, 0.0, 2.0, QStringLiteral("Temperature must be between %@ and %@."));
    requireRange(topP, 0.0, 1.0, QStringLiteral("Top P must be between %@ and %@."));
    requireRange(presencePenalty, -2.0, 2.0, QStringLiteral("Presence penalty must be between %@ and %@."));
    requireRange(frequencyPenalty, -2.0, 2.0, QStringLiteral("Frequency penalty must be between %@ and %@."));
    requireRange(std::optional<qint64>(timeoutSeconds), minTimeoutSeconds, maxTimeoutSeconds,
                 QStringLiteral("Time-out in seconds must be between %@ and %@."));

    const QStringList stops = stopSequenceList();
    if (stops.size() > maxStopSequences)
        throw ModelError::invalidParameters(QStringLiteral("Use at most 4 stop sequences."));
    for (const QString& stop : stops) {
        if (stop.toUtf8().size() > maxStopSequenceBytes)
            throw ModelError::invalidParameters(
                QStringLiteral("Each stop sequence can be at most 1,024 bytes."));
    }
    if (systemPrompt.toUtf8().size() > maxSystemPromptBytes)
        throw ModelError::invalidParameters(
            QStringLiteral("Response instructions can be at most 32,000 bytes."));
    validateThinkingBudget(*this);

    if (maxOutputTokens && contextTokens && *maxOutputTokens >= *contextTokens)
        throw ModelError(ModelError::Kind::contextExceeded);
}

QStringList ModelConfiguration::stopSequenceList() const
{
    QStringList result;
    for (QString line : stopSequences.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.isEmpty())
            result.append(line);
    }
    return result;
}

QJsonObject ModelConfiguration::toJson() const
{
    QJsonObject o{
        {QStringLiteral("baseURL"), baseURL},
        {QStringLiteral("model"), model},
        {QStringLiteral("supportsImages"), supportsImages},
        {QStringLiteral("provider"), ModelProviders::rawValue(provider)},
        {QStringLiteral("thinking"), ThinkingModes::rawValue(thinking)},
        {QStringLiteral("reasoningEffort"), ReasoningEfforts::rawValue(reasoningEffort)},
        {QStringLiteral("stopSequences"), stopSequences},
        {QStringLiteral("systemPrompt"), systemPrompt},
        {QStringLiteral("timeoutSeconds"), timeoutSeconds},
    };
    writeOptional(o, "thinkingBudget", thinkingBudget);
    writeOptional(o, "maxOutputTokens", maxOutputTokens);
    writeOptional(o, "contextTokens", contextTokens);
    writeOptional(o, "historyTurns", historyTurns);
    writeOptional(o, "seed", seed);
    writeOptional(o, "temperature", temperature);
    writeOptional(o, "topP", topP);
    writeOptional(o, "presencePenalty", presencePenalty);
    writeOptional(o, "frequencyPenalty", frequencyPenalty);
    return o;
}

std::optional<ModelConfiguration> ModelConfiguration::fromJson(const QJsonObject& o)
{
    ModelConfiguration c;
    std::optional<qint64> timeout;
    const bool ok =
        readString(o, "baseURL", c.baseURL) && readString(o, "model", c.model) &&
        readBool(o, "supportsImages", c.supportsImages) &&
        readEnum(o, "provider", c.provider, &ModelProviders::fromRawValue) &&
        readEnum(o, "thinking", c.thinking, &ThinkingModes::fromRawValue) &&
        readEnum(o, "reasoningEffort", c.reasoningEffort, &ReasoningEfforts::fromRawValue) &&
        readInteger(o, "thinkingBudget", c.thinkingBudget) &&
        readInteger(o, "maxOutputTokens", c.maxOutputTokens) &&
        readInteger(o, "contextTokens", c.contextTokens) && readInteger(o, "historyTurns", c.historyTurns) &&
        readInteger(o, "seed", c.seed) && readDouble(o, "temperature", c.temperature) &&
        readDouble(o, "topP", c.topP) && readDouble(o, "presencePenalty", c.presencePenalty) &&
        readDouble(o, "frequencyPenalty", c.frequencyPenalty) &&
        readString(o, "stopSequences", c.stopSequences) && readString(o, "systemPrompt", c.systemPrompt) &&
        readInteger(o, "timeoutSeconds", timeout);
    if (!ok)
        return std::nullopt;
    if (timeout) {
        if (*timeout < std::numeric_limits<int>::min() || *timeout > std::numeric_limits<int>::max())
            return std::nullopt;
        c.timeoutSeconds = static_cast<int>(*timeout);
    }
    return c;
}
