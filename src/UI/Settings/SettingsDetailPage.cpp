#include "UI/Settings/SettingsDetailPage.h"

#include "UI/ScrollBarLook.h"
#include "UI/Settings/SettingsWheelGuard.h"
#include "UI/Theme.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QVBoxLayout>

SettingsDetailPage::SettingsDetailPage(QWidget* parent)
    : QScrollArea(parent)
{
    SettingsWheelGuard::guard(this);
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
    ScrollBarLook::follow(verticalScrollBar(), Theme::chat());
}

void SettingsDetailPage::addBlock(QWidget* block)
{
    // Blocks go above the trailing stretch that keeps the column top-aligned.
    columnLayout_->insertWidget(columnLayout_->count() - 1, block);
}

void SettingsDetailPage::replaceBlocks(const QList<QWidget*>& blocks)
{
    QWidget* focused = QApplication::focusWidget();
    const QString focusedName = focused && column_->isAncestorOf(focused) ? focused->objectName() : QString();
    if (focused && column_->isAncestorOf(focused))
        focused->clearFocus(); // hiding it would pass the focus on and scroll to where it lands
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    // Everything but the trailing stretch.
    while (columnLayout_->count() > 1) {
        QLayoutItem* item = columnLayout_->takeAt(0);
        QWidget* old = item->widget();
        delete item;
        if (!old)
            continue;
        old->hide();
        old->setParent(nullptr);
        old->deleteLater();
    }
    for (QWidget* block : blocks) {
        addBlock(block);
        block->show();
    }
    setUpdatesEnabled(updates);
    if (!focusedName.isEmpty()) {
        QWidget* same = column_->findChild<QWidget*>(focusedName);
        if (same && same->isEnabled() && same->focusPolicy() != Qt::NoFocus)
            same->setFocus(Qt::OtherFocusReason);
    }
}
