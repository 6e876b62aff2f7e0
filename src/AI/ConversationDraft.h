#pragma once

#include "AI/ConversationMaterial.h"

#include <QList>
#include <QUrl>
#include <functional>

struct ClipItem;

// What a conversation window opens with: the materials taken from the selected clips.
struct ConversationDraft {
    // The bytes of a clip's image (an image clip's stored file, or the image file a file
    // clip points to); none when it can't be read.
    using ImageReader = std::function<std::optional<QByteArray>(const ClipItem&)>;

    QUuid id = QUuid::createUuid();
    QList<ConversationMaterial> materials;

    // One material per usable clip, in order: text, rich-text and link clips with text
    // give text; image clips, and file clips whose first file is an image file, give image
    // data. Colour clips and other files are left out. Throws ModelError::unreadableImage when
    // an image can't be read and ModelError::noMaterials when nothing is usable.
    static ConversationDraft capture(const QList<ClipItem>& items, const ImageReader& readImage);

    // A file that the image decoders know by its extension.
    static bool isImageFile(const QUrl& url);
};
