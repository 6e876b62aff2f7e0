#include "UI/Settings/SettingsDetailPage.h"

#include "UI/Appearance.h"
#include "UI/Settings/SettingsWheelGuard.h"
#include "UI/Theme.h"

#include <QHBoxLayout>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

constexpr int scrollBarWidth = 10;
constexpr int scrollHandleMinimumLength = 24;

} // namespace

SettingsDetailPage::SettingsDetailPage(QWidget* parent)
    : QScrollArea(parent)
{
    SettingsWheelGuard::install();
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* canvas = new QWidget;
    canvas->setAutoFillBackground(false);
    auto* canvasLayout = new QHBoxLayout(canvas);
    canvasLayout->setContentsMargins(0, 0, 0, 0);
    canvasLayout->setSpacing(0);

    column_ = new QWidget(canvas);
    // The padding lies outside the column's 480 px.
    column_->setMaximumWidth(maximumColumnWidth + 2 * horizontalPadding);
    column_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    columnLayout_ = new QVBoxLayout(column_);
    columnLayout_->setContentsMargins(horizontalPadding, topPadding, horizontalPadding, bottomPadding);
    columnLayout_->setSpacing(blockSpacing);
    columnLayout_->addStretch(1);

    // The column takes the width first, up to its maximum; the two side spacers then share
    // what is left, which centres it.
    canvasLayout->addSpacerItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Minimum));
    canvasLayout->addWidget(column_);
    canvasLayout->addSpacerItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Minimum));
    setWidget(canvas);
    viewport()->setAutoFillBackground(false);
    applyScrollBarColors();
    connect(&Appearance::shared(), &Appearance::changed, this, &SettingsDetailPage::applyScrollBarColors);
}

// The style derives both the handle and its trough from the button colour, which leaves the
// handle white on a light trough: the page's scroll bar is drawn plainly instead, a tertiary
// handle on the page background, in both looks.
void SettingsDetailPage::applyScrollBarColors()
{
    const QString handle = QColor(Theme::chromeTextTertiary()).name(QColor::HexArgb);
    const QString trough = QColor(Theme::chat()).name(QColor::HexArgb);
    verticalScrollBar()->setStyleSheet(
        QStringLiteral(
            "QScrollBar:vertical { background: %1; width: %3px; margin: 0; border: none; }"
            "QScrollBar::handle:vertical { background: %2; min-height: %4px; margin: 2px;"
            " border-radius: %5px; }"
            "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; border: none; }"
            "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
            .arg(trough, handle)
            .arg(scrollBarWidth)
            .arg(scrollHandleMinimumLength)
            .arg(scrollBarWidth / 2 - 2));
}

void SettingsDetailPage::addBlock(QWidget* block)
{
    // Blocks go above the trailing stretch that keeps the column top-aligned.
    columnLayout_->insertWidget(columnLayout_->count() - 1, block);
}
