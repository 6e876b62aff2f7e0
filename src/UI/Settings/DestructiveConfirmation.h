#pragma once

#include <QString>
#include <functional>

class QMessageBox;
class QObject;
class QWidget;

// Opens a window-modal warning that asks before something that can't be undone. Cancel is
// the default and the Escape answer, so Return never confirms by accident. The box is wide
// enough for its whole title and stands beside `subject`, the value it asks about, rather than
// over it. Once answered the box deletes itself and `answered` hears whether the destructive
// action was chosen; it runs only while `context` exists.
QMessageBox* openDestructiveConfirmation(QWidget* window, const QWidget* subject, const QString& title,
                                         const QString& message, const QString& actionTitle, QObject* context,
                                         std::function<void(bool confirmed)> answered);
