#include "Platform/LogCategories.h"

Q_LOGGING_CATEGORY(logCapture, "vellora.capture", QtWarningMsg)
Q_LOGGING_CATEGORY(logStore, "vellora.store", QtWarningMsg)
Q_LOGGING_CATEGORY(logPaste, "vellora.paste", QtWarningMsg)
Q_LOGGING_CATEGORY(logHotKeys, "vellora.hotkeys", QtWarningMsg)
Q_LOGGING_CATEGORY(logAI, "vellora.ai", QtWarningMsg)
Q_LOGGING_CATEGORY(logBrowserTabs, "vellora.browsertabs", QtWarningMsg)
Q_LOGGING_CATEGORY(logUpdates, "vellora.updates", QtWarningMsg)
