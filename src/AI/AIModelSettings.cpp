#include "AI/AIModelSettings.h"

#include "AI/ModelError.h"
#include "Platform/Defaults.h"
#include "Platform/Keychain.h"

AIModelSettings& AIModelSettings::shared()
{
    static AIModelSettings* instance = new AIModelSettings(Platform::defaults(), Platform::keychain());
    return *instance;
}

AIModelSettings::AIModelSettings(Platform::Defaults& defaults, Platform::Keychain& keychain, QObject* parent)
    : QObject(parent)
    , defaults_(defaults)
    , keychain_(keychain)
    , library_(ModelLibrary::fromJson(defaults.value(ModelLibrary::storageKey)).value_or(ModelLibrary()))
{}

bool AIModelSettings::isConfigured() const
{
    const std::optional<SavedModel> active = library_.activeModel();
    if (!active)
        return false;
    try {
        active->configuration.endpoint();
        return true;
    } catch (const ModelError&) {
        return false;
    }
}

ModelConfiguration AIModelSettings::configuration() const
{
    const std::optional<SavedModel> active = library_.activeModel();
    return active ? active->configuration : ModelConfiguration();
}

void AIModelSettings::commit(const ModelLibrary& library)
{
    defaults_.setValue(ModelLibrary::storageKey, library.toJson());
    const std::optional<SavedModel> active = library.activeModel();
    defaults_.setValue(ModelConfiguration::storageKey,
                       (active ? active->configuration : ModelConfiguration()).toJson());
    if (library == library_)
        return;
    library_ = library;
    emit libraryChanged();
}

void AIModelSettings::save(const SavedModel& model, const std::optional<QString>& key)
{
    ModelLibrary updated = library_;
    updated.upsert(model);
    if (key) {
        const QString account = model.configuration.endpoint().toString(QUrl::FullyEncoded);
        const QString trimmed = key->trimmed();
        if (trimmed.isEmpty())
            keychain_.remove(account);
        else
            keychain_.save(account, trimmed);
    }
    commit(updated);
}

ModelCredentials AIModelSettings::activeCredentials() const
{
    const ModelConfiguration active = configuration();
    const QString account = active.endpoint().toString(QUrl::FullyEncoded);
    return {active, keychain_.read(account)};
}
