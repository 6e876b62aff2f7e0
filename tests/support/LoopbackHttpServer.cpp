#include "support/LoopbackHttpServer.h"

#include <QPointer>
#include <QSslServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

namespace {

const char* const bufferProperty = "loopbackBuffer";

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 307:
        return "Temporary Redirect";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

// A complete request at the start of the buffer, or none yet.
std::optional<LoopbackHttpServer::Request> parse(const QByteArray& buffer)
{
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return std::nullopt;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    LoopbackHttpServer::Request request;
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    request.method = requestLine.value(0);
    request.path = requestLine.value(1);
    qsizetype length = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = lines[i].left(colon).trimmed().toLower();
        const QByteArray value = lines[i].mid(colon + 1).trimmed();
        request.headers.append(qMakePair(name, value));
        if (name == "content-length")
            length = value.toLongLong();
    }
    if (buffer.size() < headerEnd + 4 + length)
        return std::nullopt;
    request.body = buffer.mid(headerEnd + 4, length);
    return request;
}

QByteArray httpChunk(const QByteArray& bytes)
{
    return QByteArray::number(bytes.size(), 16) + "\r\n" + bytes + "\r\n";
}

} // namespace

bool LoopbackHttpServer::Request::hasHeader(const QByteArray& name) const
{
    return std::any_of(headers.cbegin(), headers.cend(),
                       [&name](const auto& h) { return h.first == name.toLower(); });
}

QByteArray LoopbackHttpServer::Request::header(const QByteArray& name) const
{
    for (const auto& h : headers) {
        if (h.first == name.toLower())
            return h.second;
    }
    return {};
}

LoopbackHttpServer::Response LoopbackHttpServer::Response::json(int status, const QByteArray& body)
{
    Response response;
    response.status = status;
    response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/json")));
    response.body = body;
    return response;
}

LoopbackHttpServer::Response LoopbackHttpServer::Response::redirect(int status, const QByteArray& location)
{
    Response response;
    response.status = status;
    response.headers.append(qMakePair(QByteArray("Location"), location));
    return response;
}

LoopbackHttpServer::LoopbackHttpServer(QObject* parent)
    : QObject(parent)
    , server_(std::make_unique<QTcpServer>())
{
    connect(server_.get(), &QTcpServer::newConnection, this, &LoopbackHttpServer::accept);
    server_->listen(QHostAddress::LocalHost, 0);
}

LoopbackHttpServer::LoopbackHttpServer(const QSslConfiguration& tls, QObject* parent)
    : QObject(parent)
{
    auto server = std::make_unique<QSslServer>();
    server->setSslConfiguration(tls);
    // An encrypted connection is pending only once its handshake is done.
    connect(server.get(), &QTcpServer::pendingConnectionAvailable, this, &LoopbackHttpServer::accept);
    server_ = std::move(server);
    server_->listen(QHostAddress::LocalHost, 0);
}

QUrl LoopbackHttpServer::url(const QString& path) const
{
    const bool secure = qobject_cast<QSslServer*>(server_.get()) != nullptr;
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                    .arg(secure ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(server_->serverPort())
                    .arg(path));
}

bool LoopbackHttpServer::waitForRequests(int count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return requests_.size() >= count; }, timeoutMs);
}

void LoopbackHttpServer::accept()
{
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // A request that came with the end of a TLS handshake is already waiting.
        if (socket->bytesAvailable() > 0) {
            QPointer<QTcpSocket> guarded(socket);
            QMetaObject::invokeMethod(
                this,
                [this, guarded] {
                    if (guarded)
                        readFrom(guarded);
                },
                Qt::QueuedConnection);
        }
    }
}

void LoopbackHttpServer::readFrom(QTcpSocket* socket)
{
    QByteArray buffer = socket->property(bufferProperty).toByteArray() + socket->readAll();
    const std::optional<Request> request = parse(buffer);
    if (!request) {
        socket->setProperty(bufferProperty, buffer);
        return;
    }
    socket->setProperty(bufferProperty, QByteArray());
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    requests_.append(*request);
    const Response response = byPath_.contains(request->path) ? byPath_.value(request->path)
                              : queue_.isEmpty()              ? fallback_
                                                              : queue_.takeFirst();
    emit requestReceived();
    if (response.withholdAnswer)
        return;
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(response.delayMs, this, [this, guarded, response] {
        if (guarded)
            answer(guarded, response);
    });
}

void LoopbackHttpServer::answer(QTcpSocket* socket, const Response& response)
{
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status) + "\r\n";
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    if (response.chunkedEncoding)
        head += "Transfer-Encoding: chunked\r\n";
    else if (response.sendContentLength)
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    connect(socket, &QTcpSocket::bytesWritten, this, [this](qint64 bytes) { bytesSent_ += bytes; });
    socket->write(head);
    if (response.chunkSize <= 0) {
        socket->write(response.chunkedEncoding ? httpChunk(response.body) + httpChunk({}) : response.body);
        socket->disconnectFromHost();
        return;
    }
    drip(socket, response.body, response);
}

void LoopbackHttpServer::drip(QTcpSocket* socket, QByteArray rest, const Response& response)
{
    const QByteArray part = rest.left(response.chunkSize);
    rest.remove(0, response.chunkSize);
    socket->write(response.chunkedEncoding ? httpChunk(part) : part);
    if (rest.isEmpty() && response.chunkedEncoding)
        socket->write(httpChunk({}));
    socket->flush();
    if (rest.isEmpty()) {
        socket->disconnectFromHost();
        return;
    }
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(response.chunkIntervalMs, this, [this, guarded, rest, response] {
        if (guarded && guarded->state() == QAbstractSocket::ConnectedState)
            drip(guarded, rest, response);
    });
}
