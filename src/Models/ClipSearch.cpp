#include "Models/ClipSearch.h"

#include <QHash>
#include <QMutex>
#include <QSet>
#include <QThread>
#include <QThreadPool>
#include <QVarLengthArray>
#include <QWaitCondition>
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

struct FoldedCharacter {
    bool same = false;
    QString text;
};

FoldedCharacter foldCharacter(char32_t c)
{
    const QString original = QString::fromUcs4(&c, 1);
    QString kept;
    for (const QChar part : original.normalized(QString::NormalizationForm_KD)) {
        if (part.category() != QChar::Mark_NonSpacing)
            kept.append(part);
    }
    kept = kept.toCaseFolded();
    return {kept == original, kept};
}

// The Latin letters with accents and the combining marks, folded once for all threads.
constexpr char32_t tableEnd = 0x370;

const std::vector<FoldedCharacter>& latinTable()
{
    static const std::vector<FoldedCharacter> table = [] {
        std::vector<FoldedCharacter> folded;
        folded.reserve(tableEnd - firstNonAscii);
        for (char32_t c = firstNonAscii; c < tableEnd; ++c)
            folded.push_back(foldCharacter(c));
        return folded;
    }();
    return table;
}

// One character other than ASCII decomposed, without its combining marks, case-folded: none
// when that leaves it as it is. Each thread keeps what it folded of other scripts, as a text
// uses few characters.
const QString* foldedOther(char32_t c)
{
    if (c < tableEnd) {
        const FoldedCharacter& known = latinTable()[c - firstNonAscii];
        return known.same ? nullptr : &known.text;
    }
    constexpr qsizetype mostRemembered = 16 * 1024;
    thread_local QHash<char32_t, FoldedCharacter> remembered;
    auto known = remembered.constFind(c);
    if (known == remembered.cend()) {
        if (remembered.size() >= mostRemembered)
            remembered.clear();
        known = remembered.insert(c, foldCharacter(c));
    }
    return known->same ? nullptr : &known->text;
}

// Appends the folded form of text[from, to) to `out` (a QString or a buffer of UTF-16 units).
template <typename Out> void appendFolded(QStringView text, qsizetype from, qsizetype to, Out& out)
{
    for (qsizetype i = from; i < to; ++i) {
        const char16_t c = text[i].unicode();
        if (c < firstNonAscii) {
            out.append(lowerAscii(c));
            continue;
        }
        const bool pair =
            QChar::isHighSurrogate(c) && i + 1 < to && QChar::isLowSurrogate(text[i + 1].unicode());
        const char32_t code = pair ? QChar::surrogateToUcs4(c, text[i + 1].unicode()) : char32_t(c);
        if (const QString* folded = foldedOther(code)) {
            for (const QChar part : *folded)
                out.append(part.unicode());
        } else {
            out.append(c);
            if (pair)
                out.append(text[i + 1].unicode());
        }
        i += pair ? 1 : 0;
    }
}

qsizetype nextOther(QStringView text, qsizetype from)
{
    while (from < text.size() && isAscii(text[from]))
        ++from;
    return from;
}

qsizetype nextAscii(QStringView text, qsizetype from)
{
    while (from < text.size() && !isAscii(text[from]))
        ++from;
    return from;
}

// Whether an ASCII query can take part of what the characters other than ASCII in
// text[from, to) fold to: only when one folds to nothing, or to a character of the query.
bool foldsIntoAsciiQuery(QStringView text, qsizetype from, qsizetype to, QByteArrayView query)
{
    for (qsizetype i = from; i < to; ++i) {
        const char16_t c = text[i].unicode();
        if (c < firstNonAscii)
            continue;
        const bool pair =
            QChar::isHighSurrogate(c) && i + 1 < to && QChar::isLowSurrogate(text[i + 1].unicode());
        const QString* folded =
            foldedOther(pair ? QChar::surrogateToUcs4(c, text[i + 1].unicode()) : char32_t(c));
        i += pair ? 1 : 0;
        if (!folded)
            continue;
        if (folded->isEmpty())
            return true;
        for (const QChar part : *folded) {
            if (part.unicode() < firstNonAscii && query.contains(char(part.unicode())))
                return true;
        }
    }
    return false;
}

