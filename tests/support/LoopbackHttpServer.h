#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QUrl>
#include <memory>

class QTcpSocket;

// A small HTTP/1.1 (or, given a TLS configuration, HTTPS) server on 127.0.0.1 for tests: it
// records every request and answers with the response set for its path, else scripted
// responses in order (then the fallback response), one request per connection. Responses can
// be delayed, dripped in small chunks (optionally HTTP-chunked), withheld, redirected or huge.
class LoopbackHttpServer final : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QList<QPair<QByteArray, QByteArray>> headers; // names in lower case
        QByteArray body;

        bool hasHeader(const QByteArray& name) const;
        QByteArray header(const QByteArray& name) const;
    };

    struct Response {
        int status = 200;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        int delayMs = 0;             // before the status line
        int chunkSize = 0;           // > 0: the body is written in chunks of this size...
        int chunkIntervalMs = 0;     // ...this far apart
        bool withholdAnswer = false; // read the request, never answer
        bool sendContentLength = true;
        bool chunkedEncoding = false; // Transfer-Encoding: chunked, one HTTP chunk per write

        static Response json(int status, const QByteArray& body);
        static Response redirect(int status, const QByteArray& location);
    };

    explicit LoopbackHttpServer(QObject* parent = nullptr);
    // Serves HTTPS with the configuration's certificate and key.
    explicit LoopbackHttpServer(const QSslConfiguration& tls, QObject* parent = nullptr);

    bool isListening() const { return server_->isListening(); }
    QUrl url(const QString& path = QStringLiteral("/")) const;

    void enqueue(const Response& response) { queue_.append(response); }
    void setFallback(const Response& response) { fallback_ = response; }
    void setResponse(const QByteArray& path, const Response& response) { byPath_.insert(path, response); }

    const QList<Request>& requests() const { return requests_; }
    // Bytes of every response that reached the client's side of the connection.
    qint64 bytesSent() const { return bytesSent_; }
    // Runs the event loop until `count` requests arrived or the time is up.
    bool waitForRequests(int count, int timeoutMs = 5000);

signals:
    void requestReceived();

private:
    void accept();
    void readFrom(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Response& response);
    void drip(QTcpSocket* socket, QByteArray rest, const Response& response);

    std::unique_ptr<QTcpServer> server_;
    QList<Response> queue_;
    QHash<QByteArray, Response> byPath_;
    Response fallback_ = Response::json(404, R"({"error":{"message":"no scripted response"}})");
    QList<Request> requests_;
    qint64 bytesSent_ = 0;
};
