#include "UI/Bar/BrowserFilterPills.h"

#include "BrowserLinks/BrowserShelfModel.h"
#include "Platform/BrowserScripting.h"
#include "UI/ContinuousCorners.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace {

constexpr int pillHeight = 24;
constexpr int pillSpacing = 6;
constexpr int horizontalPadding = 10;

} // namespace

BrowserFilterPills::BrowserFilterPills(BrowserShelfModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
{
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    rebuild();
    connect(&model_, &BrowserShelfModel::browserChanged, this, qOverload<>(&QWidget::update));
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { rebuild(); });
}

void BrowserFilterPills::rebuild()
{
    pills_ = {{std::nullopt, Localization::string(QStringLiteral("All Browsers"))}};
    for (const LinkBrowser browser : LinkBrowsers::allCases()) {
        if (Platform::browserScripting().existsOnThisPlatform(LinkBrowsers::bundleIdentifier(browser)))
            pills_.append({browser, LinkBrowsers::displayName(browser)});
    }
    updateGeometry();
    update();
}

qsizetype BrowserFilterPills::currentIndex() const
{
    for (qsizetype i = 0; i < pills_.size(); ++i) {
        if (pills_[i].browser == model_.browser())
            return i;
    }
    return 0;
}

int BrowserFilterPills::pillWidth(const Pill& pill) const
{
    const QFontMetricsF metrics(VelloraTypography::control());
    return 2 * horizontalPadding + qCeil(metrics.horizontalAdvance(pill.title)) + 1;
}

QRect BrowserFilterPills::pillRect(qsizetype index) const
{
    int x = 0;
    for (qsizetype i = 0; i < index; ++i)
        x += pillWidth(pills_[i]) + pillSpacing;
    return {x, (height() - pillHeight) / 2, pillWidth(pills_.value(index)), pillHeight};
}

QSize BrowserFilterPills::sizeHint() const
{
    const QRect last = pillRect(pills_.size() - 1);
    return {last.right() + 1, pillHeight};
}

void BrowserFilterPills::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(VelloraTypography::control());
    const qsizetype current = currentIndex();
    for (qsizetype i = 0; i < pills_.size(); ++i) {
        const QRect rect = pillRect(i);
        if (i == current)
            painter.fillPath(continuousRoundedRect(rect, pillHeight / 2.0), QColor(Theme::selection()));
        painter.setPen(i == current ? palette().color(QPalette::HighlightedText)
                                    : QColor(Theme::chromeTextSecondary()));
        painter.drawText(rect, Qt::AlignCenter, pills_[i].title);
    }
}

void BrowserFilterPills::mousePressEvent(QMouseEvent* event)
{
    for (qsizetype i = 0; i < pills_.size(); ++i) {
        if (pillRect(i).contains(event->position().toPoint())) {
            model_.setBrowser(pills_[i].browser);
            return;
        }
    }
}
