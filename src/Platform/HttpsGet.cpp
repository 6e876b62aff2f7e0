#include "Platform/HttpsGet.h"

#include <QEventLoop>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>

namespace Platform {

bool HttpsGet::isHttps(const QUrl& url)
{
    return url.isValid() && url.scheme() == QLatin1String("https") && !url.host().isEmpty();
}

HttpsGet::HttpsGet(QNetworkAccessManager& network, const QUrl& url, Limits limits,
                   const QSslConfiguration& tls, QIODevice* sink, QObject* parent)
    : QObject(parent)
    , sink_(sink)
    , limits_(limits)
{
    silence_.setSingleShot(true);
    silence_.setInterval(limits_.silenceMs);
    connect(&silence_, &QTimer::timeout, this, [this] { fail(Failure::timedOut); });
    if (!isHttps(url)) {
        // Reported from the event loop, like every other outcome.
        QMetaObject::invokeMethod(
            this, [this] { fail(Failure::insecureAddress); }, Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(url);
    request.setSslConfiguration(tls);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    reply_ = network.get(request);
    connect(reply_, &QNetworkReply::redirected, this, [this](const QUrl& target) {
        if (isHttps(target))
            emit reply_->redirectAllowed();
        else
            fail(Failure::insecureAddress);
    });
    connect(reply_, &QNetworkReply::metaDataChanged, this, [this] {
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > limits_.maxBytes)
            fail(Failure::tooLarge);
    });
    connect(reply_, &QNetworkReply::readyRead, this, &HttpsGet::read);
    connect(reply_, &QNetworkReply::finished, this, &HttpsGet::finish);
    silence_.start();
}

HttpsGet::~HttpsGet()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
}

void HttpsGet::cancel()
{
    fail(Failure::cancelled);
}

void HttpsGet::read()
{
    if (finished_)
        return;
    silence_.start();
    const QByteArray chunk = reply_->readAll();
    received_ += chunk.size();
    if (received_ > limits_.maxBytes) {
        fail(Failure::tooLarge);
        return;
    }
    if (sink_) {
        if (sink_->write(chunk) != chunk.size()) {
            fail(Failure::network);
            return;
        }
    } else {
        body_ += chunk;
    }
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    emit progress(received_, length.isValid() ? length.toLongLong() : -1);
}

void HttpsGet::fail(Failure failure)
{
    if (finished_)
        return;
    finished_ = true;
    failure_ = failure;
    silence_.stop();
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
    emit finished();
}

void HttpsGet::finish()
{
    if (finished_)
        return;
    read();
    if (finished_)
        return;
    httpStatus_ = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply_->error() != QNetworkReply::NoError && httpStatus_ == 0) {
        fail(Failure::network);
        return;
    }
    if (httpStatus_ != 200) {
        fail(Failure::httpStatus);
        return;
    }
    finished_ = true;
    silence_.stop();
    reply_->deleteLater();
    emit finished();
}

QSslConfiguration HttpsGet::systemTls()
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    const QString extra = qEnvironmentVariable("SSL_CERT_FILE");
    if (!extra.isEmpty())
        tls.addCaCertificates(QSslCertificate::fromPath(extra));
    return tls;
}

QByteArray HttpsGet::fetch(const QUrl& url, Limits limits, const QSslConfiguration& tls)
{
    QNetworkAccessManager network;
    QEventLoop loop;
    HttpsGet get(network, url, limits, tls);
    connect(&get, &HttpsGet::finished, &loop, &QEventLoop::quit);
    loop.exec();
    if (get.failure())
        throw Error(*get.failure());
    return get.body();
}

} // namespace Platform
