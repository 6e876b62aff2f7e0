#pragma once

#include "Platform/BrowserScripting.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <chrono>
#include <mutex>
#include <thread>

// Scripted answers for the browser scripting service, and a record of every call with the
// script text it was given. Safe to call from the browser read queue's thread.
class FakeBrowserScripting final : public Platform::BrowserScripting {
public:
    // A script made by compile(), remembering its text.
    class Script final : public Platform::BrowserScript {
    public:
        explicit Script(QString source)
            : source(std::move(source))
        {}
        const QString source;
    };

    bool isRunning(const QString& bundleID) override
    {
        record(QStringLiteral("isRunning ") + bundleID);
        return running.contains(bundleID);
    }
    bool existsOnThisPlatform(const QString&) const override { return true; }
    qint32 automationPermission(const QString& bundleID, bool ask) override
    {
        record(QStringLiteral("automationPermission %1 ask=%2").arg(bundleID, ask ? u"true" : u"false"));
        return permissions.value(bundleID, Platform::ScriptStatus::allowed);
    }
    std::unique_ptr<Platform::BrowserScript> compile(const QString& source) override
    {
        record(QStringLiteral("compile"));
        std::lock_guard lock(mutex_);
        compiledSources.append(source);
        if (!compiles)
            return nullptr;
        return std::make_unique<Script>(source);
    }
    std::variant<Platform::ScriptValue, Platform::ScriptRunError>
    run(const Platform::BrowserScript& script) override
    {
        record(QStringLiteral("run"));
        {
            std::lock_guard lock(mutex_);
            ranSources.append(static_cast<const Script&>(script).source);
        }
        std::this_thread::sleep_for(runDuration);
        return answer;
    }

    // What the service answers.
    QSet<QString> running;
    QHash<QString, qint32> permissions; // allowed unless listed
    bool compiles = true;
    std::variant<Platform::ScriptValue, Platform::ScriptRunError> answer = Platform::ScriptValue::list({});
    // How long run() takes, for checks of the measured time.
    std::chrono::milliseconds runDuration{0};

    // What it was asked, in order.
    QStringList calls;
    QStringList compiledSources;
    QStringList ranSources;

private:
    void record(const QString& call)
    {
        std::lock_guard lock(mutex_);
        calls.append(call);
    }

    std::mutex mutex_;
};
