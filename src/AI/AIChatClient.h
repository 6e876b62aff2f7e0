#pragma once

#include "AI/ChatReply.h"
#include "AI/ChatRequest.h"

#include <QPointer>

class QNetworkAccessManager;

// Sends chat-completions requests over one network access manager (normally a
// ModelNetworkAccessManager owned by the window or test that made the client). A light
// value; copies share the manager.
class AIChatClient {
public:
    static inline const QString testQuestion = QStringLiteral("Reply with OK.");

    explicit AIChatClient(QNetworkAccessManager* manager);

    // Starts one non-streaming POST. The returned reply belongs to the manager, finishes once
    // (see ChatReply) and deletes itself after finished(). A request that cannot be built
    // (invalid endpoint, unreadable image) finishes with its ModelError.
    ChatReply* send(const ChatRequest& request) const;

    // The request for the configuration with the given key, no materials, no history and
    // the question "Reply with OK."; only success matters.
    ChatReply* testConnection(const ModelConfiguration& configuration, const QString& key) const;

private:
    QPointer<QNetworkAccessManager> manager_;
};
