#pragma once

#include "Models/ClipItem.h"

#include <QList>
#include <QString>

// Finds the clips whose text, recognised text, source application name, custom title or file
// names contain a query, ignoring case and diacritics ("cafe" finds "Café"). An ASCII query is
// looked for in the clips' own texts, ignoring ASCII case, in one pass that also tells which
// texts hold other characters; in those, only the places around the other characters are
// folded, while searching. Nothing folded is kept: the clips' texts are held once.
class ClipSearch {
public:
    // The comparable form of a text: compatibility-decomposed, combining marks dropped,
    // case-folded.
    static QString fold(QStringView text);

    // The clips that match the trimmed query, in their order; all of them for an empty query.
    // A query that extends the previous one over the same clips searches only its matches.
    QList<ClipItem> filter(const QList<ClipItem>& clips, const QString& query);
    // The same clips as filter() finds, all of them searched on the calling thread.
    static QList<ClipItem> scan(const QList<ClipItem>& clips, const QString& query);

private:
    struct Query {
        QString folded;
        // Set when the folded query is ASCII: only then can it be in an ASCII text.
        QByteArray ascii;
    };

    static Query queryFor(const QString& query);
    static bool matches(const ClipItem& clip, const Query& query);

    struct Filtered {
        QList<ClipItem> clips;
        QString folded;
        QList<ClipItem> found;
    };

    Filtered last_;
};
