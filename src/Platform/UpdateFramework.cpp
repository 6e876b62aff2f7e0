#include "Platform/UpdateFramework.h"

#include "Platform/Defaults.h"
#include "Platform/linux/AppcastUpdater.h"

namespace Platform {

UpdateFramework& updateFramework()
{
    static UpdateFramework framework{
        {},
        [](const Bundle&, const Bundle& application, UpdateUserDriver& userDriver,
           SoftwareUpdaterDelegate& delegate) -> std::unique_ptr<SoftwareUpdater> {
            return std::make_unique<AppcastUpdater>(application, userDriver, delegate, defaults(),
                                                    AppcastUpdater::Environment::system());
        },
    };
    return framework;
}

bool installsUpdatesItself()
{
    return !AppcastUpdater::runningAppImage().isEmpty();
}

} // namespace Platform
