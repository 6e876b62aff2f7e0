#include "Models/ClipSearchIndex.h"

#include <QSet>
#include <QtConcurrent>
#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr char16_t firstNonAscii = 0x80;

bool isAscii(QChar c)
{
    return c.unicode() < firstNonAscii;
}

char16_t lowerAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

// An ASCII text is folded by lowering its case alone.
QByteArray lowerAsciiBytes(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    const char16_t* in = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = char(lowerAscii(in[i]));
    return bytes;
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

// Whether a UTF-16 text holds a lower-case ASCII needle, ignoring the case of ASCII letters.
// The first character is looked for eight characters at a time in vector registers.
bool containsIgnoringAsciiCase(QStringView text, QByteArrayView needle)
{
    using Lanes = quint16 __attribute__((vector_size(16)));
    using LaneMask = qint16 __attribute__((vector_size(16)));
    constexpr qsizetype block = sizeof(Lanes) / sizeof(quint16);
    constexpr char16_t caseBit = 0x20;
    const char16_t* chars = text.utf16();
    const qsizetype starts = text.size() - needle.size() + 1;
    const char16_t first = char16_t(uchar(needle.front()));
    const char16_t ignored = first >= u'a' && first <= u'z' ? caseBit : 0;
    const auto startsAt = [&](qsizetype at) {
        if ((chars[at] | ignored) != first)
            return false;
        for (qsizetype i = 1; i < needle.size(); ++i) {
            if (lowerAscii(chars[at + i]) != char16_t(uchar(needle[i])))
                return false;
        }
        return true;
    };
    qsizetype at = 0;
    for (; at + block <= starts; at += block) {
        Lanes lanes;
        std::memcpy(&lanes, chars + at, sizeof lanes);
        const LaneMask hits = (lanes | (Lanes{} + ignored)) == (Lanes{} + first);
        std::array<quint64, sizeof hits / sizeof(quint64)> words;
        std::memcpy(words.data(), &hits, sizeof hits);
        if ((words[0] | words[1]) == 0)
            continue;
        for (qsizetype i = at; i < at + block; ++i) {
            if (startsAt(i))
                return true;
        }
    }
    for (; at < starts; ++at) {
        if (startsAt(at))
            return true;
    }
    return false;
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
        if (ascii) {
            const qsizetype at = folded.size();
            folded.resize(at + run.size());
            std::transform(run.utf16(), run.utf16() + run.size(), folded.data() + at, lowerAscii);
        } else {
            appendFoldedRun(run, folded);
        }
        start = end;
    }
    return folded;
}

ClipSearchIndex::Entry ClipSearchIndex::entryFor(const ClipItem& clip)
{
    Entry entry{clip.lastModified(), {}, {}};
    for (const QString& text : searchableTexts(clip)) {
        if (QtPrivate::isAscii(text)) {
            entry.ascii.append(lowerAsciiBytes(text));
            continue;
        }
        QString folded = fold(text);
        if (std::all_of(folded.cbegin(), folded.cend(), isAscii))
            entry.ascii.append(folded.toLatin1());
        else
            entry.other.append(folded == text ? text : folded);
    }
    return entry;
}

ClipSearchIndex::Query ClipSearchIndex::queryFor(const QString& query)
{
    Query folded{fold(query.trimmed()), {}};
    if (std::all_of(folded.folded.cbegin(), folded.folded.cend(), isAscii))
        folded.ascii = folded.folded.toLatin1();
    return folded;
}

bool ClipSearchIndex::Query::isIn(const QByteArray& asciiText) const
{
    return !ascii.isEmpty() &&
           ::memmem(asciiText.constData(), size_t(asciiText.size()), ascii.constData(), size_t(ascii.size()));
}

QList<ClipItem> ClipSearchIndex::filter(const QList<ClipItem>& clips, const QString& query)
{
    const Query folded = queryFor(query);
    if (folded.folded.isEmpty())
        return clips;
    takePrepared();
    // While the texts are folded in the background, a keystroke scans the clips rather than
    // folding them itself.
    const bool indexed = !prepared_.isValid();
    const bool narrows =
        last_.clips.isSharedWith(clips) && !last_.folded.isEmpty() && folded.folded.contains(last_.folded);
    QList<ClipItem> found;
    for (const ClipItem& clip : narrows ? last_.found : clips) {
        if (indexed ? matches(clip, folded) : scanMatches(clip, folded))
            found.append(clip);
    }
    last_ = {clips, folded.folded, found};
    return found;
}

QList<ClipItem> ClipSearchIndex::scan(const QList<ClipItem>& clips, const QString& query)
{
    const Query folded = queryFor(query);
    if (folded.folded.isEmpty())
        return clips;
    QList<ClipItem> found;
    std::copy_if(clips.cbegin(), clips.cend(), std::back_inserter(found),
                 [&](const ClipItem& clip) { return scanMatches(clip, folded); });
    return found;
}

bool ClipSearchIndex::matches(const ClipItem& clip, const Query& query)
{
    const Entry& found = entry(clip);
    const auto inOther = [&](const QString& text) { return text.contains(query.folded); };
    return std::any_of(found.ascii.cbegin(), found.ascii.cend(),
                       [&](const QByteArray& text) { return query.isIn(text); }) ||
           std::any_of(found.other.cbegin(), found.other.cend(), inOther);
}

bool ClipSearchIndex::scanMatches(const ClipItem& clip, const Query& query)
{
    const QStringList texts = searchableTexts(clip);
    return std::any_of(texts.cbegin(), texts.cend(), [&](const QString& text) {
        // An ASCII match is in the folded text too; without one, only a non-ASCII text can match.
        if (!query.ascii.isEmpty() && containsIgnoringAsciiCase(text, query.ascii))
            return true;
        return !QtPrivate::isAscii(text) && fold(text).contains(query.folded);
    });
}

void ClipSearchIndex::prepareInBackground(QList<ClipItem> clips)
{
    // A new history: the clips of the last search, perhaps the last references to the old
    // one, are let go now rather than on the next keystroke.
    last_ = {};
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
    // Nothing is folded here while the preparation runs: what it folded is as new or newer.
    entries_ = prepared_.takeResult();
    prepared_ = {};
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
    // Looked up without detaching: the table may still be shared with the worker that built it.
    const auto found = std::as_const(entries_).find(clip.id);
    if (found != entries_.cend() && found->modified == clip.lastModified() && found->modified.isValid())
        return *found;
    return *entries_.insert(clip.id, entryFor(clip));
}
