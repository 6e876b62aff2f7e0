#include "UI/Bar/PinboardTabs.h"

#include "UI/ContinuousCorners.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/ColorHex.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace {

constexpr int tabHeight = 28;
constexpr int tabSpacing = 6;
constexpr int horizontalPadding = 12;
constexpr int dotSize = 8;
constexpr int dotGap = 6;
constexpr qreal dotRingWidth = 1.5;
constexpr int maxTitleWidth = 160;

} // namespace

PinboardTabs::PinboardTabs(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    rebuild();
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { rebuild(); });
}

void PinboardTabs::setPinboards(const QList<Pinboard>& pinboards)
{
    pinboards_ = pinboards;
    rebuild();
}

void PinboardTabs::setCurrent(const BarSource& source)
{
    current_ = source;
    update();
}

void PinboardTabs::rebuild()
{
    tabs_ = {{BarSource::history(), Localization::string(QStringLiteral("History")), {}}};
    for (const Pinboard& pinboard : pinboards_)
        tabs_.append({BarSource::pinboard(pinboard.id), pinboard.name,
                      colorFromHex(pinboard.colorHex).value_or(QColor())});
    setVisible(!pinboards_.isEmpty());
    updateGeometry();
    update();
}

qsizetype PinboardTabs::currentIndex() const
{
    for (qsizetype i = 0; i < tabs_.size(); ++i) {
        if (tabs_[i].source == current_)
            return i;
    }
    return -1;
}

int PinboardTabs::tabWidth(const Tab& tab) const
{
    const QFontMetricsF metrics(VelloraTypography::control());
    const int text = qMin(maxTitleWidth, qCeil(metrics.horizontalAdvance(tab.title)) + 1);
    const int dot = tab.color.isValid() ? dotSize + dotGap : 0;
    return 2 * horizontalPadding + dot + text;
}

QRect PinboardTabs::tabRect(qsizetype index) const
{
    int x = 0;
    for (qsizetype i = 0; i < index; ++i)
        x += tabWidth(tabs_[i]) + tabSpacing;
    return {x, (height() - tabHeight) / 2, tabWidth(tabs_.value(index)), tabHeight};
}

QSize PinboardTabs::sizeHint() const
{
    const QRect last = tabRect(tabs_.size() - 1);
    return {last.right() + 1, tabHeight};
}

void PinboardTabs::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(VelloraTypography::control());
    const QFontMetrics metrics(painter.font());
    const qsizetype current = currentIndex();
    for (qsizetype i = 0; i < tabs_.size(); ++i) {
        const Tab& tab = tabs_[i];
        const QRect rect = tabRect(i);
        const bool isCurrent = i == current;
        if (isCurrent)
            painter.fillPath(continuousRoundedRect(rect, tabHeight / 2.0), QColor(Theme::selection()));
        QRect textRect = rect.adjusted(horizontalPadding, 0, -horizontalPadding, 0);
        const QColor titleColor =
            isCurrent ? palette().color(QPalette::HighlightedText) : QColor(Theme::chromeTextSecondary());
        if (tab.color.isValid()) {
            const QRectF dot(textRect.left(), rect.center().y() - dotSize / 2.0, dotSize, dotSize);
            painter.setPen(Qt::NoPen);
            // On the accent a pinboard's colour may hardly show (a blue one not at all): a ring
            // in the title's colour sets the dot off.
            if (isCurrent) {
                painter.setBrush(titleColor);
                painter.drawEllipse(dot.adjusted(-dotRingWidth, -dotRingWidth, dotRingWidth, dotRingWidth));
            }
            painter.setBrush(tab.color);
            painter.drawEllipse(dot);
            textRect.setLeft(textRect.left() + dotSize + dotGap);
        }
        painter.setPen(titleColor);
        painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                         metrics.elidedText(tab.title, Qt::ElideRight, textRect.width()));
    }
}

void PinboardTabs::mousePressEvent(QMouseEvent* event)
{
    for (qsizetype i = 0; i < tabs_.size(); ++i) {
        if (!tabRect(i).contains(event->position().toPoint()))
            continue;
        current_ = tabs_[i].source;
        update();
        emit sourceSelected(current_);
        return;
    }
}
