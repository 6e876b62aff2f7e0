#pragma once

#include <QScrollArea>

class QVBoxLayout;

// The scrolling column of a settings page: blocks stacked 20 px apart, leading-aligned, in a
// column at most 480 px wide, padded 24 px left, right and top and 28 px at the bottom,
// centred horizontally and top-aligned. It scrolls vertically only.
class SettingsDetailPage : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int maximumColumnWidth = 480;
    static constexpr int blockSpacing = 20;
    static constexpr int horizontalPadding = 24;
    static constexpr int topPadding = 24;
    static constexpr int bottomPadding = 28;

    explicit SettingsDetailPage(QWidget* parent = nullptr);

    void addBlock(QWidget* block);
    // Puts `blocks` in place of every block, in one step, and keeps the page scrolled where it
    // is (as far as the new blocks reach): the old blocks leave at once, though they are
    // deleted later (one may be running its own click handler), and the new ones show at once,
    // so the page never passes through a shorter height that would clamp the scroll position. A focus inside
    // the old blocks moves to the new block's widget of the same object name when it takes one, else it is
    // dropped without scrolling the page to another widget.
    void replaceBlocks(const QList<QWidget*>& blocks);
    // The column that holds the blocks, its padding included.
    QWidget* column() const { return column_; }

private:
    QWidget* column_ = nullptr;
    QVBoxLayout* columnLayout_ = nullptr;
};
