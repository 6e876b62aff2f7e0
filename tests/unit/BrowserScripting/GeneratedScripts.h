#pragma once

#include <QString>

// The tab-reading script exactly as the page reader generates it, for one browser.
inline QString generatedScript(const QString& bundleID, const QString& windowCondition,
                               const QString& titleProperty)
{
    QString text = QStringLiteral(R"SCRIPT(with timeout of 8 seconds
    tell application id "[BUNDLE-ID]"
        if not running then error "浏览器已退出。" number -600
        set collectedRows to {}
        set firstErrorMessage to ""
        set firstErrorCode to ""
        set browserWindows to every window
        repeat with windowIndex from 1 to count of browserWindows
            try
                set browserWindow to item windowIndex of browserWindows
                if [WINDOW-CONDITION] then
                set windowTabs to every tab of browserWindow
                repeat with tabIndex from 1 to count of windowTabs
                    try
                        set browserTab to item tabIndex of windowTabs
                        set tabURL to URL of browserTab
                        if tabURL is not missing value then
                            set tabURL to tabURL as text
                            if tabURL is not "" then
                                set tabTitle to ""
                                try
                                    set rawTitle to [TITLE-PROPERTY] of browserTab
                                    if rawTitle is not missing value then set tabTitle to rawTitle as text
                                on error errorText number errorNumber
                                    if firstErrorCode is "" then
                                        set firstErrorMessage to errorText
                                        set firstErrorCode to errorNumber as text
                                    end if
                                end try
                                set end of collectedRows to {windowIndex as text, tabIndex as text, tabTitle, tabURL}
                            end if
                        end if
                    on error errorText number errorNumber
                        if firstErrorCode is "" then
                            set firstErrorMessage to errorText
                            set firstErrorCode to errorNumber as text
                        end if
                    end try
                end repeat
                end if
            on error errorText number errorNumber
                if firstErrorCode is "" then
                    set firstErrorMessage to errorText
                    set firstErrorCode to errorNumber as text
                end if
            end try
        end repeat
        return {{"status", firstErrorMessage, firstErrorCode}} & collectedRows
    end tell
end timeout)SCRIPT");
    return text.replace(QStringLiteral("[BUNDLE-ID]"), bundleID)
        .replace(QStringLiteral("[WINDOW-CONDITION]"), windowCondition)
        .replace(QStringLiteral("[TITLE-PROPERTY]"), titleProperty);
}

inline const QString normalWindowsOnly = QStringLiteral("mode of browserWindow is not \"incognito\"");

inline QString chromeScript()
{
    return generatedScript(QStringLiteral("com.google.Chrome"), normalWindowsOnly, QStringLiteral("title"));
}
