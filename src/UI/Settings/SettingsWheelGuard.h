#pragma once

#include <QObject>

class QAbstractScrollArea;

// Keeps the mouse wheel from changing a setting while the user scrolls a settings page or the
// model editor: over a menu, slider or stepper inside a guarded scroll area the wheel scrolls
// that area, even while the control keeps the keyboard focus from an earlier click; clicks,
// drags and keys change values. One guard watches the whole application.
class SettingsWheelGuard final : public QObject {
    Q_OBJECT
public:
    // The wheel over a value control inside `area` scrolls `area` instead. Call it before the
    // controls are first shown.
    static void guard(QAbstractScrollArea* area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
    // Installs the guard on the application once; later calls do nothing.
    static void install();
};
