#pragma once

#include "Models/ClipType.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <optional>

// One clip. A plain value; `modifiedAt` is the time of the last change of any field and
// decides which of two versions of the same clip wins when stores are merged.
struct ClipItem {
    QUuid id = QUuid::createUuid();
    ClipType type = ClipType::text;
    std::optional<QString> text;
    std::optional<QByteArray> rtfData;
    std::optional<QByteArray> htmlData;
    // "<imageHash>.png" in the data directory's "images" folder.
    std::optional<QString> imageFileName;
    std::optional<QString> imageHash;
    std::optional<QString> ocrText;
    QList<QUrl> fileURLs;
    std::optional<QString> colorHex;
    std::optional<QString> sourceBundleID;
    std::optional<QString> sourceAppName;
    std::optional<QString> customTitle;
    QDateTime createdAt = QDateTime::currentDateTimeUtc();
    // Unset means the same as createdAt.
    std::optional<QDateTime> modifiedAt;

    bool operator==(const ClipItem& other) const;

    // Whether a newly captured clip repeats this one: same kind and, per kind, the same
    // text (text, link), the same text, RTF and HTML (rich text), the same image hash
    // (image), the same file URLs in order (file) or the same colour ignoring case (color).
    // A clip without the content of its kind (an image without hash) repeats no other.
    bool hasSameContent(const ClipItem& other) const;
    // What hasSameContent() compares, as one key for hashing: equal keys exactly when
    // hasSameContent() holds.
    QByteArray contentKey() const;

    QDateTime lastModified() const { return modifiedAt.value_or(createdAt); }

    // Keys are the field names; unset optionals and an empty URL list are left out.
    QJsonObject toJson() const;
    // None when a required field is missing or any field has the wrong type or format.
    static std::optional<ClipItem> fromJson(const QJsonObject& object);
};
