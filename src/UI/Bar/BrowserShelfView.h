#pragma once

#include "BrowserLinks/BrowserPage.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class BrowserFilterPills;
class BrowserPageStripView;
class BrowserShelfModel;
class QLabel;
class QStackedLayout;

// The bar's browser shelf: the browser filter, a quiet note while tabs are being read, a line
// per browser that could not be read, and the strip of open pages or, when there are none, a
// short explanation. Everything is read from the model when it changes.
class BrowserShelfView final : public QWidget {
    Q_OBJECT
public:
    explicit BrowserShelfView(BrowserShelfModel& model, QWidget* parent = nullptr);

    BrowserFilterPills* pills() const { return pills_; }
    BrowserPageStripView* strip() const { return strip_; }

    // "Reading open tabs…" while the model reads; empty otherwise.
    QString loadingText() const;
    // One line per browser whose read failed, in browser order.
    QStringList errorLines() const;
    // What stands in place of the strip; empty while pages are shown or being read. When no
    // page was read because a browser's tabs could not be, its lines stand there.
    QString emptyText() const;

signals:
    // A plain click on a page: it is selected and should be pasted.
    void pasteRequested(const QList<BrowserPage>& pages);

private:
    QWidget* makeHeader();
    bool errorsStandInForThePages() const;
    void cardClicked(const BrowserPage& page, Qt::KeyboardModifiers modifiers);
    void toggle(const QString& id);
    void refreshTexts();

    BrowserShelfModel& model_;
    BrowserFilterPills* pills_ = nullptr;
    QLabel* loadingLabel_ = nullptr;
    QLabel* errorLabel_ = nullptr;
    BrowserPageStripView* strip_ = nullptr;
    QLabel* emptyLabel_ = nullptr;
    QStackedLayout* stack_ = nullptr;
};
