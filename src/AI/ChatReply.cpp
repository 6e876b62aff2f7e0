#include "AI/ChatReply.h"

#include "AI/ChatAnswerParser.h"
#include "AI/ModelNetworkAccessManager.h"
#include "Util/Localization.h"

#include <QNetworkReply>

namespace {

// Qt's codes below 200 are failures of the connection itself (refused, closed, time-out,
// TLS, proxy); higher ones describe an HTTP answer that did arrive.
constexpr int lastTransportErrorCode = 199;

ChatResult answerResult(int httpStatus, const QByteArray& body)
{
    ChatResult result;
    try {
        result.answer = ChatAnswerParser::answer(httpStatus, body);
        result.status = ChatResult::Status::answered;
    } catch (const ModelError& error) {
        result.status = ChatResult::Status::failed;
        result.error = error;
    }
    return result;
}

ChatResult failure(const ModelError& error)
{
    ChatResult result;
    result.status = ChatResult::Status::failed;
    result.error = error;
    return result;
}

ChatResult connectionFailure(const QString& why)
{
    ChatResult result;
    result.status = ChatResult::Status::connectionFailed;
    result.transportError = why;
    return result;
}

} // namespace

QString ChatResult::connectionFailedMessage()
{
    return Localization::string(
        QStringLiteral("Connection failed. Check the service address and network, then retry."));
}

ChatReply::ChatReply(QNetworkReply* reply, QObject* parent)
    : QObject(parent)
    , reply_(reply)
{
    reply->setParent(this);
    connect(reply, &QNetworkReply::readyRead, this, &ChatReply::onReadyRead);
    connect(reply, &QNetworkReply::metaDataChanged, this, &ChatReply::onMetaData);
    connect(reply, &QNetworkReply::finished, this, &ChatReply::onNetworkFinished);
    resourceTimer_.setSingleShot(true);
    connect(&resourceTimer_, &QTimer::timeout, this,
            [this] { abortWith(connectionFailure(QStringLiteral("resource time-out"))); });
    resourceTimer_.start(ModelNetworkAccessManager::resourceTimeout);
}

ChatReply::ChatReply(const ModelError& error, QObject* parent)
    : QObject(parent)
{
    QMetaObject::invokeMethod(
        this, [this, error] { deliver(failure(error)); }, Qt::QueuedConnection);
}

void ChatReply::cancel()
{
    ChatResult cancelled;
    cancelled.status = ChatResult::Status::cancelled;
    abortWith(cancelled);
}

void ChatReply::onMetaData()
{
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > maximumAnswerBytes)
        abortWith(failure(ModelError(ModelError::Kind::answerTooLarge)));
}

void ChatReply::onReadyRead()
{
    body_ += reply_->readAll();
    if (body_.size() > maximumAnswerBytes)
        abortWith(failure(ModelError(ModelError::Kind::answerTooLarge)));
}

void ChatReply::onNetworkFinished()
{
    if (finished_ || !reply_)
        return;
    if (abortResult_) {
        deliver(*abortResult_);
        return;
    }
    body_ += reply_->readAll();
    const int error = reply_->error();
    const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (body_.size() > maximumAnswerBytes)
        deliver(failure(ModelError(ModelError::Kind::answerTooLarge)));
    else if ((error > 0 && error <= lastTransportErrorCode) || !status.isValid())
        deliver(connectionFailure(reply_->errorString()));
    else
        deliver(answerResult(status.toInt(), body_));
}

void ChatReply::abortWith(ChatResult result)
{
    if (finished_ || abortResult_)
        return;
    abortResult_ = std::move(result);
    if (reply_)
        reply_->abort(); // finishes the network reply, which delivers abortResult_
    if (!finished_)
        deliver(*abortResult_);
}

void ChatReply::deliver(ChatResult result)
{
    if (finished_)
        return;
    finished_ = true;
    resourceTimer_.stop();
    body_.clear();
    result_ = std::move(result);
    if (reply_)
        reply_->disconnect(this);
    emit finished(result_);
    deleteLater();
}
