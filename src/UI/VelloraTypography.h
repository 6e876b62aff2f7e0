#pragma once

#include <QFont>
#include <QString>

// The text styles of every view, all of the application font (the code style monospaced);
// sizes are pixel sizes.
namespace VelloraTypography {
QFont title();   // 14, medium
QFont body();    // 13, regular
QFont control(); // 12, medium
QFont source();  // 12, regular
QFont caption(); // 11, regular
QFont code();    // 11, monospaced

// True when the text looks like code: it contains "func ", "@MainActor" or "error:"
// (case-sensitive).
bool isCode(const QString& text);
} // namespace VelloraTypography
