#pragma once

#include "Platform/LoginItem.h"

#include <QByteArray>

namespace Platform {

// "$XDG_CONFIG_HOME/autostart/<bundle identifier>.desktop", an XDG autostart entry that
// starts this executable: as installed when it runs from an installation, else the running
// one. Enabled while the entry exists, is not hidden or switched off and starts it.
class XdgAutostartLoginItem final : public LoginItem {
public:
    bool isEnabled() const override;
    void registerItem() override;
    void unregisterItem() override;

    static QString entryPath();
    // The entry's text for an executable path, its Exec value quoted and escaped.
    static QByteArray entryText(const QString& executable);
    static QString execValue(const QString& executable);
    // The path to start for a running binary: the one that the desktop entry installed beside
    // it (../share/applications) names as its TryExec when that is this very file, however
    // reached; else the running path.
    static QString executable(const QString& running);
};

} // namespace Platform
