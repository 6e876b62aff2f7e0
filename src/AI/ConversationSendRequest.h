#pragma once

#include "AI/AISharingScope.h"
#include "AI/ChatTurn.h"
#include "AI/ModelConfiguration.h"

#include <QList>
#include <QUuid>

// The snapshot of one send, made by ConversationSession::prepareSend: what will be sent,
// to whom, and for which state of the conversation.
struct ConversationSendRequest {
    QUuid id = QUuid::createUuid();
    AISharingScope scope;
    QString model;
    qsizetype materialCount = 0;
    QUuid conversationID;
    quint64 generation = 0;
    ModelConfiguration configuration;
    QString key;
    QString question; // trimmed
    QList<ChatTurn> history;

    bool operator==(const ConversationSendRequest&) const = default;
};
