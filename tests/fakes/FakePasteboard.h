#pragma once

#include "Platform/Pasteboard.h"

#include <QMimeData>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <utility>

// A clipboard in memory. setContents() plays a copy made by another application; write()
// is ours. Counts the reads of each type so tests can tell an idle tick reads nothing.
class FakePasteboard final : public Platform::Pasteboard {
public:
    qint64 changeCount() const override { return count; }
    QStringList types() const override
    {
        ++reads;
        QStringList list;
        for (const auto& [type, bytes] : entries)
            list.append(type);
        return list;
    }
    QByteArray data(const QString& type) const override
    {
        ++reads;
        for (const auto& [entryType, bytes] : entries) {
            if (entryType == type)
                return bytes;
        }
        return {};
    }
    std::optional<QString> text() const override
    {
        const QByteArray bytes = data(QStringLiteral("text/plain"));
        if (bytes.isEmpty())
            return std::nullopt;
        return QString::fromUtf8(bytes);
    }
    qint64 write(QMimeData* contents) override
    {
        entries.clear();
        for (const QString& format : contents->formats())
            entries.append({format, contents->data(format)});
        delete contents;
        owner = ownApplication;
        return ++count;
    }
    std::optional<Platform::RunningApplication> ownerApplication() override { return owner; }
    void observeCopies(QObject* context, std::function<void()> handler) override
    {
        observers.append({context, std::move(handler)});
    }
    bool announcesCopies() const override { return notifiesCopies; }

    // Another application copies: new contents, a new owner, the count moves.
    void setContents(QList<std::pair<QString, QByteArray>> newEntries,
                     std::optional<Platform::RunningApplication> newOwner = std::nullopt)
    {
        entries = std::move(newEntries);
        owner = std::move(newOwner);
        ++count;
        if (notifiesCopies) {
            for (const auto& [context, handler] : observers) {
                if (context)
                    handler();
            }
        }
    }
    QByteArray written(const QString& type) const { return data(type); }

    QList<std::pair<QString, QByteArray>> entries;
    std::optional<Platform::RunningApplication> owner;
    std::optional<Platform::RunningApplication> ownApplication;
    qint64 count = 0;
    mutable int reads = 0;
    // Off: copies are seen only by the monitor's tick, as by a clipboard that tells nothing.
    bool notifiesCopies = true;
    QList<std::pair<QPointer<QObject>, std::function<void()>>> observers;
};
