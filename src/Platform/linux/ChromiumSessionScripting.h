#pragma once

#include "Platform/BrowserScripting.h"
#include "Platform/linux/ChromiumProcesses.h"

#include <functional>

namespace Platform {

class ChromiumTabScript;
class ChromiumUserDataFolder;

// Browsers on Linux offer no scripting service. Chrome-family browsers keep the open windows
// and tabs of each profile in a session file that they rewrite within seconds of every
// change; this service carries out the tab-reading script by reading those files, and answers
// exactly as the script would. The files are found in the browsers' default folders and in
// the folders that running browsers were started on. Safari has no Linux build and never runs.
class ChromiumSessionScripting final : public BrowserScripting {
public:
    // Milliseconds on a monotonic clock; tests pass their own.
    using Clock = std::function<qint64()>;

    explicit ChromiumSessionScripting(Clock clock = {}, ChromiumProcesses::Scope processes = {});

    bool isRunning(const QString& bundleID) override;
    bool existsOnThisPlatform(const QString& bundleID) const override;
    qint32 automationPermission(const QString& bundleID, bool ask) override;
    std::unique_ptr<BrowserScript> compile(const QString& source) override;
    std::variant<ScriptValue, ScriptRunError> run(const BrowserScript& script) override;

private:
    std::variant<ScriptValue, ScriptRunError> runTabScript(const ChromiumTabScript& script) const;
    QList<ChromiumUserDataFolder> runningFolders(const QString& bundleID,
                                                 const QList<ChromiumProcesses::Process>& processes) const;

    Clock clock_;
    ChromiumProcesses::Scope processes_;
};

} // namespace Platform
