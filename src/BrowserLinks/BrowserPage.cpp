#include "BrowserLinks/BrowserPage.h"

#include <QStringList>
#include <QUrl>
#include <algorithm>
#include <iterator>

namespace {

// Case- and diacritic-insensitive form of a text: compatibility-decomposed, without
// non-spacing marks, case-folded.
QString searchFolded(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c);
    }
    return folded.toCaseFolded();
}

QStringList whitespaceSeparatedTerms(const QString& query)
{
    QStringList terms;
    QString term;
    for (const QChar c : query) {
        if (!c.isSpace()) {
            term.append(c);
            continue;
        }
        if (!term.isEmpty())
            terms.append(term);
        term.clear();
    }
    if (!term.isEmpty())
        terms.append(term);
    return terms;
}

} // namespace

bool BrowserPage::isWebURL(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme != u"http" && scheme != u"https")
        return false;
    return !url.host().isEmpty();
}

bool BrowserPage::matches(const QString& query) const
{
    const QStringList terms = whitespaceSeparatedTerms(query);
    if (terms.isEmpty())
        return true;
    const QString fields[] = {searchFolded(title), searchFolded(url),
                              searchFolded(LinkBrowsers::displayName(browser))};
    for (const QString& term : terms) {
        const QString folded = searchFolded(term);
        const bool found = std::any_of(std::begin(fields), std::end(fields),
                                       [&](const QString& field) { return field.contains(folded); });
        if (!found)
            return false;
    }
    return true;
}
