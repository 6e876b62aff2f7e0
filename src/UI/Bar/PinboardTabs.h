#pragma once

#include "Models/BarSource.h"
#include "Models/Pinboard.h"

#include <QList>
#include <QWidget>

// The tabs that choose the bar's source: "History" first, then each pinboard by name with its
// colour. Hidden while there are no pinboards.
class PinboardTabs final : public QWidget {
    Q_OBJECT
public:
    explicit PinboardTabs(QWidget* parent = nullptr);

    void setPinboards(const QList<Pinboard>& pinboards);
    void setCurrent(const BarSource& source);
    BarSource current() const { return current_; }

    // Tabs in order, the history's first.
    qsizetype count() const { return tabs_.size(); }
    QString title(qsizetype index) const { return tabs_.value(index).title; }
    // The current source's tab, or -1 when none has it.
    qsizetype currentIndex() const;
    QRect tabRect(qsizetype index) const;

    QSize sizeHint() const override;

signals:
    // The user chose a tab.
    void sourceSelected(const BarSource& source);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Tab {
        BarSource source;
        QString title;
        QColor color;
    };

    void rebuild();
    int tabWidth(const Tab& tab) const;

    QList<Pinboard> pinboards_;
    QList<Tab> tabs_;
    BarSource current_;
};
