#include "Platform/linux/SecretServiceKeychain.h"

#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>

// WORKAROUND: glib's headers use "signals" as a member name, which Qt defines as a keyword macro.
#pragma push_macro("signals")
#undef signals
#include <libsecret/secret.h>
#pragma pop_macro("signals")

namespace Platform {

namespace {

// The generic-password schema; items written by other clients with the same attributes
// are found too.
const SecretSchema* genericSchema()
{
    static const SecretSchema schema = {"org.freedesktop.Secret.Generic",
                                        SECRET_SCHEMA_DONT_MATCH_NAME,
                                        {{"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}}};
    return &schema;
}

struct Outcome {
    std::optional<std::string> secret;
    std::string error;
};

using Work = std::function<Outcome(GCancellable*)>;

Outcome failure(GError* error)
{
    Outcome outcome;
    outcome.error = error && error->message ? error->message : "Secret Service failure";
    g_clear_error(&error);
    return outcome;
}

// Runs the blocking libsecret call on its own thread. At the deadline the call is cancelled
// and left to finish on its own; its late result goes nowhere.
Outcome runBounded(const Work& work, std::chrono::milliseconds deadline)
{
    std::shared_ptr<GCancellable> cancellable(g_cancellable_new(), g_object_unref);
    auto promise = std::make_shared<std::promise<Outcome>>();
    std::future<Outcome> future = promise->get_future();
    std::thread([work, cancellable, promise] { promise->set_value(work(cancellable.get())); }).detach();
    if (future.wait_for(deadline) == std::future_status::timeout) {
        g_cancellable_cancel(cancellable.get());
        throw KeychainError("The Secret Service did not answer in time");
    }
    Outcome outcome = future.get();
    if (!outcome.error.empty())
        throw KeychainError(outcome.error);
    return outcome;
}

} // namespace

SecretServiceKeychain::SecretServiceKeychain(std::chrono::milliseconds deadline)
    : deadline_(deadline)
{}

std::optional<QString> SecretServiceKeychain::read(const QString& service, const QString& account)
{
    const std::string s = service.toStdString();
    const std::string a = account.toStdString();
    const Outcome outcome = runBounded(
        [s, a](GCancellable* cancellable) {
            GError* error = nullptr;
            gchar* secret = secret_password_lookup_sync(genericSchema(), cancellable, &error, "service",
                                                        s.c_str(), "account", a.c_str(), nullptr);
            if (error)
                return failure(error);
            Outcome found;
            if (secret) {
                found.secret = std::string(secret);
                secret_password_free(secret);
            }
            return found;
        },
        deadline_);
    if (!outcome.secret)
        return std::nullopt;
    return QString::fromStdString(*outcome.secret);
}

void SecretServiceKeychain::write(const QString& service, const QString& account, const QString& secret)
{
    const std::string s = service.toStdString();
    const std::string a = account.toStdString();
    const std::string label = "Vellora model API key (" + a + ")";
    const std::string value = secret.toStdString();
    runBounded(
        [s, a, label, value](GCancellable* cancellable) {
            GError* error = nullptr;
            secret_password_store_sync(genericSchema(), SECRET_COLLECTION_DEFAULT, label.c_str(),
                                       value.c_str(), cancellable, &error, "service", s.c_str(), "account",
                                       a.c_str(), nullptr);
            return error ? failure(error) : Outcome();
        },
        deadline_);
}

void SecretServiceKeychain::remove(const QString& service, const QString& account)
{
    const std::string s = service.toStdString();
    const std::string a = account.toStdString();
    runBounded(
        [s, a](GCancellable* cancellable) {
            GError* error = nullptr;
            secret_password_clear_sync(genericSchema(), cancellable, &error, "service", s.c_str(), "account",
                                       a.c_str(), nullptr);
            return error ? failure(error) : Outcome();
        },
        deadline_);
}

} // namespace Platform
