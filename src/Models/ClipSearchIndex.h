#pragma once

#include "Models/ClipItem.h"

#include <QDateTime>
#include <QFuture>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

// Finds the clips whose text, recognised text, source application name, custom title or file
// names contain a query, ignoring case and diacritics ("cafe" finds "Café"). An ASCII query is
// looked for in the clips' own texts, ignoring ASCII case, in one pass that also tells which
// texts hold other characters; only those are searched in their folded form. The folded forms
// of each clip version are kept, and are the clip's own strings when folding leaves them as
// they are: an ASCII-only clip costs the index one empty entry, no copy of its texts.
class ClipSearchIndex {
public:
    // The comparable form of a text: compatibility-decomposed, combining marks dropped,
    // case-folded.
    static QString fold(QStringView text);

    // The clips that match the trimmed query, in their order; all of them for an empty query.
    // A query that extends the previous one over the same clips searches only its matches.
    QList<ClipItem> filter(const QList<ClipItem>& clips, const QString& query);
    // The same clips as filter() finds, by reading every text without keeping what it folds.
    static QList<ClipItem> scan(const QList<ClipItem>& clips, const QString& query);

    // Folds these clips on a worker thread; the result is taken in by the first search after
    // it is ready. Until then a search scans the clips and never waits.
    void prepareInBackground(QList<ClipItem> clips);
    // Forgets the folded texts of clips that are not in the list.
    void retainOnly(const QList<ClipItem>& clips);
    qsizetype entryCount() const { return entries_.size(); }

private:
    struct Entry {
        QDateTime modified;
        // The folded forms of the clip's texts that are not ASCII.
        QStringList folded;
    };
    struct Query {
        QString folded;
        // Set when the folded query is ASCII: only then can it be in an ASCII text.
        QByteArray ascii;
    };
    enum class AsciiMatch { none, someTextNotAscii, found };
    using Entries = QHash<QUuid, Entry>;

    static Query queryFor(const QString& query);
    static Entry entryFor(const ClipItem& clip);
    static AsciiMatch matchAscii(const ClipItem& clip, const Query& query);
    static bool scanMatches(const ClipItem& clip, const Query& query);
    // The entry of this version of the clip, if there is one.
    const Entry* current(const ClipItem& clip) const;
    // Entries folded during a search, added to the index after it.
    using Added = QList<std::pair<QUuid, Entry>>;
    bool matches(const ClipItem& clip, const Query& query, Added& added) const;
    void takePrepared();

    struct Filtered {
        QList<ClipItem> clips;
        QString folded;
        QList<ClipItem> found;
    };

    Entries entries_;
    QFuture<Entries> prepared_;
    Filtered last_;
};
