#pragma once

#include <QString>
#include <QVariantList>

namespace Platform {

// The few texts that the platform layer hands to the user (inside answers that the
// application shows as they are) are written as English formats with "%@" and "%lld"
// placeholders. The application installs the look-up of its own string tables here; until
// it does, the English format is filled in as it stands. Callable from any thread.
using UserTextFormatter = QString (*)(const QString& englishFormat, const QVariantList& arguments);

void setUserTextFormatter(UserTextFormatter formatter);
QString userText(const QString& englishFormat, const QVariantList& arguments = {});

} // namespace Platform
