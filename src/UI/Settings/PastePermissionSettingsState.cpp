#include "UI/Settings/PastePermissionSettingsState.h"

#include "Platform/Accessibility.h"
#include "Platform/Workspace.h"

PastePermissionSettingsState::Operations PastePermissionSettingsState::defaultOperations()
{
    Operations operations;
    operations.checkPermission = [] { return Platform::accessibility().isTrusted(); };
    // Nothing to ask on X11: no prompt can grant XTEST to one application, and no settings page
    // lists applications that send keys. The desktop's own settings program is the nearest
    // place, and a desktop without one is reported, so that the section says so.
    operations.openSettings = [] { return Platform::workspace().openDesktopSettings(); };
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
