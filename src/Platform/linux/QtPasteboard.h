#pragma once

#include "Platform/Pasteboard.h"
#include "Platform/linux/ClipboardSnapshot.h"
#include "Platform/linux/XClipboardReader.h"

#include <QObject>
#include <memory>

namespace Platform {

// The clipboard. Copies of other programs are read by an XClipboardReader on its own thread
// and taken here one by one, in copy order, each moving the change count; our own copies
// (through write() or any of our widgets) are known through QClipboard and move it too.
// Types and data are answered from the last copy taken, so reading never waits on another
// program. Without an X server, QClipboard is all there is and answers every change.
class QtPasteboard final : public QObject, public Pasteboard {
    Q_OBJECT
public:
    QtPasteboard();
    ~QtPasteboard() override;

    qint64 changeCount() const override { return changeCount_; }
    QStringList types() const override { return contents_.types(); }
    QByteArray data(const QString& type) const override { return contents_.data(type); }
    std::optional<QString> text() const override;
    qint64 write(QMimeData* contents) override;
    std::optional<RunningApplication> ownerApplication() override;
    void observeCopies(QObject* context, std::function<void()> handler) override;
    bool announcesCopies() const override { return reader_ != nullptr; }

signals:
    void copyTaken();

private:
    void takeQtChange();
    void takeOwnCopy(ClipboardSnapshot snapshot);
    // None: our own copy is the clipboard's content again.
    void takeCopy(std::optional<ClipboardSnapshot> snapshot);

    qint64 changeCount_ = 0;
    bool writing_ = false;
    ClipboardSnapshot contents_;
    // Our last own copy: a copy of another program read late (made before ours) is taken,
    // then ours is the content again.
    std::optional<ClipboardSnapshot> own_;
    std::unique_ptr<XClipboardReader> reader_;
};

} // namespace Platform