// Whether the folded text holds the folded query where it folds characters other than ASCII.
// A match there lies within its length of them: each stretch of such characters, with fewer
// ASCII characters between them than could hold the query twice, is folded with as many ASCII
// characters on each side as the query is long, and searched; the rest is never folded. An
// ASCII query (`asciiQuery` set) passes over stretches that fold into none of its characters.
bool matchesAroundOtherCharacters(QStringView text, QStringView query, QByteArrayView asciiQuery)
{
    const qsizetype margin = query.size() - 1;
    QVarLengthArray<char16_t, 256> window;
    for (qsizetype start = nextOther(text, 0); start < text.size();) {
        qsizetype end = nextAscii(text, start);
        for (qsizetype next = nextOther(text, end); next < text.size() && next - end <= 2 * margin;
             next = nextOther(text, end))
            end = nextAscii(text, next);
        if (!asciiQuery.isEmpty() && !foldsIntoAsciiQuery(text, start, end, asciiQuery)) {
            start = nextOther(text, end);
            continue;
        }
        window.clear();
        appendFolded(text, std::max<qsizetype>(0, start - margin), std::min(text.size(), end + margin),
                     window);
        if (QStringView(window.data(), window.size()).contains(query))
            return true;
        start = nextOther(text, end);
    }
    return false;
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

QString ClipSearch::fold(QStringView text)
{
    QString folded;
    folded.reserve(text.size());
    appendFolded(text, 0, text.size(), folded);
    return folded;
}

ClipSearch::Query ClipSearch::queryFor(const QString& query)
{
    Query folded{fold(query.trimmed()), {}};
    if (std::all_of(folded.folded.cbegin(), folded.folded.cend(), isAscii))
        folded.ascii = folded.folded.toLatin1();
    return folded;
}

QList<ClipItem> ClipSearch::filter(const QList<ClipItem>& clips, const QString& query)
{
    const Query folded = queryFor(query);
    if (folded.folded.isEmpty())
        return clips;
    const bool narrows =
        last_.clips.isSharedWith(clips) && !last_.folded.isEmpty() && folded.folded.contains(last_.folded);
    const QList<ClipItem>& candidates = narrows ? last_.found : clips;
    const qsizetype parts =
        candidates.size() < sharedSearchFrom ? 1 : (candidates.size() + partSize - 1) / partSize;
    const qsizetype step = parts == 1 ? candidates.size() : partSize;
    std::vector<QList<ClipItem>> found(static_cast<size_t>(parts));
    searchInParts(parts, [&](qsizetype part) {
        const auto begin = candidates.cbegin() + part * step;
        const auto end = candidates.cbegin() + std::min(candidates.size(), (part + 1) * step);
        std::copy_if(begin, end, std::back_inserter(found[size_t(part)]),
                     [&](const ClipItem& clip) { return matches(clip, folded); });
    });
    QList<ClipItem> all = std::move(found.front());
    for (size_t part = 1; part < found.size(); ++part)
        all.append(std::move(found[part]));
    last_ = {clips, folded.folded, all};
    return all;
}

QList<ClipItem> ClipSearch::scan(const QList<ClipItem>& clips, const QString& query)
{
    const Query folded = queryFor(query);
    if (folded.folded.isEmpty())
        return clips;
    QList<ClipItem> found;
    std::copy_if(clips.cbegin(), clips.cend(), std::back_inserter(found),
                 [&](const ClipItem& clip) { return matches(clip, folded); });
    return found;
}

// An ASCII query is looked for in the text as it is first, ignoring ASCII case: that finds
// every match but those where the text folds other characters, which only such texts have.
bool ClipSearch::matches(const ClipItem& clip, const Query& query)
{
    return anySearchableText(clip, [&](const QString& text) {
        if (!query.ascii.isEmpty()) {
            const TextSearch search = searchIgnoringAsciiCase(text, query.ascii);
            if (search != TextSearch::absentFromOtherText)
                return search == TextSearch::found;
        } else if (QtPrivate::isAscii(text)) {
            return false;
        }
        return matchesAroundOtherCharacters(text, query.folded, query.ascii);
    });
}
