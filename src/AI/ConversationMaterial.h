#pragma once

#include <QByteArray>
#include <QString>
#include <QUuid>
#include <optional>

// One clip taken into a conversation: its text, or the bytes of its image.
struct ConversationMaterial {
    QUuid id = QUuid::createUuid();
    QUuid sourceClipID;
    QString title;
    QString source; // the source application's name
    std::optional<QString> sourceBundleID;
    std::optional<QString> text;
    std::optional<QByteArray> imageData;

    bool operator==(const ConversationMaterial&) const = default;
};
