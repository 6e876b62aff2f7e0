#include "Store/HistoryEdits.h"

#include <algorithm>
#include <functional>

namespace HistoryEdits {

void applySizeLimits(ClipItem& item)
{
    if (item.text && item.text->size() > maxTextLength)
        item.text->truncate(maxTextLength);
    if (item.rtfData && item.rtfData->size() > maxRichTextBytes)
        item.rtfData.reset();
    if (item.htmlData && item.htmlData->size() > maxRichTextBytes)
        item.htmlData.reset();
    if (item.type == ClipType::richText && !item.rtfData && !item.htmlData)
        item.type = ClipType::text;
}

bool insertCaptured(QList<ClipItem>& history, const ClipItem& item)
{
    const auto same = std::find_if(history.begin(), history.end(),
                                   [&](const ClipItem& clip) { return clip.hasSameContent(item); });
    if (same == history.end()) {
        history.prepend(item);
        return item.type == ClipType::image;
    }
    ClipItem moved = *same;
    history.erase(same);
    moved.createdAt = item.createdAt;
    moved.modifiedAt = item.createdAt;
    history.prepend(moved);
    return false;
}

QList<ClipItem> takeAt(QList<ClipItem>& clips, QList<qsizetype> indexes)
{
    std::sort(indexes.begin(), indexes.end(), std::greater<>());
    QList<ClipItem> taken;
    for (qsizetype index : indexes)
        taken.prepend(clips.takeAt(index));
    return taken;
}

qsizetype indexOf(const QList<ClipItem>& clips, const QUuid& id)
{
    for (qsizetype i = 0; i < clips.size(); ++i) {
        if (clips[i].id == id)
            return i;
    }
    return -1;
}

QSet<QString> imageNames(const QList<ClipItem>& clips)
{
    QSet<QString> names;
    for (const ClipItem& clip : clips) {
        if (clip.imageFileName)
            names.insert(*clip.imageFileName);
    }
    return names;
}

} // namespace HistoryEdits
