#pragma once

#include "BrowserLinks/BrowserPage.h"
#include "Models/BarSource.h"
#include "Models/ClipItem.h"

#include <QList>
#include <QThreadPool>
#include <QWidget>
#include <atomic>
#include <memory>
#include <optional>

class BarSearchField;
class ClipSearch;
class BrowserShelfModel;
class BrowserShelfView;
class ClipStripView;
class ClipboardStore;
class PinboardTabs;
class QLabel;
class QStackedLayout;
class Settings;
class VelloraIconButton;

// The bar's content: a toolbar with the search field, the pinboard tabs, the browser tabs
// button and a settings button, above the strip of cards or, when nothing is shown, a short
// explanation. It shows the clips of its source that match the search; the selection is the
// store's. With the browser shelf as source it shows the shelf instead, and the search text
// is the shelf's query. The tabs and the button only ask for a source: whoever owns the bar
// switches it with setSource().
class BarView final : public QWidget {
    Q_OBJECT
public:
    BarView(ClipboardStore& store, Settings& settings, BrowserShelfModel& browserShelf,
            QWidget* parent = nullptr);

    BarSearchField* searchField() const { return searchField_; }
    PinboardTabs* tabs() const { return tabs_; }
    ClipStripView* strip() const { return strip_; }
    BrowserShelfView* shelf() const { return shelf_; }
    VelloraIconButton* browserTabsButton() const { return browserTabsButton_; }

    BarSource source() const { return source_; }
    void setSource(const BarSource& source);

    // The clips of the source that match the search, in order.
    const QList<ClipItem>& shownClips() const;
    std::optional<qsizetype> selectedIndex() const;
    void select(qsizetype index);
    void moveSelection(int step);
    // The shown clips in the store's selection, else the selected card.
    QList<ClipItem> selectedClips() const;

    // Clears the search, shows the history and selects its first clip.
    void reset();

    // What stands in place of the strip when it is empty; empty while clips are shown.
    QString emptyText() const;

    // Whether the cards still wait for the search typed last.
    bool isSearching() const { return searching_; }
    // Shows the cards of the search typed last at once, for a key that acts on them.
    void finishSearch();

signals:
    void clipClicked(const ClipItem& clip);
    void settingsRequested();
    // A pinboard tab or the browser tabs button asks for this source.
    void sourceRequested(const BarSource& source);
    // A plain click on a page of the browser shelf.
    void browserPagesPasteRequested(const QList<BrowserPage>& pages);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* makeToolbar();
    QList<ClipItem> sourceClips() const;
    void reload();
    void searchChanged();
    void searchTyped();
    void searchFound(quint64 generation, const QList<ClipItem>& found);
    void showFound(const QList<ClipItem>& found);
    void fieldPainted();
    void showCurrentPage();
    void selectFirst();
    void showSelection();
    void pinboardsChanged();
    void retranslate();

    ClipboardStore& store_;
    Settings& settings_;
    BarSearchField* searchField_ = nullptr;
    PinboardTabs* tabs_ = nullptr;
    BrowserShelfModel& browserShelf_;
    VelloraIconButton* browserTabsButton_ = nullptr;
    VelloraIconButton* settingsButton_ = nullptr;
    ClipStripView* strip_ = nullptr;
    BrowserShelfView* shelf_ = nullptr;
    QLabel* emptyLabel_ = nullptr;
    QStackedLayout* stack_ = nullptr;
    BarSource source_;
    bool resetting_ = false;

    // Typed searches of long lists run on a thread of their own, one at a time, so that the
    // field draws each character at once; the cards follow, after the field has drawn it.
    // Only the newest search's cards are shown: every search and reload starts a generation.
    QThreadPool searchThread_;
    std::shared_ptr<ClipSearch> typedSearch_;
    std::shared_ptr<std::atomic<quint64>> newestSearch_;
    quint64 generation_ = 0;
    bool searching_ = false;
    bool fieldShowsText_ = true;
    std::optional<QList<ClipItem>> foundWaiting_;
};
