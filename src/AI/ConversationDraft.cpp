#include "AI/ConversationDraft.h"

#include "AI/ModelError.h"
#include "Models/ClipItem.h"
#include "Util/Localization.h"

#include <QFileInfo>

namespace {

constexpr qsizetype maximumTitleLength = 60;

QString firstLine(const QString& text)
{
    const QString line = text.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
    if (line.size() <= maximumTitleLength)
        return line;
    return line.left(maximumTitleLength).trimmed() + QChar(0x2026);
}

ConversationMaterial baseMaterial(const ClipItem& item)
{
    ConversationMaterial material;
    material.sourceClipID = item.id;
    material.source = item.sourceAppName.value_or(QString());
    material.sourceBundleID = item.sourceBundleID;
    return material;
}

std::optional<ConversationMaterial> textMaterial(const ClipItem& item)
{
    if (!item.text || item.text->trimmed().isEmpty())
        return std::nullopt;
    ConversationMaterial material = baseMaterial(item);
    material.title = item.customTitle && !item.customTitle->trimmed().isEmpty() ? item.customTitle->trimmed()
                                                                                : firstLine(*item.text);
    material.text = item.text;
    return material;
}

bool isImageClip(const ClipItem& item)
{
    if (item.type == ClipType::image)
        return true;
    return item.type == ClipType::file && !item.fileURLs.isEmpty() &&
           ConversationDraft::isImageFile(item.fileURLs.first());
}

ConversationMaterial imageMaterial(const ClipItem& item, const ConversationDraft::ImageReader& readImage)
{
    const std::optional<QByteArray> data = readImage(item);
    if (!data || data->isEmpty())
        throw ModelError(ModelError::Kind::unreadableImage);
    ConversationMaterial material = baseMaterial(item);
    if (item.customTitle && !item.customTitle->trimmed().isEmpty())
        material.title = item.customTitle->trimmed();
    else if (item.type == ClipType::file)
        material.title = QFileInfo(item.fileURLs.first().path()).fileName();
    else
        material.title = Localization::string(QStringLiteral("Image"));
    material.imageData = data;
    return material;
}

bool isTextClip(ClipType type)
{
    return type == ClipType::text || type == ClipType::richText || type == ClipType::link;
}

} // namespace

bool ConversationDraft::isImageFile(const QUrl& url)
{
    static const QStringList extensions{
        QStringLiteral("png"), QStringLiteral("jpg"),  QStringLiteral("jpeg"),
        QStringLiteral("gif"), QStringLiteral("webp"), QStringLiteral("bmp"),
        QStringLiteral("tif"), QStringLiteral("tiff"), QStringLiteral("heic")};
    return url.isLocalFile() && extensions.contains(QFileInfo(url.path()).suffix().toLower());
}

ConversationDraft ConversationDraft::capture(const QList<ClipItem>& items, const ImageReader& readImage)
{
    ConversationDraft draft;
    for (const ClipItem& item : items) {
        if (isImageClip(item)) {
            draft.materials.append(imageMaterial(item, readImage));
        } else if (isTextClip(item.type)) {
            if (std::optional<ConversationMaterial> material = textMaterial(item))
                draft.materials.append(*material);
        }
    }
    if (draft.materials.isEmpty())
        throw ModelError(ModelError::Kind::noMaterials);
    return draft;
}
