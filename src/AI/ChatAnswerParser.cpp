#include "AI/ChatAnswerParser.h"

#include "AI/ModelError.h"
#include "AI/NoModelRedirects.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

struct ServiceError {
    QString message;
    QString code; // a text code, or the number of a numeric one
    QString type;
    QString metadataType;
    int numericCode = 0;
};

QString codeText(const QJsonValue& v)
{
    if (v.isString())
        return v.toString();
    if (v.isDouble())
        return QString::number(v.toInteger());
    return {};
}

ServiceError serviceError(const QJsonObject& root)
{
    ServiceError e;
    const QJsonValue error = root.value(QLatin1String("error"));
    const QJsonObject object = error.isObject() ? error.toObject() : root;
    e.message = error.isString() ? error.toString() : object.value(QLatin1String("message")).toString();
    e.code = codeText(object.value(QLatin1String("code")));
    e.numericCode = object.value(QLatin1String("code")).toInt();
    e.type = object.value(QLatin1String("type")).toString();
    e.metadataType =
        object.value(QLatin1String("metadata")).toObject().value(QLatin1String("error_type")).toString();
    if (e.metadataType.isEmpty())
        e.metadataType = object.value(QLatin1String("error_type")).toString();
    e.message = e.message.simplified().left(ChatAnswerParser::maximumServiceMessageLength);
    return e;
}

bool isContextTooLong(int status, const ServiceError& e)
{
    static const QLatin1String exceeded("context_length_exceeded");
    if (status == 413 || e.code == exceeded || e.type == exceeded || e.metadataType == exceeded)
        return true;
    const QString text = e.message.toLower();
    return text.contains(QLatin1String("maximum context length")) ||
           text.contains(QLatin1String("context length")) ||
           text.contains(QLatin1String("range of input length")) ||
           text.contains(QLatin1String("context window"));
}

// An error inside a 200 answer is classified by its numeric code when it has one.
[[noreturn]] void throwServiceError(const ServiceError& e, int httpStatus)
{
    const int status = httpStatus < 300 && e.numericCode >= 400 ? e.numericCode : httpStatus;
    static const QLatin1String quota("insufficient_quota");
    if (status == 401 || status == 403)
        throw ModelError(ModelError::Kind::unauthorized);
    if (status == 402 || e.code == quota || e.type == quota)
        throw ModelError(ModelError::Kind::quotaExceeded);
    if (status == 429)
        throw ModelError(ModelError::Kind::rateLimited);
    if (isContextTooLong(status, e))
        throw ModelError(ModelError::Kind::contextTooLong);
    throw ModelError::serviceError(status, e.message);
}

// Text content, or the text of the text parts of a content array.
QString contentText(const QJsonValue& content)
{
    if (content.isString())
        return content.toString();
    if (content.isNull() || content.isUndefined())
        return {};
    if (!content.isArray())
        throw ModelError(ModelError::Kind::malformedAnswer);
    QString text;
    for (const QJsonValue& part : content.toArray()) {
        const QJsonValue partText = part.toObject().value(QLatin1String("text"));
        const QString type = part.toObject().value(QLatin1String("type")).toString();
        if (partText.isString() && (type.isEmpty() || type == QLatin1String("text")))
            text += partText.toString();
    }
    return text;
}

// Some servers put the reasoning inline before the answer.
QString withoutInlineReasoning(const QString& text)
{
    static const QLatin1String open("<think>");
    static const QLatin1String close("</think>");
    const QString trimmed = text.trimmed();
    if (!trimmed.startsWith(open))
        return trimmed;
    const qsizetype end = trimmed.indexOf(close);
    return end < 0 ? QString() : trimmed.mid(end + close.size()).trimmed();
}

} // namespace

QString ChatAnswerParser::answer(int httpStatus, const QByteArray& body)
{
    if (NoModelRedirects::isRedirect(httpStatus))
        throw ModelError(ModelError::Kind::redirected);
    const QJsonDocument document = QJsonDocument::fromJson(body);
    const QJsonObject root = document.object();
    if (httpStatus < 200 || httpStatus >= 300)
        throwServiceError(serviceError(root), httpStatus);
    if (!document.isObject())
        throw ModelError(ModelError::Kind::malformedAnswer);
    const QJsonValue error = root.value(QLatin1String("error"));
    if (!error.isUndefined() && !error.isNull())
        throwServiceError(serviceError(root), httpStatus);

    const QJsonValue choices = root.value(QLatin1String("choices"));
    if (!choices.isArray())
        throw ModelError(ModelError::Kind::malformedAnswer);
    if (choices.toArray().isEmpty())
        throw ModelError(ModelError::Kind::emptyAnswer);
    const QJsonValue choice = choices.toArray().first();
    if (!choice.isObject())
        throw ModelError(ModelError::Kind::malformedAnswer);
    if (choice.toObject().value(QLatin1String("error")).isObject())
        throwServiceError(serviceError(choice.toObject()), httpStatus);
    const QJsonValue message = choice.toObject().value(QLatin1String("message"));
    if (!message.isObject())
        throw ModelError(ModelError::Kind::malformedAnswer);

    const QString text =
        withoutInlineReasoning(contentText(message.toObject().value(QLatin1String("content"))));
    if (!text.isEmpty())
        return text;
    const QString refusal = message.toObject().value(QLatin1String("refusal")).toString().trimmed();
    if (!refusal.isEmpty())
        return refusal;
    throw ModelError(ModelError::Kind::emptyAnswer);
}
