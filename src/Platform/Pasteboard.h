#pragma once

#include "Platform/Workspace.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QMimeData;
class QObject;

namespace Platform {

// The general pasteboard: the desktop's clipboard (on X11 the CLIPBOARD selection, not the
// primary selection). Types are MIME types. Reading never waits on another program: the
// types and data are those of the last copy read, which the change count stands for.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    // Our own counter, moved by every change of the clipboard, our own writes included.
    virtual qint64 changeCount() const = 0;
    virtual QStringList types() const = 0;
    // Empty when the type is not offered.
    virtual QByteArray data(const QString& type) const = 0;
    // The plain text, decoded from whichever text type is offered; none without text.
    virtual std::optional<QString> text() const = 0;
    // Replaces the contents, taking ownership, and answers the change count after the write.
    virtual qint64 write(QMimeData* contents) = 0;
    // The application whose window owns the clipboard, when it can be found.
    virtual std::optional<RunningApplication> ownerApplication() = 0;
    // Calls the handler on the main thread as soon as each copy of another program has been
    // read, in the order they were made, with the change count already moved for it; until
    // `context` is destroyed.
    virtual void observeCopies(QObject* context, std::function<void()> handler) = 0;
    // Whether observeCopies() hears of every copy (X11 with XFixes); else a copy shows only in
    // the change count.
    virtual bool announcesCopies() const = 0;
};

// The process-wide instance (Linux: QClipboard on the X11 CLIPBOARD selection).
Pasteboard& pasteboard();
// Tests install tests/fakes/FakePasteboard; nullptr restores the real one.
void setPasteboardForTesting(Pasteboard* fake);

} // namespace Platform
