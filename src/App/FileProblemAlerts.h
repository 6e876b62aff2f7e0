#pragma once

#include <QObject>
#include <QString>
#include <functional>

class ClipboardStore;

// Tells the user, each in an alert once the event loop runs, of problems with the files
// Vellora keeps: a history file that could not be read, a save of the history that failed,
// preferences that could not be read or written.
class FileProblemAlerts final : public QObject {
    Q_OBJECT
public:
    using ShowAlert = std::function<void(const QString& message, const QString& informativeText)>;

    FileProblemAlerts(ClipboardStore& store, ShowAlert showAlert, QObject* parent = nullptr);

    // Once the history is loaded, and whenever a save sets an unreadable file aside.
    void reportUnreadableStore();
    // From now on; a save that fails while quitting is only logged.
    void reportFailedSaves();
    // Now, and for every failed write from now on. An unreadable preferences file keeps its
    // language choice where one can be salvaged.
    void reportPreferenceProblems();

private:
    ClipboardStore& store_;
    ShowAlert showAlert_;
};
