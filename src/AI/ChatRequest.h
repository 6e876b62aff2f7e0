#pragma once

#include "AI/ChatTurn.h"
#include "AI/ConversationMaterial.h"
#include "AI/ModelConfiguration.h"

#include <QJsonObject>
#include <QList>
#include <QNetworkRequest>

// One non-streaming chat-completions request: the system prompt, the earlier turns that fit,
// the materials and the question, with the configuration's generation values.
struct ChatRequest {
    ModelConfiguration configuration;
    QString key;
    QList<ConversationMaterial> materials;
    QList<ChatTurn> history;
    QString question;

    // Rough cost of what an image adds to a prompt, for the context budget.
    static constexpr qint64 imageTokenEstimate = 1000;

    // The earlier turns to send: at most historyTurns of the latest, and then, oldest first,
    // fewer while the estimated request with the output limit exceeds the context budget.
    QList<ChatTurn> historyToSend() const;

    // The JSON body. Throws ModelError::unreadableImage for image data that is no image.
    QJsonObject body() const;

    // The POST to the endpoint with JSON headers, a bearer key when the trimmed key is not
    // empty, the configuration's time-out, and no cookies, cache or redirects.
    // Throws ModelError::invalidConfiguration.
    QNetworkRequest networkRequest() const;

    // A rough token count: a quarter token per ASCII character, one per other character.
    static qint64 estimatedTokens(const QString& text);
};
