#pragma once

#include <QLoggingCategory>

// One logging category per area, for what a report of "my copy was not recorded" or "the
// paste went nowhere" needs. Debug lines are off unless QT_LOGGING_RULES turns an area on
// (e.g. "vellora.capture.debug=true"); warnings always show. The system log keeps its own
// lines.
Q_DECLARE_LOGGING_CATEGORY(logCapture)     // vellora.capture
Q_DECLARE_LOGGING_CATEGORY(logStore)       // vellora.store
Q_DECLARE_LOGGING_CATEGORY(logPaste)       // vellora.paste
Q_DECLARE_LOGGING_CATEGORY(logHotKeys)     // vellora.hotkeys
Q_DECLARE_LOGGING_CATEGORY(logAI)          // vellora.ai
Q_DECLARE_LOGGING_CATEGORY(logBrowserTabs) // vellora.browsertabs
Q_DECLARE_LOGGING_CATEGORY(logUpdates)     // vellora.updates
