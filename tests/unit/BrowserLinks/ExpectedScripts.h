#pragma once

// The tab-listing scripts exactly as each browser must receive them.

constexpr char16_t expectedSafariScript[] = uR"SCRIPT(with timeout of 8 seconds
    tell application id "com.apple.Safari"
        if not running then error "浏览器已退出。" number -600
        set collectedRows to {}
        set firstErrorMessage to ""
        set firstErrorCode to ""
        set browserWindows to every window
        repeat with windowIndex from 1 to count of browserWindows
            try
                set browserWindow to item windowIndex of browserWindows
                if true then
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
                                    set rawTitle to name of browserTab
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
end timeout)SCRIPT";

constexpr char16_t expectedChromeScript[] = uR"SCRIPT(with timeout of 8 seconds
    tell application id "com.google.Chrome"
        if not running then error "浏览器已退出。" number -600
        set collectedRows to {}
        set firstErrorMessage to ""
        set firstErrorCode to ""
        set browserWindows to every window
        repeat with windowIndex from 1 to count of browserWindows
            try
                set browserWindow to item windowIndex of browserWindows
                if mode of browserWindow is not "incognito" then
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
                                    set rawTitle to title of browserTab
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
end timeout)SCRIPT";

constexpr char16_t expectedEdgeScript[] = uR"SCRIPT(with timeout of 8 seconds
    tell application id "com.microsoft.edgemac"
        if not running then error "浏览器已退出。" number -600
        set collectedRows to {}
        set firstErrorMessage to ""
        set firstErrorCode to ""
        set browserWindows to every window
        repeat with windowIndex from 1 to count of browserWindows
            try
                set browserWindow to item windowIndex of browserWindows
                if mode of browserWindow is not "incognito" then
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
                                    set rawTitle to title of browserTab
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
end timeout)SCRIPT";
