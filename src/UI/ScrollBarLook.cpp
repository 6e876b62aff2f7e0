#include "UI/ScrollBarLook.h"

#include "UI/Appearance.h"

#include <QScrollBar>

namespace {

constexpr int thickness = 10;
constexpr int handleMargin = 2;
constexpr int handleMinimumLength = 24;

void apply(QScrollBar* bar, const AdaptiveColor& trough)
{
    const QString handle = QColor(Theme::chromeTextTertiary()).name();
    const bool vertical = bar->orientation() == Qt::Vertical;
    bar->setStyleSheet(
        QStringLiteral(
            "QScrollBar { background: %1; %3: %4px; margin: 0; border: none; }"
            "QScrollBar::handle { background: %2; min-%5: %6px; margin: %7px; border-radius: %8px; }"
            "QScrollBar::add-line, QScrollBar::sub-line { %5: 0; border: none; }"
            "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
            .arg(QColor(trough).name(), handle, vertical ? QStringLiteral("width") : QStringLiteral("height"))
            .arg(thickness)
            .arg(vertical ? QStringLiteral("height") : QStringLiteral("width"))
            .arg(handleMinimumLength)
            .arg(handleMargin)
            .arg(thickness / 2 - handleMargin));
}

} // namespace

namespace ScrollBarLook {

void follow(QScrollBar* bar, const AdaptiveColor& trough)
{
    apply(bar, trough);
    QObject::connect(&Appearance::shared(), &Appearance::changed, bar, [bar, trough] { apply(bar, trough); });
}

} // namespace ScrollBarLook
