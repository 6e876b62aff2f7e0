#pragma once

#include "BrowserLinks/BrowserLinkSession.h"
#include "BrowserLinks/BrowserPage.h"
#include "BrowserLinks/BrowserPageReader.h"
#include "BrowserLinks/BrowserPageResult.h"
#include "BrowserLinks/LinkBrowser.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class BrowserReadQueue;
class BrowserShelfPublisher;

// The model behind the bar's browser shelf: reads the open tabs of every browser one after
// the other on a serial background queue, publishes each browser's result on the main thread
// as it arrives (dropping answers of a superseded or ended session), and keeps the search
// query, the browser filter and a multi-selection with a focused page and a range anchor.
// Used on the main thread only. Each signal fires only on a real change, except
// resultsChanged, which fires on every assignment of the results.
class BrowserShelfModel final : public QObject {
    Q_OBJECT
public:
    using Reader = std::function<BrowserPageResult(LinkBrowser)>;

    // The application's instance, reading with BrowserPageReader::read. Never destroyed.
    static BrowserShelfModel& shared();

    explicit BrowserShelfModel(Reader reader = &BrowserPageReader::read, QObject* parent = nullptr);
    ~BrowserShelfModel() override;

    // Starts a new session and reads every browser again.
    void refresh();
    // Ends the session: stops the reads, drops the results, the selection and the focus.
    // The query and the browser filter stay.
    void end();

    // The visible pages: every browser's pages in browser order, kept when they pass the
    // browser filter and match the query.
    QList<BrowserPage> pages() const;
    // The visible pages whose identifier is selected, in the order of pages().
    QList<BrowserPage> selectedPages() const;

    // Selects a visible page, or with extending the range from the anchor to it, and
    // focuses it. An identifier that is not visible changes nothing.
    void select(const QString& id, bool extending);
    // Selects and focuses the first visible page; clears the selection when there is none.
    void selectFirst();
    // Selects every visible page and focuses the first one.
    void selectAll();
    // The addresses of the given pages, in the order of pages(), one per line; none when the
    // list is empty or a page is not visible as given or is not a web address.
    std::optional<QString> text(const QList<BrowserPage>& pages) const;

    const std::map<LinkBrowser, BrowserPageResult>& results() const { return results_; }
    bool isLoading() const { return isLoading_; }

    const QSet<QString>& selectedIDs() const { return selectedIDs_; }
    void setSelectedIDs(const QSet<QString>& ids);
    std::optional<QString> focusedID() const { return focusedID_; }
    void setFocusedID(const std::optional<QString>& id);

    QString query() const { return query_; }
    // A different text calls selectFirst().
    void setQuery(const QString& query);
    std::optional<LinkBrowser> browser() const { return browser_; }
    // A different filter calls selectFirst().
    void setBrowser(std::optional<LinkBrowser> browser);

    const BrowserLinkSession& session() const { return session_; }

signals:
    void resultsChanged();
    void isLoadingChanged();
    void selectedIDsChanged();
    void focusedIDChanged();
    void queryChanged();
    void browserChanged();

private:
    friend class BrowserShelfPublisher;

    void publish(quint64 generation, LinkBrowser browser, const BrowserPageResult& result);
    void setResults(std::map<LinkBrowser, BrowserPageResult> results);
    void setIsLoading(bool isLoading);
    void clearSelection();

    Reader reader_;
    std::unique_ptr<BrowserReadQueue> queue_;
    std::shared_ptr<BrowserShelfPublisher> publisher_;
    BrowserLinkSession session_;
    std::map<LinkBrowser, BrowserPageResult> results_;
    bool isLoading_ = false;
    QSet<QString> selectedIDs_;
    std::optional<QString> focusedID_;
    QString query_;
    std::optional<LinkBrowser> browser_;
    QSet<LinkBrowser> pending_;
    std::optional<QString> anchorID_;
};
