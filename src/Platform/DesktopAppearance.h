#pragma once

#include <QObject>

namespace Platform {

// The desktop's light or dark preference, followed while the application runs.
class DesktopAppearance : public QObject {
    Q_OBJECT
public:
    explicit DesktopAppearance(QObject* parent = nullptr)
        : QObject(parent)
    {}
    ~DesktopAppearance() override = default;

    // True when the desktop prefers a dark look. The first call may wait briefly for the
    // desktop's settings service; later calls answer from what is known.
    virtual bool prefersDark() = 0;

signals:
    // The desktop's preference changed.
    void changed();
};

// The process-wide service (Linux: the desktop portal, then GTK and KDE settings files).
DesktopAppearance& desktopAppearance();
// Tests install a fake; nullptr restores the real one.
void setDesktopAppearanceForTesting(DesktopAppearance* fake);

} // namespace Platform
