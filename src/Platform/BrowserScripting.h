#pragma once

#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <variant>

namespace Platform {

// One value of a script's answer: a text, or a list of values.
class ScriptValue {
public:
    static ScriptValue text(const QString& text);
    static ScriptValue list(const QList<ScriptValue>& items);

    bool isList() const { return isList_; }
    // The number of items of a list; 0 for a text.
    qsizetype count() const { return isList_ ? items_.size() : 0; }
    // The item at a 1-based index; none outside the list or for a text.
    std::optional<ScriptValue> item(qsizetype oneBasedIndex) const;
    // The text; none for a list.
    std::optional<QString> stringValue() const;

    bool operator==(const ScriptValue&) const = default;

private:
    bool isList_ = false;
    QString text_;
    QList<ScriptValue> items_;
};

// A script run that failed: the status number when the platform gave one, and its message.
struct ScriptRunError {
    std::optional<qint64> number;
    QString message;

    bool operator==(const ScriptRunError&) const = default;
};

// A script made ready to run.
class BrowserScript {
public:
    virtual ~BrowserScript() = default;
};

// Status numbers of the scripting service that callers rely on.
namespace ScriptStatus {
constexpr qint32 allowed = 0;
constexpr qint32 badParameter = -50;
constexpr qint32 notRunning = -600;
constexpr qint32 timedOut = -1712;
constexpr qint32 noSuchObject = -1728;
constexpr qint32 notPermitted = -1743;
} // namespace ScriptStatus

// Sends the generated tab-reading scripts to web browsers. Every member may be called from a
// background thread; none touches the GUI.
class BrowserScripting {
public:
    virtual ~BrowserScripting() = default;

    // Whether an application with this bundle identifier runs now.
    virtual bool isRunning(const QString& bundleID) = 0;
    // Whether that browser has a build for this platform at all.
    virtual bool existsOnThisPlatform(const QString& bundleID) const = 0;
    // Whether this application may send scripting commands to that one: ScriptStatus::allowed,
    // or the status that says why not. Asks the user only when ask is true.
    virtual qint32 automationPermission(const QString& bundleID, bool ask) = 0;
    // The script made from its text, or null when the text can't be made into one.
    virtual std::unique_ptr<BrowserScript> compile(const QString& source) = 0;
    // Runs a script made by compile(), waiting for its answer.
    virtual std::variant<ScriptValue, ScriptRunError> run(const BrowserScript& script) = 0;
};

// What a tab-listing script asks of a browser.
struct TabScriptRequest {
    QString bundleID;
    int timeoutSeconds = 0;
    // Whether the script passes over incognito windows or visits every window.
    bool skipsIncognito = false;
    // "title" or "name": the tab property the script reads as its title.
    QString titleProperty;
};

// A service that can't run scripts carries out only the texts the page reader writes, known
// by their exact text. The layer that writes them installs the look-up at start-up; until it
// does, no text is known (and a warning says so). Callable from any thread.
using TabScriptCatalogue = std::optional<TabScriptRequest> (*)(const QString& source);
void setTabScriptCatalogue(TabScriptCatalogue catalogue);
std::optional<TabScriptRequest> knownTabScript(const QString& source);

// The process-wide service.
BrowserScripting& browserScripting();
// Tests install a fake; nullptr restores the real one.
void setBrowserScriptingForTesting(BrowserScripting* fake);

} // namespace Platform
