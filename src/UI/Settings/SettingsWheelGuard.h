#pragma once

#include <QObject>

// Keeps the mouse wheel from changing a setting while the user scrolls a settings page: over a
// menu, slider or stepper inside a SettingsDetailPage the wheel scrolls the page, even while the
// control keeps the keyboard focus from an earlier click; clicks, drags and keys change values.
// One guard watches the whole application.
class SettingsWheelGuard final : public QObject {
    Q_OBJECT
public:
    // Installs the guard on the application once; later calls do nothing.
    static void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
