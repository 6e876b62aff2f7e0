#include "UI/Settings/SettingsWheelGuard.h"

#include "UI/Settings/SettingsDetailPage.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

bool takesTheWheelForItsValue(const QObject* object)
{
    return qobject_cast<const QComboBox*>(object) || qobject_cast<const QAbstractSpinBox*>(object) ||
           (qobject_cast<const QAbstractSlider*>(object) && !qobject_cast<const QScrollBar*>(object));
}

SettingsDetailPage* enclosingPage(QWidget* widget)
{
    for (QWidget* ancestor = widget->parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        if (auto* page = qobject_cast<SettingsDetailPage*>(ancestor))
            return page;
    }
    return nullptr;
}

} // namespace

void SettingsWheelGuard::install()
{
    static SettingsWheelGuard* guard = nullptr;
    if (guard || !qApp)
        return;
    guard = new SettingsWheelGuard(qApp);
    qApp->installEventFilter(guard);
}

bool SettingsWheelGuard::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::Wheel && type != QEvent::Polish) || !takesTheWheelForItsValue(watched))
        return false;
    auto* control = static_cast<QWidget*>(watched);
    SettingsDetailPage* page = enclosingPage(control);
    if (!page)
        return false;
    if (type == QEvent::Polish) {
        // The application hands wheel focus out before any filter sees the wheel.
        if (control->focusPolicy() == Qt::WheelFocus)
            control->setFocusPolicy(Qt::StrongFocus);
        return false;
    }
    QApplication::sendEvent(page->verticalScrollBar(), event);
    return true;
}
