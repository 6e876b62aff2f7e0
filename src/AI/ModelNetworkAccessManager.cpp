#include "AI/ModelNetworkAccessManager.h"

#include "AI/NoModelRedirects.h"

#include <QNetworkCookie>
#include <QNetworkCookieJar>

namespace {

// Accepts no cookie and offers none.
class NoCookieJar final : public QNetworkCookieJar {
public:
    using QNetworkCookieJar::QNetworkCookieJar;
    QList<QNetworkCookie> cookiesForUrl(const QUrl&) const override { return {}; }
    bool setCookiesFromUrl(const QList<QNetworkCookie>&, const QUrl&) override { return false; }
};

} // namespace

ModelNetworkAccessManager::ModelNetworkAccessManager(QObject* parent)
    : QNetworkAccessManager(parent)
{
    setCookieJar(new NoCookieJar(this));
    setCache(nullptr);
    setStrictTransportSecurityEnabled(false);
    setTransferTimeout(static_cast<int>(std::chrono::milliseconds(requestTimeout).count()));
    NoModelRedirects::apply(*this);
}
