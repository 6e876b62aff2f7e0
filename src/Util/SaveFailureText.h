#pragma once

#include <QString>

namespace SaveFailureText {

// Tells the user which file could not be written and that their changes wait in memory.
QString retryNotice(const QString& path);

} // namespace SaveFailureText
