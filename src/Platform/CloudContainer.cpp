#include "Platform/CloudContainer.h"

#include "Platform/Bundle.h"
#include "Platform/HttpsGet.h"
#include "Platform/linux/HttpsCloudContainer.h"
#include "Platform/linux/UnsignedCloudContainer.h"

namespace Platform {

namespace {
CloudContainer* installedFake = nullptr;

// The container of a build that names a record address, else one that entitles nothing.
std::unique_ptr<CloudContainer> makeContainer()
{
    const Bundle& bundle = mainBundle();
    const QString address = bundle.infoString(QStringLiteral("VelloraPublicConfigurationURL"));
    if (address.isEmpty())
        return std::make_unique<UnsignedCloudContainer>();
    return std::make_unique<HttpsCloudContainer>(
        QUrl(address, QUrl::StrictMode),
        bundle.infoString(QStringLiteral("VelloraPublicConfigContainerIdentifier")), HttpsGet::systemTls());
}
} // namespace

CloudContainer& cloudContainer()
{
    if (installedFake)
        return *installedFake;
    static const std::unique_ptr<CloudContainer> real = makeContainer();
    return *real;
}

void setCloudContainerForTesting(CloudContainer* fake)
{
    installedFake = fake;
}

} // namespace Platform
