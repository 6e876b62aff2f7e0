#include "BrowserLinks/BrowserShelfModel.h"

#include "BrowserLinks/BrowserReadQueue.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <algorithm>

// Takes results from the read queue to the model on the model's thread. It lives on that
// thread and is kept alive by shared ownership while a read may still post to it, so that
// the model can be destroyed at any time; its weak pointer is only read on that thread.
class BrowserShelfPublisher final : public QObject {
public:
    explicit BrowserShelfPublisher(BrowserShelfModel* model)
        : model_(model)
    {}

    void publish(quint64 generation, LinkBrowser browser, const BrowserPageResult& result)
    {
        if (model_)
            model_->publish(generation, browser, result);
    }

private:
    QPointer<BrowserShelfModel> model_;
};

namespace {

const QString queueName = QStringLiteral("vellora.browser-shelf");

qsizetype indexOfPage(const QList<BrowserPage>& pages, const QString& id)
{
    const auto found =
        std::find_if(pages.cbegin(), pages.cend(), [&](const BrowserPage& page) { return page.id == id; });
    return found == pages.cend() ? -1 : found - pages.cbegin();
}

} // namespace

BrowserShelfModel& BrowserShelfModel::shared()
{
    // Deliberately never deleted: reads may still be running when the application exits.
    static auto* model = new BrowserShelfModel();
    return *model;
}

BrowserShelfModel::BrowserShelfModel(Reader reader, QObject* parent)
    : QObject(parent)
    , reader_(std::move(reader))
    , queue_(std::make_unique<BrowserReadQueue>(queueName))
    , publisher_(new BrowserShelfPublisher(this), [](BrowserShelfPublisher* publisher) {
        // The last owner may be the queue's thread. A result still queued when the application
        // ends is dropped while the event queue is locked: no event can be posted then.
        if (QCoreApplication::closingDown() && QThread::currentThread() == publisher->thread())
            delete publisher;
        else
            publisher->deleteLater();
    })
{}

BrowserShelfModel::~BrowserShelfModel() = default;

void BrowserShelfModel::refresh()
{
    queue_->cancelAll();
    const quint64 generation = session_.open();
    setResults({});
    clearSelection();
    pending_ = QSet<LinkBrowser>(LinkBrowsers::allCases().cbegin(), LinkBrowsers::allCases().cend());
    setIsLoading(true);
    for (LinkBrowser browser : LinkBrowsers::allCases()) {
        queue_->submit([publisher = publisher_, reader = reader_, browser, generation] {
            BrowserPageResult result = reader(browser);
            QMetaObject::invokeMethod(
                publisher.get(),
                [publisher, browser, generation, result = std::move(result)] {
                    publisher->publish(generation, browser, result);
                },
                Qt::QueuedConnection);
        });
    }
}

void BrowserShelfModel::end()
{
    queue_->cancelAll();
    session_.end();
    setResults({});
    pending_.clear();
    setIsLoading(false);
    clearSelection();
}

void BrowserShelfModel::publish(quint64 generation, LinkBrowser browser, const BrowserPageResult& result)
{
    if (!session_.isOpen() || session_.generation() != generation)
        return;
    auto results = results_;
    results.insert_or_assign(browser, result);
    setResults(std::move(results));
    pending_.remove(browser);
    setIsLoading(!pending_.isEmpty());
    if (!focusedID_)
        selectFirst();
}

QList<BrowserPage> BrowserShelfModel::pages() const
{
    QList<BrowserPage> visible;
    for (const auto& [browser, result] : results_) {
        if (browser_ && *browser_ != browser)
            continue;
        for (const BrowserPage& page : result.tabs) {
            if (page.matches(query_))
                visible.append(page);
        }
    }
    return visible;
}

QList<BrowserPage> BrowserShelfModel::selectedPages() const
{
    QList<BrowserPage> selected = pages();
    selected.removeIf([this](const BrowserPage& page) { return !selectedIDs_.contains(page.id); });
    return selected;
}

void BrowserShelfModel::select(const QString& id, bool extending)
{
    const QList<BrowserPage> visible = pages();
    const qsizetype index = indexOfPage(visible, id);
    if (index < 0)
        return;
    const qsizetype anchorIndex = extending && anchorID_ ? indexOfPage(visible, *anchorID_) : -1;
    if (anchorIndex >= 0) {
        QSet<QString> range;
        for (qsizetype i = std::min(index, anchorIndex); i <= std::max(index, anchorIndex); ++i)
            range.insert(visible.at(i).id);
        setSelectedIDs(range);
    } else {
        setSelectedIDs({id});
        anchorID_ = id;
    }
    setFocusedID(id);
}

void BrowserShelfModel::selectFirst()
{
    const QList<BrowserPage> visible = pages();
    if (visible.isEmpty()) {
        clearSelection();
        return;
    }
    select(visible.constFirst().id, false);
}

void BrowserShelfModel::selectAll()
{
    const QList<BrowserPage> visible = pages();
    QSet<QString> ids;
    for (const BrowserPage& page : visible)
        ids.insert(page.id);
    setSelectedIDs(ids);
    anchorID_ = visible.isEmpty() ? std::nullopt : std::optional(visible.constFirst().id);
    setFocusedID(anchorID_);
}

std::optional<QString> BrowserShelfModel::text(const QList<BrowserPage>& pages) const
{
    if (pages.isEmpty())
        return std::nullopt;
    const QList<BrowserPage> visible = this->pages();
    QSet<QString> ids;
    for (const BrowserPage& page : pages) {
        if (!visible.contains(page) || !BrowserPage::isWebURL(page.url))
            return std::nullopt;
        ids.insert(page.id);
    }
    QStringList lines;
    for (const BrowserPage& page : visible) {
        if (ids.contains(page.id))
            lines.append(page.url);
    }
    return lines.join(u'\n');
}

void BrowserShelfModel::setSelectedIDs(const QSet<QString>& ids)
{
    if (ids == selectedIDs_)
        return;
    selectedIDs_ = ids;
    emit selectedIDsChanged();
}

void BrowserShelfModel::setFocusedID(const std::optional<QString>& id)
{
    if (id == focusedID_)
        return;
    focusedID_ = id;
    emit focusedIDChanged();
}

void BrowserShelfModel::setQuery(const QString& query)
{
    if (query == query_)
        return;
    query_ = query;
    emit queryChanged();
    selectFirst();
}

void BrowserShelfModel::setBrowser(std::optional<LinkBrowser> browser)
{
    if (browser == browser_)
        return;
    browser_ = browser;
    emit browserChanged();
    selectFirst();
}

void BrowserShelfModel::setResults(std::map<LinkBrowser, BrowserPageResult> results)
{
    results_ = std::move(results);
    emit resultsChanged();
}

void BrowserShelfModel::setIsLoading(bool isLoading)
{
    if (isLoading == isLoading_)
        return;
    isLoading_ = isLoading;
    emit isLoadingChanged();
}

void BrowserShelfModel::clearSelection()
{
    setSelectedIDs({});
    setFocusedID(std::nullopt);
    anchorID_.reset();
}
