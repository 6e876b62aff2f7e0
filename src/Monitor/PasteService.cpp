#include "Monitor/PasteService.h"

#include "Monitor/ClipboardMonitor.h"
#include "Monitor/PasteboardTypes.h"
#include "Platform/Accessibility.h"
#include "Platform/Bundle.h"
#include "Platform/KeyEvents.h"
#include "Platform/LogCategories.h"
#include "Platform/Pasteboard.h"
#include "Platform/SystemSound.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QMimeData>

namespace {

QByteArray imagePng(const ClipboardStore& store, const ClipItem& item)
{
    if (item.type != ClipType::image)
        return {};
    const std::optional<QString> path = store.imageFilePath(item);
    if (!path)
        return {};
    QFile file(*path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

PasteService::PasteService(ClipboardMonitor& monitor, ClipboardStore& store, Settings& settings,
                           QObject* parent)
    : QObject(parent)
    , monitor_(monitor)
    , store_(store)
    , settings_(settings)
{
    pollTimer_.setInterval(frontmostPollInterval);
    connect(&pollTimer_, &QTimer::timeout, this, &PasteService::pollTarget);
}

bool PasteService::copy(const ClipItem& item, PasteFormat format)
{
    PasteboardContents contents = PasteFormats::contents(item, format, imagePng(store_, item));
    if (contents.isEmpty())
        return false;
    contents.append({PasteboardTypes::source, Platform::mainBundle().bundleIdentifier().toUtf8()});
    monitor_.ignoreChangeCount(Platform::pasteboard().write(PasteFormats::mimeData(contents)));
    return true;
}

void PasteService::paste(const ClipItem& item, PasteFormat format,
                         const std::optional<Platform::RunningApplication>& target,
                         std::function<void(bool)> completion)
{
    advanceGeneration();
    if (!copy(item, format)) {
        completion(false);
        return;
    }
    if (settings_.playSound())
        Platform::systemSound().beep();
    qCDebug(logPaste) << "pasting into"
                      << (target ? target->bundleIdentifier : QStringLiteral("the focused window"))
                      << "process" << (target ? target->processIdentifier : 0) << "window"
                      << (target ? target->windowIdentifier : 0);
    if (target && !Platform::workspace().activate(*target)) {
        completion(false);
        return;
    }
    if (!Platform::accessibility().isTrusted()) {
        completion(false);
        return;
    }
    pending_ = PendingPaste{target, std::move(completion), 0};
    pollTimer_.start();
}

void PasteService::advanceGeneration()
{
    ++generation_;
    if (pending_)
        finish(false);
}

void PasteService::pollTarget()
{
    if (!pending_) {
        pollTimer_.stop();
        return;
    }
    ++pending_->polls;
    if (targetIsInFront(*pending_)) {
        finish(Platform::keyEvents().postKeyStroke(pasteKeyCode, pasteModifiers));
        return;
    }
    if (pending_->polls >= maxFrontmostPolls) {
        qCDebug(logPaste) << "the target did not come to the front in time";
        finish(false);
    }
}

bool PasteService::targetIsInFront(const PendingPaste& paste) const
{
    if (!paste.target)
        return true;
    const std::optional<Platform::RunningApplication> front = Platform::workspace().frontmostApplication();
    if (!front)
        return false;
    // Without a process to compare, or for a window of this process (the bar may still be in
    // front), the window that was in front must be again.
    if (paste.target->processIdentifier <= 0 ||
        paste.target->processIdentifier == QCoreApplication::applicationPid())
        return front->windowIdentifier == paste.target->windowIdentifier;
    return front->processIdentifier == paste.target->processIdentifier;
}

void PasteService::finish(bool posted)
{
    pollTimer_.stop();
    const std::function<void(bool)> completion = std::move(pending_->completion);
    pending_.reset();
    completion(posted);
}
