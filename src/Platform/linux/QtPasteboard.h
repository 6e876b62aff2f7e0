#pragma once

#include "Platform/Pasteboard.h"

#include <QObject>

namespace Platform {

// The clipboard through QClipboard. The change count is bumped on every changed() signal of
// the CLIPBOARD mode, which Qt emits for our own writes and, through XFixes, for every new
// owner of the selection.
class QtPasteboard final : public QObject, public Pasteboard {
    Q_OBJECT
public:
    QtPasteboard();

    qint64 changeCount() const override { return changeCount_; }
    QStringList types() const override;
    QByteArray data(const QString& type) const override;
    std::optional<QString> text() const override;
    qint64 write(QMimeData* contents) override;
    std::optional<RunningApplication> ownerApplication() override;

private:
    qint64 changeCount_ = 0;
};

} // namespace Platform
