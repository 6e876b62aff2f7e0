#include "UI/CopyToastController.h"

#include "UI/CopyToastView.h"

#include <QApplication>
#include <QCursor>
#include <QPropertyAnimation>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {

int holdMilliseconds(double seconds)
{
    const double valid =
        std::isfinite(seconds) && seconds > 0 ? seconds : CopyToastController::defaultDurationSeconds;
    return int(std::lround(std::min(valid, CopyToastController::maximumDurationSeconds) * 1000));
}

} // namespace

CopyToastController& CopyToastController::shared()
{
    static CopyToastController* instance = new CopyToastController(QCoreApplication::instance());
    return *instance;
}

CopyToastController::CopyToastController(QObject* parent)
    : QObject(parent)
{
    hold_.setSingleShot(true);
    connect(&hold_, &QTimer::timeout, this, &CopyToastController::fadeOut);
}

CopyToastController::~CopyToastController()
{
    dismiss();
}

void CopyToastController::show(const QString& message, const QString& symbolName, double seconds)
{
    if (!view_)
        view_ = std::make_unique<CopyToastView>();
    if (fade_)
        fade_->stop();
    view_->setWindowOpacity(1.0);
    view_->setContent(message, symbolName);
    place();
    view_->show();
    view_->raise();
    hold_.start(holdMilliseconds(seconds));
}

void CopyToastController::dismiss()
{
    hold_.stop();
    if (fade_)
        fade_->stop();
    if (view_)
        view_->hide();
}

bool CopyToastController::isShowing() const
{
    return view_ && view_->isVisible();
}

QString CopyToastController::message() const
{
    return view_ ? view_->message() : QString();
}

QWidget* CopyToastController::window() const
{
    return view_.get();
}

void CopyToastController::place()
{
    // A toast about something done in one of our windows stays inside that window.
    if (const QWidget* owner = QApplication::activeWindow(); owner && owner != view_.get()) {
        const QSize size = view_->size();
        if (const auto* area = owner->findChild<QWidget*>(QLatin1String(areaName));
            area && area->isVisible()) {
            const QRect free(area->mapToGlobal(QPoint(0, 0)), area->size());
            const int x = std::clamp(free.center().x() - size.width() / 2, free.left(),
                                     std::max(free.left(), free.right() + 1 - size.width()));
            view_->move(x, free.center().y() - size.height() / 2);
            return;
        }
        const QRect frame = owner->frameGeometry();
        const int x = std::clamp(frame.center().x() - size.width() / 2, frame.left(),
                                 std::max(frame.left(), frame.right() + 1 - size.width()));
        const int y = std::max(frame.top(), frame.bottom() + 1 - windowBottomMargin - size.height());
        view_->move(x, y);
        return;
    }
    const QPoint pointer = QCursor::pos();
    const QScreen* screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = view_->size();
    view_->move(area.center().x() - size.width() / 2,
                area.y() + area.height() - bottomMargin - size.height());
}

void CopyToastController::fadeOut()
{
    if (!view_)
        return;
    auto* fade = new QPropertyAnimation(view_.get(), "windowOpacity", this);
    fade->setDuration(fadeDurationMs);
    fade->setStartValue(1.0);
    fade->setEndValue(0.0);
    connect(fade, &QPropertyAnimation::finished, this, [this] {
        view_->hide();
        view_->setWindowOpacity(1.0);
    });
    fade_ = fade;
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}
