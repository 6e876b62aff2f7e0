#include "UI/VelloraTooltip.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

namespace {

// The tooltip sits this far below the pointer, clear of the cursor image.
constexpr int pointerOffset = 20;
constexpr int textMargin = 6;
constexpr int maximumWidth = 360;

QPoint placed(QSize size, QPoint pointer)
{
    QPoint topLeft = pointer + QPoint(0, pointerOffset);
    const QScreen* screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return topLeft;
    const QRect area = screen->availableGeometry();
    if (topLeft.y() + size.height() > area.bottom())
        topLeft.setY(pointer.y() - pointerOffset - size.height());
    topLeft.setX(qBound(area.left(), topLeft.x(), qMax(area.left(), area.right() - size.width())));
    topLeft.setY(qMax(area.top(), topLeft.y()));
    return topLeft;
}

} // namespace

VelloraTooltip::VelloraTooltip(QWidget* target, const QString& text)
    : QObject(target)
    , target_(target)
    , text_(text)
{
    delay_.setSingleShot(true);
    delay_.setInterval(showDelayMs);
    connect(&delay_, &QTimer::timeout, this, &VelloraTooltip::show);
    target->installEventFilter(this);
}

VelloraTooltip::~VelloraTooltip()
{
    delete popup_;
}

VelloraTooltip* VelloraTooltip::attach(QWidget* target, const QString& text)
{
    if (auto* existing = target->findChild<VelloraTooltip*>(QString(), Qt::FindDirectChildrenOnly)) {
        existing->setText(text);
        return existing;
    }
    return new VelloraTooltip(target, text);
}

void VelloraTooltip::setText(const QString& text)
{
    text_ = text;
    if (!popup_)
        return;
    popup_->setText(text);
    fitPopup();
    if (text.isEmpty())
        hide();
}

bool VelloraTooltip::isShowing() const
{
    return popup_ && popup_->isVisible();
}

bool VelloraTooltip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != target_)
        return false;
    switch (event->type()) {
    case QEvent::Enter:
        if (!inside_ && !suppressed_)
            delay_.start();
        inside_ = true;
        break;
    case QEvent::Leave:
    case QEvent::Hide:
        inside_ = false;
        suppressed_ = false;
        hide();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        // Once the user acts on the widget the tooltip stays away until the pointer leaves.
        suppressed_ = true;
        hide();
        break;
    default:
        break;
    }
    return false;
}

void VelloraTooltip::show()
{
    if (text_.isEmpty() || !target_ || !target_->isVisible())
        return;
    if (!popup_) {
        popup_ = new QLabel;
        popup_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
        popup_->setAttribute(Qt::WA_ShowWithoutActivating);
        popup_->setTextFormat(Qt::PlainText);
        popup_->setWordWrap(true);
        popup_->setMaximumWidth(maximumWidth);
        popup_->setMargin(textMargin);
        popup_->setForegroundRole(QPalette::ToolTipText);
        popup_->setBackgroundRole(QPalette::ToolTipBase);
        popup_->setAutoFillBackground(true);
    }
    popup_->setText(text_);
    fitPopup();
    popup_->move(placed(popup_->size(), QCursor::pos()));
    popup_->show();
}

void VelloraTooltip::fitPopup()
{
    // A word-wrapped label sizes itself for a narrow column; the text takes its own width.
    const int margins = 2 * textMargin + popup_->contentsMargins().left() + popup_->contentsMargins().right();
    const QRect used = popup_->fontMetrics().boundingRect(
        QRect(0, 0, maximumWidth - margins, QWIDGETSIZE_MAX), Qt::TextWordWrap, text_);
    const int width = used.width() + margins;
    popup_->resize(width, popup_->heightForWidth(width));
}

void VelloraTooltip::hide()
{
    delay_.stop();
    if (popup_)
        popup_->hide();
}
