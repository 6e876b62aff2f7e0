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
// names contain a query, ignoring case and diacritics ("cafe" finds "Café"). The folded texts
// of each clip version are kept, so that typing a query costs a substring search per clip:
// an ASCII text at one byte a character, any other as the clip's own string when folding
// leaves it as it is.
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
        QList<QByteArray> ascii;
        QStringList other;
    };
    struct Query {
        QString folded;
        // Set when the folded query is ASCII: only then can it be in an ASCII text.
        QByteArray ascii;

        bool isIn(const QByteArray& asciiText) const;
    };
    using Entries = QHash<QUuid, Entry>;

    static Query queryFor(const QString& query);
    static Entry entryFor(const ClipItem& clip);
    static bool scanMatches(const ClipItem& clip, const Query& query);
    const Entry& entry(const ClipItem& clip);
    bool matches(const ClipItem& clip, const Query& query);
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
