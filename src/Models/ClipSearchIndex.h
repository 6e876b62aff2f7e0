#pragma once

#include "Models/ClipItem.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QUuid>

// Finds the clips whose text, recognised text, source application name, custom title or file
// names contain a query, ignoring case and diacritics ("cafe" finds "Café"). The folded text
// of each clip version is kept, so that typing a query costs a substring search per clip.
class ClipSearchIndex {
public:
    // The comparable form of a text: compatibility-decomposed, combining marks dropped,
    // case-folded.
    static QString fold(QStringView text);

    // The clips that match the trimmed query, in their order; all of them for an empty query.
    QList<ClipItem> filter(const QList<ClipItem>& clips, const QString& query);
    bool matches(const ClipItem& clip, const QString& foldedQuery);

    // Forgets the folded text of clips that are not in the list.
    void retainOnly(const QList<ClipItem>& clips);

private:
    struct Entry {
        QDateTime modified;
        QString folded;
    };

    const QString& foldedText(const ClipItem& clip);

    QHash<QUuid, Entry> entries_;
};
