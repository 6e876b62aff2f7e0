#include "UI/Settings/PastePermissionSettingsState.h"

#include "Platform/Accessibility.h"
#include "Platform/Workspace.h"

#include <QUrl>

const QStringList& PastePermissionSettingsState::settingsAddresses()
{
    // Linux has no permission page for synthesized keys: the X server offers XTEST or it
    // doesn't. The honest equivalent is the desktop's settings application, reached through
    // the cross-desktop "settings:" scheme that settings applications register; its
    // handlers fall back from an unknown page to a broader one, and the last address asks
    // for the application's main window.
    static const QStringList addresses{
        QStringLiteral("settings://privacy/accessibility"),
        QStringLiteral("settings://privacy"),
        QStringLiteral("settings://"),
    };
    return addresses;
}

bool PastePermissionSettingsState::openFirstAddress(const QStringList& addresses,
                                                    Platform::Workspace& workspace)
{
    for (const QString& address : addresses) {
        const QUrl url(address, QUrl::StrictMode);
        if (!url.isValid() || url.scheme().isEmpty())
            continue;
        if (workspace.openURL(url))
            return true;
    }
    return false;
}

PastePermissionSettingsState::Operations PastePermissionSettingsState::defaultOperations()
{
    Operations operations;
    operations.checkPermission = [] { return Platform::accessibility().isTrusted(); };
    // Nothing to ask on X11: no prompt can grant XTEST to one application.
    operations.openSettings = [] { return openFirstAddress(settingsAddresses(), Platform::workspace()); };
    return operations;
}

PastePermissionSettingsState::PastePermissionSettingsState(QObject* parent)
    : PastePermissionSettingsState(defaultOperations(), parent)
{}

PastePermissionSettingsState::PastePermissionSettingsState(Operations operations, QObject* parent)
    : QObject(parent)
    , operations_(std::move(operations))
{
    isGranted_ = operations_.checkPermission();
}

void PastePermissionSettingsState::refresh()
{
    setGranted(operations_.checkPermission());
}

void PastePermissionSettingsState::openSystemSettings()
{
    refresh();
    if (!isGranted_ && operations_.requestPermission)
        operations_.requestPermission();
    setSettingsOpenFailed(!operations_.openSettings());
    refresh();
}

void PastePermissionSettingsState::setGranted(bool granted)
{
    if (granted == isGranted_)
        return;
    isGranted_ = granted;
    emit isGrantedChanged(granted);
}

void PastePermissionSettingsState::setSettingsOpenFailed(bool failed)
{
    if (failed == settingsOpenFailed_)
        return;
    settingsOpenFailed_ = failed;
    emit settingsOpenFailedChanged(failed);
}
