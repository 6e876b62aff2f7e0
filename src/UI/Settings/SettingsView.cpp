#include "UI/Settings/SettingsView.h"

#include "UI/Settings/SettingsNavigation.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"

#include <QHBoxLayout>
#include <QPainter>

namespace {

constexpr QSize contentSize(600, 520);
constexpr int horizontalPadding = 8;

} // namespace

SettingsView::SettingsView(SettingsNavigation& navigation, PageFactory makePage, QWidget* parent)
    : QWidget(parent)
    , makePage_(std::move(makePage))
{
    setFixedSize(contentSize);
    setFont(VelloraTypography::body());
    layout_ = new QHBoxLayout(this);
    layout_->setContentsMargins(horizontalPadding, 0, horizontalPadding, 0);
    layout_->setSpacing(0);
    connect(&navigation, &SettingsNavigation::tabChanged, this, &SettingsView::showPage);
    showPage(navigation.tab());
}

void SettingsView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(Theme::chat()));
}

void SettingsView::showPage(SettingsTab tab)
{
    if (page_) {
        layout_->removeWidget(page_);
        page_->hide();
        // The change of pane may come from inside the old page's own event handling.
        page_->deleteLater();
    }
    page_ = makePage_(tab);
    if (page_)
        layout_->addWidget(page_);
}
