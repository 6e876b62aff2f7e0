#include "Models/ClipSearchIndex.h"

#include <QMutex>
#include <QSet>
#include <QThread>
#include <QThreadPool>
#include <QWaitCondition>
#include <QtConcurrent>
#include <algorithm>
#include <atomic>
#include <bit>
#include <functional>
#include <memory>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

enum class TextSearch { found, absentFromAsciiText, absentFromOtherText };

// Looks for a lower-case ASCII needle in a UTF-16 text, ignoring the case of ASCII letters,
// and tells, when it is not there, whether the text is all ASCII: one pass over the text.
// Candidates are the places whose first and last characters match, sixteen at a time.
TextSearch searchIgnoringAsciiCase(QStringView text, QByteArrayView needle)
{
    const qsizetype length = needle.size();
    if (length == 0 || length > text.size())
        return QtPrivate::isAscii(text) ? TextSearch::absentFromAsciiText : TextSearch::absentFromOtherText;
    const char16_t* chars = text.utf16();
    const qsizetype starts = text.size() - length + 1;
    const auto startsAt = [&](qsizetype at) {
        for (qsizetype i = 0; i < length; ++i) {
            if (lowerAscii(chars[at + i]) != char16_t(uchar(needle[i])))
                return false;
        }
        return true;
    };
    const auto caseBit = [](char c) -> short { return c >= 'a' && c <= 'z' ? 0x20 : 0; };
    char16_t seen = 0; // every character read, or'ed together
    qsizetype at = 0;
#if defined(__SSE2__)
    constexpr qsizetype block = 16;
    const __m128i first = _mm_set1_epi16(short(uchar(needle.front())));
    const __m128i firstCase = _mm_set1_epi16(caseBit(needle.front()));
    const __m128i last = _mm_set1_epi16(short(uchar(needle.back())));
    const __m128i lastCase = _mm_set1_epi16(caseBit(needle.back()));
    __m128i seenLanes = _mm_setzero_si128();
    const auto load = [](const char16_t* from) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    };
    const auto candidates = [&](__m128i heads, __m128i tails) {
        return _mm_and_si128(_mm_cmpeq_epi16(_mm_or_si128(heads, firstCase), first),
                             _mm_cmpeq_epi16(_mm_or_si128(tails, lastCase), last));
    };
    for (; at + block <= starts; at += block) {
        const __m128i low = load(chars + at);
        const __m128i high = load(chars + at + block / 2);
        seenLanes = _mm_or_si128(seenLanes, _mm_or_si128(low, high));
        const __m128i hits = _mm_packs_epi16(candidates(low, load(chars + at + length - 1)),
                                             candidates(high, load(chars + at + length - 1 + block / 2)));
        for (auto mask = uint(_mm_movemask_epi8(hits)); mask != 0; mask &= mask - 1) {
            if (startsAt(at + std::countr_zero(mask)))
                return TextSearch::found;
        }
    }
    const __m128i notAscii = _mm_and_si128(seenLanes, _mm_set1_epi16(short(0xff80)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(notAscii, _mm_setzero_si128())) != 0xffff)
        seen = firstNonAscii;
#endif
    for (; at < starts; ++at) {
        seen |= chars[at];
        if (startsAt(at))
            return TextSearch::found;
    }
    for (; at < text.size(); ++at)
        seen |= chars[at];
    return seen < firstNonAscii ? TextSearch::absentFromAsciiText : TextSearch::absentFromOtherText;
}

// Longer lists of clips are searched in parts, by this thread and the search threads together.
constexpr qsizetype partSize = 2048;
constexpr qsizetype sharedSearchFrom = 2 * partSize;

QThreadPool& searchThreads()
{
    struct SearchThreads : QThreadPool {
        SearchThreads()
        {
            constexpr int mostHelpers = 3;
            setMaxThreadCount(std::clamp(QThread::idealThreadCount() - 1, 1, mostHelpers));
        }
    };
    static SearchThreads threads;
    return threads;
}

// Calls search(part) for parts 0 to parts - 1 and returns when all are done. Each part is
// taken by whichever thread is free first, this one included, so that a search never waits
// for a thread that has not started: one that starts late finds nothing left to do.
template <typename Search> void searchInParts(qsizetype parts, const Search& search)
{
    if (parts == 1) {
        search(0);
        return;
    }
    struct Pass {
        qsizetype parts = 0;
        std::function<void(qsizetype)> search;
        std::atomic<qsizetype> next{0};
        QMutex mutex;
        QWaitCondition finished;
        qsizetype done = 0;

        void work()
        {
            for (qsizetype part = next++; part < parts; part = next++) {
                search(part);
                const QMutexLocker lock(&mutex);
                if (++done == parts)
                    finished.wakeAll();
            }
        }
    };
    auto pass = std::make_shared<Pass>();
    pass->parts = parts;
    pass->search = search;
    QThreadPool& threads = searchThreads();
    for (qsizetype helper = 1; helper < std::min<qsizetype>(parts, threads.maxThreadCount() + 1); ++helper)
        threads.start([pass] { pass->work(); });
    pass->work();
    QMutexLocker lock(&pass->mutex);
    while (pass->done < parts)
        pass->finished.wait(&pass->mutex);
}

