#include "AI/ChatReply.h"

#include "AI/ChatAnswerParser.h"
#include "AI/ModelNetworkAccessManager.h"
#include "Platform/LogCategories.h"
#include "Util/Localization.h"

#include <QNetworkReply>
#include <algorithm>
#include <chrono>

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

// The transfer time-out of Qt restarts with every byte; the deadline does not.
std::chrono::milliseconds requestDeadline(const QNetworkRequest& request)
{
    const std::chrono::milliseconds own(request.transferTimeout());
    const std::chrono::milliseconds timeout =
        own.count() > 0 ? own : ModelNetworkAccessManager::requestTimeout;
    return std::min<std::chrono::milliseconds>(timeout, ModelNetworkAccessManager::resourceTimeout);
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
    // WORKAROUND: Qt's HTTP thread takes a read buffer size only once the request has started,
    // which Qt does on its next event-loop pass; set earlier, the thread reads the whole answer
    // as fast as it comes, however long. Queued after the start, it is in force before the
    // first byte.
    QMetaObject::invokeMethod(
        reply, [reply] { reply->setReadBufferSize(readBufferBytes); }, Qt::QueuedConnection);
    connect(reply, &QNetworkReply::readyRead, this, &ChatReply::onReadyRead);
    connect(reply, &QNetworkReply::metaDataChanged, this, &ChatReply::onMetaData);
    connect(reply, &QNetworkReply::finished, this, &ChatReply::onNetworkFinished);
    deadlineTimer_.setSingleShot(true);
    connect(&deadlineTimer_, &QTimer::timeout, this,
            [this] { abortWith(connectionFailure(QStringLiteral("request time-out"))); });
    deadlineTimer_.start(requestDeadline(reply->request()));
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
    qCDebug(logAI) << reply_->url() << "answered with status" << status.toInt() << "network error" << error
                   << "and" << body_.size() << "bytes";
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
    deadlineTimer_.stop();
    body_.clear();
    result_ = std::move(result);
    if (reply_)
        reply_->disconnect(this);
    emit finished(result_);
    deleteLater();
}
