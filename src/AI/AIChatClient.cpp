#include "AI/AIChatClient.h"

#include "Platform/LogCategories.h"

#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>

AIChatClient::AIChatClient(QNetworkAccessManager* manager)
    : manager_(manager)
{}

ChatReply* AIChatClient::send(const ChatRequest& request) const
{
    Q_ASSERT(manager_);
    QNetworkRequest networkRequest;
    QByteArray body;
    try {
        networkRequest = request.networkRequest();
        body = QJsonDocument(request.body()).toJson(QJsonDocument::Compact);
    } catch (const ModelError& error) {
        qCDebug(logAI) << "the request was not sent:" << error.errorDescription();
        return new ChatReply(error, manager_);
    }
    qCDebug(logAI) << "asking" << networkRequest.url() << "with" << body.size() << "bytes";
    return new ChatReply(manager_->post(networkRequest, body), manager_);
}

ChatReply* AIChatClient::testConnection(const ModelConfiguration& configuration, const QString& key) const
{
    return send(ChatRequest{configuration, key, {}, {}, testQuestion});
}
