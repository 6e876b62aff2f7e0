#include "Models/ClipSearchIndex.h"

#include <QSet>
#include <QtConcurrent>
#include <algorithm>
#include <cstring>

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

QStringList searchableTexts(const ClipItem& clip)
{
    QStringList parts;
    for (const auto& field : {clip.text, clip.ocrText, clip.sourceAppName, clip.customTitle}) {
        if (field && !field->isEmpty())
            parts.append(*field);
    }
    for (const QUrl& url : clip.fileURLs)
        parts.append(url.fileName());
    return parts;
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

ClipSearchIndex::Entry ClipSearchIndex::entryFor(const ClipItem& clip)
{
    Entry entry{clip.lastModified(), {}, {}};
    for (const QString& text : searchableTexts(clip)) {
        QString folded = fold(text);
        if (std::all_of(folded.cbegin(), folded.cend(), isAscii))
            entry.ascii.append(folded.toLatin1());
        else
            entry.other.append(folded == text ? text : folded);
    }
    return entry;
}

QList<ClipItem> ClipSearchIndex::filter(const QList<ClipItem>& clips, const QString& query)
{
    Query folded{fold(query.trimmed()), {}};
    if (folded.folded.isEmpty())
        return clips;
    if (std::all_of(folded.folded.cbegin(), folded.folded.cend(), isAscii))
        folded.ascii = folded.folded.toLatin1();
    takePrepared();
    const bool narrows =
        last_.clips.isSharedWith(clips) && !last_.folded.isEmpty() && folded.folded.contains(last_.folded);
    QList<ClipItem> found;
    for (const ClipItem& clip : narrows ? last_.found : clips) {
        if (matches(clip, folded))
            found.append(clip);
    }
    last_ = {clips, folded.folded, found};
    return found;
}

bool ClipSearchIndex::matches(const ClipItem& clip, const Query& query)
{
    const Entry& found = entry(clip);
    const auto inAscii = [&](const QByteArray& text) {
        return ::memmem(text.constData(), size_t(text.size()), query.ascii.constData(),
                        size_t(query.ascii.size()));
    };
    const auto inOther = [&](const QString& text) { return text.contains(query.folded); };
    return (!query.ascii.isEmpty() && std::any_of(found.ascii.cbegin(), found.ascii.cend(), inAscii)) ||
           std::any_of(found.other.cbegin(), found.other.cend(), inOther);
}

void ClipSearchIndex::prepareInBackground(QList<ClipItem> clips)
{
    prepared_ = QtConcurrent::run([clips = std::move(clips)] {
        Entries entries;
        entries.reserve(clips.size());
        for (const ClipItem& clip : clips)
            entries.insert(clip.id, entryFor(clip));
        return entries;
    });
}

void ClipSearchIndex::takePrepared()
{
    if (!prepared_.isValid() || !prepared_.isFinished())
        return;
    const Entries prepared = prepared_.result();
    prepared_ = {};
    // What was folded here meanwhile is as new or newer; the rest is taken over.
    for (auto entry = prepared.cbegin(); entry != prepared.cend(); ++entry) {
        if (!entries_.contains(entry.key()))
            entries_.insert(entry.key(), entry.value());
    }
}

void ClipSearchIndex::retainOnly(const QList<ClipItem>& clips)
{
    QSet<QUuid> kept;
    kept.reserve(clips.size());
    for (const ClipItem& clip : clips)
        kept.insert(clip.id);
    entries_.removeIf([&](const auto& entry) { return !kept.contains(entry.key()); });
}

const ClipSearchIndex::Entry& ClipSearchIndex::entry(const ClipItem& clip)
{
    Entry& entry = entries_[clip.id];
    if (entry.modified != clip.lastModified() || !entry.modified.isValid())
        entry = entryFor(clip);
    return entry;
}
