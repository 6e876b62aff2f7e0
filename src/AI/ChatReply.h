#pragma once

#include "AI/ModelError.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <optional>

class QNetworkReply;

// How a chat request ended.
struct ChatResult {
    enum class Status {
        answered,         // answer holds the model's answer
        failed,           // error holds the ModelError
        connectionFailed, // no answer from the service (network, time-out); transportError says why
        cancelled,        // ChatReply::cancel() ended it
    };

    Status status = Status::cancelled;
    QString answer;
    std::optional<ModelError> error;
    QString transportError; // diagnostics only, not for display

    static QString connectionFailedMessage();
};
Q_DECLARE_METATYPE(ChatResult)

// One chat request in flight: the C++ shape of an awaited, cancellable request. It emits
// finished() exactly once, on the thread it lives on (the main thread), and then deletes
// itself later; connect with a context object so that an answer for a closed window is
// dropped. The answer body is read as it arrives, a bounded buffer at a time, and the
// transfer is aborted as soon as it passes maximumAnswerBytes, whatever its encoding. The
// request's transfer time-out (the configuration's timeoutSeconds) bounds the whole request,
// from sending to the last byte, and never more than the resource time-out.
class ChatReply final : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 maximumAnswerBytes = 8 * 1024 * 1024;
    // The network layer stops reading from the connection while this much waits unread.
    static constexpr qint64 readBufferBytes = 256 * 1024;

    // Takes ownership of the network reply.
    ChatReply(QNetworkReply* reply, QObject* parent);
    // A request that could not be built: finishes with the error on the next event loop pass.
    ChatReply(const ModelError& error, QObject* parent);

    bool isFinished() const { return finished_; }
    // Valid once isFinished().
    const ChatResult& result() const { return result_; }

    // Ends the request at once with `cancelled`, unless it has finished already.
    void cancel();

signals:
    void finished(const ChatResult& result);

private:
    void onReadyRead();
    void onMetaData();
    void onNetworkFinished();
    void abortWith(ChatResult result);
    void deliver(ChatResult result);

    QPointer<QNetworkReply> reply_;
    QByteArray body_;
    QTimer deadlineTimer_;
    std::optional<ChatResult> abortResult_;
    ChatResult result_;
    bool finished_ = false;
};
