#pragma once

#include "Platform/DesktopAppearance.h"

#include <QDBusVariant>
#include <optional>

class QDBusPendingCallWatcher;

namespace Platform {

// The desktop's preference from the XDG desktop portal ("color-scheme" of
// "org.freedesktop.appearance"), followed through its SettingChanged signal. Where the
// portal says nothing, the GTK settings (GTK_THEME, settings.ini) and then KDE's
// kdeglobals decide; with none of them the look is light.
class PortalDesktopAppearance final : public DesktopAppearance {
    Q_OBJECT
public:
    explicit PortalDesktopAppearance(QObject* parent = nullptr)
        : DesktopAppearance(parent)
    {}

    bool prefersDark() override;

private slots:
    void settingChanged(const QString& nameSpace, const QString& key, const QDBusVariant& value);
    void lateReply(QDBusPendingCallWatcher* watcher);

private:
    void start();
    void setPortalAnswer(std::optional<bool> answer);
    static bool settingsFilesPreferDark();

    bool started_ = false;
    std::optional<bool> portalAnswer_;
};

} // namespace Platform