// Calls `visit` with each text a clip is found by, until it returns true.
template <typename Visit> bool anySearchableText(const ClipItem& clip, Visit visit)
{
    for (const auto* field : {&clip.text, &clip.ocrText, &clip.sourceAppName, &clip.customTitle}) {
        if (*field && !(*field)->isEmpty() && visit(**field))
            return true;
    }
    for (const QUrl& url : clip.fileURLs) {
        const QString name = url.fileName();
        if (!name.isEmpty() && visit(name))
            return true;
    }
    return false;
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
    Entry entry{clip.lastModified(), {}};
    anySearchableText(clip, [&](const QString& text) {
        if (!QtPrivate::isAscii(text)) {
            QString folded = fold(text);
            entry.folded.append(folded == text ? text : std::move(folded));
        }
        return false;
    });
    return entry;
}

ClipSearchIndex::Query ClipSearchIndex::queryFor(const QString& query)
{
    Query folded{fold(query.trimmed()), {}};
    if (std::all_of(folded.folded.cbegin(), folded.folded.cend(), isAscii))
        folded.ascii = folded.folded.toLatin1();
    return folded;
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
    const QList<ClipItem>& candidates = narrows ? last_.found : clips;
    const qsizetype parts =
        candidates.size() < sharedSearchFrom ? 1 : (candidates.size() + partSize - 1) / partSize;
    const qsizetype step = parts == 1 ? candidates.size() : partSize;
    std::vector<QList<ClipItem>> found(static_cast<size_t>(parts));
    std::vector<Added> added(static_cast<size_t>(parts));
    searchInParts(parts, [&](qsizetype part) {
        const auto begin = candidates.cbegin() + part * step;
        const auto end = candidates.cbegin() + std::min(candidates.size(), (part + 1) * step);
        for (auto clip = begin; clip != end; ++clip) {
            if (indexed ? matches(*clip, folded, added[size_t(part)]) : scanMatches(*clip, folded))
                found[size_t(part)].append(*clip);
        }
    });
    for (Added& entries : added) {
        for (auto& [id, entry] : entries)
            entries_.insert(id, std::move(entry));
    }
    QList<ClipItem> all = std::move(found.front());
    for (size_t part = 1; part < found.size(); ++part)
        all.append(std::move(found[part]));
    last_ = {clips, folded.folded, all};
    return all;
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

// An ASCII match in a text is in its folded form too: only texts that are not ASCII can match
// otherwise, and only in their folded forms.
ClipSearchIndex::AsciiMatch ClipSearchIndex::matchAscii(const ClipItem& clip, const Query& query)
{
    bool otherText = false;
    const bool found = anySearchableText(clip, [&](const QString& text) {
        const TextSearch search = searchIgnoringAsciiCase(text, query.ascii);
        otherText = otherText || search == TextSearch::absentFromOtherText;
        return search == TextSearch::found;
    });
    return found ? AsciiMatch::found : otherText ? AsciiMatch::someTextNotAscii : AsciiMatch::none;
}

bool ClipSearchIndex::matches(const ClipItem& clip, const Query& query, Added& added) const
{
    if (!query.ascii.isEmpty()) {
        const AsciiMatch ascii = matchAscii(clip, query);
        if (ascii != AsciiMatch::someTextNotAscii)
            return ascii == AsciiMatch::found;
    }
    const Entry* known = current(clip);
    if (!known) {
        added.append({clip.id, entryFor(clip)});
        known = &added.last().second;
    }
    const QStringList& folded = known->folded;
    return std::any_of(folded.cbegin(), folded.cend(),
                       [&](const QString& text) { return text.contains(query.folded); });
}

bool ClipSearchIndex::scanMatches(const ClipItem& clip, const Query& query)
{
    return anySearchableText(clip, [&](const QString& text) {
        const TextSearch search = searchIgnoringAsciiCase(text, query.ascii);
        return search == TextSearch::found ||
               (search == TextSearch::absentFromOtherText && fold(text).contains(query.folded));
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

const ClipSearchIndex::Entry* ClipSearchIndex::current(const ClipItem& clip) const
{
    // Looked up without detaching: the table may still be shared with the worker that built it.
    const auto found = entries_.find(clip.id);
    if (found != entries_.cend() && found->modified == clip.lastModified() && found->modified.isValid())
        return &*found;
    return nullptr;
}
