#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>
#include <optional>
#include <stdexcept>

class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;

namespace Platform {

// One GET of outside data over HTTPS: only https addresses and redirects to https are
// followed, the body is cut off beyond `maxBytes`, and a server that stays silent for
// `silenceMs` is given up on. The body goes to `sink` when one is given, else it is kept.
class HttpsGet final : public QObject {
    Q_OBJECT
public:
    enum class Failure {
        insecureAddress, // the address or a redirect is not https
        tooLarge,
        timedOut,
        httpStatus, // the server answered with a status other than 200
        network,    // no connection, a refused certificate, a broken transfer, a full sink
        cancelled,
    };

    struct Limits {
        qint64 maxBytes = 0;
        int silenceMs = 0;
    };

    // Whether an address is one this reader goes to: https, with a host.
    static bool isHttps(const QUrl& url);

    // Starts at once; `finished` follows exactly once, also for an address refused at once.
    HttpsGet(QNetworkAccessManager& network, const QUrl& url, Limits limits, const QSslConfiguration& tls,
             QIODevice* sink = nullptr, QObject* parent = nullptr);
    ~HttpsGet() override;

    // None after a success.
    std::optional<Failure> failure() const { return failure_; }
    int httpStatus() const { return httpStatus_; }
    const QByteArray& body() const { return body_; }
    qint64 received() const { return received_; }

    // Ends the transfer with `cancelled`.
    void cancel();

    // The system's trust settings, plus the certificates of $SSL_CERT_FILE when it names a
    // readable file, as OpenSSL's own tools honour it.
    static QSslConfiguration systemTls();

    // Why fetch() failed.
    class Error final : public std::runtime_error {
    public:
        explicit Error(Failure failure)
            : std::runtime_error("https get failed")
            , failure(failure)
        {}
        Failure failure;
    };

    // Runs a whole GET on the calling thread, which may be a worker, with its own network
    // access; returns the body or throws Error.
    static QByteArray fetch(const QUrl& url, Limits limits, const QSslConfiguration& tls);

signals:
    void progress(qint64 received, qint64 announced);
    void finished();

private:
    void read();
    void fail(Failure failure);
    void finish();

    QPointer<QNetworkReply> reply_;
    QIODevice* sink_;
    Limits limits_;
    QTimer silence_;
    std::optional<Failure> failure_;
    int httpStatus_ = 0;
    QByteArray body_;
    qint64 received_ = 0;
    bool finished_ = false;
};

} // namespace Platform
