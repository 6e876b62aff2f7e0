#include "UI/Settings/SettingsWheelGuard.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

const char* const guardedProperty = "settingsWheelGuarded";

bool takesTheWheelForItsValue(const QObject* object)
{
    return qobject_cast<const QComboBox*>(object) || qobject_cast<const QAbstractSpinBox*>(object) ||
           (qobject_cast<const QAbstractSlider*>(object) && !qobject_cast<const QScrollBar*>(object));
}

QAbstractScrollArea* enclosingArea(QWidget* widget)
{
    for (QWidget* ancestor = widget->parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        auto* area = qobject_cast<QAbstractScrollArea*>(ancestor);
        if (area && area->property(guardedProperty).toBool())
            return area;
    }
    return nullptr;
}

} // namespace

void SettingsWheelGuard::guard(QAbstractScrollArea* area)
{
    install();
    area->setProperty(guardedProperty, true);
}

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
    QAbstractScrollArea* area = enclosingArea(control);
    if (!area)
        return false;
    if (type == QEvent::Polish) {
        // The application hands wheel focus out before any filter sees the wheel.
        if (control->focusPolicy() == Qt::WheelFocus)
            control->setFocusPolicy(Qt::StrongFocus);
        return false;
    }
    QApplication::sendEvent(area->verticalScrollBar(), event);
    return true;
}
