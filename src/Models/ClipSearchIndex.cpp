#include "UI/Bar/ClipSearchIndex.h"

#include <QSet>

namespace {

constexpr char16_t firstNonAscii = 0x80;

bool isAscii(QChar c)
{
    return c.unicode() < firstNonAscii;
}

// Decomposes a run of non-ASCII characters, drops its combining marks and folds its case.
void appendFoldedRun(QStringView run, QString& folded)
{
    QString kept;
    for (const QChar c : run.toString().normalized(QString::NormalizationForm_KD)) {
        if (c.category() != QChar::Mark_NonSpacing)
            kept.append(c);
    }
    folded.append(kept.toCaseFolded());
}

QString searchableText(const ClipItem& clip)
{
    QStringList parts;
    for (const auto& field : {clip.text, clip.ocrText, clip.sourceAppName, clip.customTitle}) {
        if (field && !field->isEmpty())
            parts.append(*field);
    }
    for (const QUrl& url : clip.fileURLs)
        parts.append(url.fileName());
    return parts.join(u'\n');
}

} // namespace

// Long clips are mostly ASCII: only the runs of other characters go through normalisation.
QString ClipSearchIndex::fold(QStringView text)
{
    QString folded;
    folded.reserve(text.size());
    qsizetype start = 0;
    while (start < text.size()) {
        const bool ascii = isAscii(text[start]);
        qsizetype end = start + 1;
        while (end < text.size() && isAscii(text[end]) == ascii)
            ++end;
        const QStringView run = text.mid(start, end - start);
        if (ascii)
            folded.append(run.toString().toLower());
        else
            appendFoldedRun(run, folded);
        start = end;
    }
    return folded;
}

QList<ClipItem> ClipSearchIndex::filter(const QList<ClipItem>& clips, const QString& query)
{
    const QString folded = fold(query.trimmed());
    if (folded.isEmpty())
        return clips;
    QList<ClipItem> found;
    for (const ClipItem& clip : clips) {
        if (matches(clip, folded))
            found.append(clip);
    }
    return found;
}

bool ClipSearchIndex::matches(const ClipItem& clip, const QString& foldedQuery)
{
    return foldedText(clip).contains(foldedQuery);
}

void ClipSearchIndex::retainOnly(const QList<ClipItem>& clips)
{
    QSet<QUuid> kept;
    for (const ClipItem& clip : clips)
        kept.insert(clip.id);
    entries_.removeIf([&](const auto& entry) { return !kept.contains(entry.key()); });
}

const QString& ClipSearchIndex::foldedText(const ClipItem& clip)
{
    Entry& entry = entries_[clip.id];
    const QDateTime modified = clip.lastModified();
    if (entry.modified != modified || entry.folded.isNull()) {
        entry.modified = modified;
        entry.folded = fold(searchableText(clip));
        if (entry.folded.isNull())
            entry.folded = QStringLiteral("");
    }
    return entry.folded;
}
