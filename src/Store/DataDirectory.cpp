#include "Store/DataDirectory.h"

#include <QStandardPaths>

namespace DataDirectory {

namespace {
bool demoMode = false;
} // namespace

void setDemo(bool demo)
{
    demoMode = demo;
}

bool isDemo()
{
    return demoMode;
}

QString name()
{
    return demoMode ? QStringLiteral("Vellora-Demo") : QStringLiteral("Dorvane");
}

QString local()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/') + name();
}

} // namespace DataDirectory
