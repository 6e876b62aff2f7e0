#pragma once

#include "BrowserLinks/LinkBrowser.h"

#include <QList>
#include <QWidget>
#include <optional>

class BrowserShelfModel;

// The browser filter of the shelf: "All Browsers", then one pill per browser. A click sets the
// model's filter; the current pill follows the model.
class BrowserFilterPills final : public QWidget {
    Q_OBJECT
public:
    explicit BrowserFilterPills(BrowserShelfModel& model, QWidget* parent = nullptr);

    // Pills in order, "All Browsers" first.
    qsizetype count() const { return pills_.size(); }
    QString title(qsizetype index) const { return pills_.value(index).title; }
    std::optional<LinkBrowser> browser(qsizetype index) const { return pills_.value(index).browser; }
    QRect pillRect(qsizetype index) const;
    // The pill of the model's filter.
    qsizetype currentIndex() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Pill {
        std::optional<LinkBrowser> browser;
        QString title;
    };

    void rebuild();
    int pillWidth(const Pill& pill) const;

    BrowserShelfModel& model_;
    QList<Pill> pills_;
};
