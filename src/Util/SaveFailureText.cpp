#include "Util/SaveFailureText.h"

#include "Util/Localization.h"

namespace SaveFailureText {

QString retryNotice(const QString& path)
{
    return Localization::format(
        QStringLiteral("Could not write %@. Vellora keeps your changes and tries again with the next "
                       "change and when it quits."),
        path);
}

} // namespace SaveFailureText
