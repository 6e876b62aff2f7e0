#pragma once

#include <QString>
#include <QUuid>

// One finished exchange of a conversation.
struct ChatTurn {
    QUuid id = QUuid::createUuid();
    QString question;
    QString answer;

    bool operator==(const ChatTurn&) const = default;
};
