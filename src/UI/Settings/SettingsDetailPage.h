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
    // The column that holds the blocks, its padding included.
    QWidget* column() const { return column_; }

private:
    QWidget* column_ = nullptr;
    QVBoxLayout* columnLayout_ = nullptr;
};
