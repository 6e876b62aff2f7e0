#pragma once

#include <QNetworkAccessManager>
#include <chrono>

// The network access of model requests, one per conversation window or connection test:
// no cookies are sent or kept, no cache, nothing persisted, redirects refused
// (NoModelRedirects), and a request time-out of 60 s for requests that set none of their
// own. A ChatReply ends its request at that time-out, counted from sending, and never later
// than the resource time-out of 900 s.
class ModelNetworkAccessManager final : public QNetworkAccessManager {
    Q_OBJECT
public:
    static constexpr std::chrono::seconds requestTimeout{60};
    static constexpr std::chrono::seconds resourceTimeout{900};

    explicit ModelNetworkAccessManager(QObject* parent = nullptr);
};
