#pragma once

#include "Platform/LoginItem.h"

#include <QByteArray>

namespace Platform {

// "$XDG_CONFIG_HOME/autostart/<bundle identifier>.desktop", an XDG autostart entry that
// starts the running executable. Enabled while the entry exists, is not hidden or switched
// off and starts this executable.
class XdgAutostartLoginItem final : public LoginItem {
public:
    bool isEnabled() const override;
    void registerItem() override;
    void unregisterItem() override;

    static QString entryPath();
    // The entry's text for an executable path, its Exec value quoted and escaped.
    static QByteArray entryText(const QString& executable);
    static QString execValue(const QString& executable);
};

} // namespace Platform
