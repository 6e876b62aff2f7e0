#pragma once

#include "AI/ModelKeychain.h"
#include "AI/ModelLibrary.h"

#include <QObject>

namespace Platform {
class Defaults;
}

// The configuration and key of one send, as the conversation asks for them.
struct ModelCredentials {
    ModelConfiguration configuration;
    QString key;
};

// The model library and the keys of its models, for the life of the application.
class AIModelSettings final : public QObject {
    Q_OBJECT
public:
    // Over Platform::defaults() and Platform::keychain().
    static AIModelSettings& shared();

    // Loads the library stored under ModelLibrary::storageKey; data that does not decode
    // loads as an empty library and stays stored until the next commit.
    AIModelSettings(Platform::Defaults& defaults, Platform::Keychain& keychain, QObject* parent = nullptr);

    const ModelLibrary& library() const { return library_; }
    ModelKeychain& keychain() { return keychain_; }

    // An active model exists and its endpoint is valid.
    bool isConfigured() const;
    // The active model's configuration, else the default configuration.
    ModelConfiguration configuration() const;

    // Stores the library and the active configuration (or the default one), then publishes
    // the library; libraryChanged only when it differs from the current one.
    void commit(const ModelLibrary& library);

    // Upserts the model into a copy of the library; with a key, stores it trimmed for the
    // model's endpoint (an empty key deletes the stored one); then commits. Throws ModelError;
    // a throw leaves the stored library unchanged.
    void save(const SavedModel& model, const std::optional<QString>& key);

    // The active configuration and the key stored for its endpoint ("" when none). Throws
    // ModelError for an invalid endpoint or a keychain failure.
    ModelCredentials activeCredentials() const;

signals:
    void libraryChanged();

private:
    Platform::Defaults& defaults_;
    ModelKeychain keychain_;
    ModelLibrary library_;
};
