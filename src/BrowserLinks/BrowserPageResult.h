#pragma once

#include "BrowserLinks/BrowserPage.h"
#include "BrowserLinks/LinkBrowser.h"

#include <QList>
#include <QString>
#include <optional>

// The outcome of reading one browser. It may carry pages and an error at once: the read keeps
// going after an error in one window or tab and reports the first such error.
struct BrowserPageResult {
    LinkBrowser browser = LinkBrowser::safari;
    // In the order of the answer's rows; empty on every failure.
    QList<BrowserPage> tabs;
    std::optional<QString> errorMessage;
    // The scripting or platform status number that goes with the failure, where there is one.
    std::optional<qint64> errorCode;
    // Whole milliseconds from the start of the read to its end, truncated.
    qint64 elapsedMs = 0;

    bool operator==(const BrowserPageResult&) const = default;
};
