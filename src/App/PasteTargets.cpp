#include "App/PasteTargets.h"

#include "App/LaunchOptions.h"
#include "Platform/Bundle.h"

#include <QCoreApplication>
#include <QStringList>
#include <QWidget>

namespace {

// Desktop entries of the text editors that "--demo-paste-to-textedit" pastes into, in order
// of preference.
const QStringList textEditorIDs = {
    QStringLiteral("org.gnome.TextEditor"),
    QStringLiteral("org.gnome.gedit"),
    QStringLiteral("org.kde.kate"),
    QStringLiteral("org.kde.kwrite"),
    QStringLiteral("org.xfce.mousepad"),
    QStringLiteral("xed"),
    QStringLiteral("pluma"),
};

bool isOwnProcess(const Platform::RunningApplication& application)
{
    return application.processIdentifier == QCoreApplication::applicationPid() ||
           Platform::mainBundle().isOwnApplication(application.bundleIdentifier);
}

// A shown window of this process in front, other than the bar.
std::optional<Platform::RunningApplication> ownFrontWindow(const QWidget* barWindow)
{
    std::optional<Platform::RunningApplication> front = Platform::workspace().frontmostApplication();
    if (!front || front->processIdentifier != QCoreApplication::applicationPid() ||
        front->windowIdentifier == 0)
        return std::nullopt;
    const QWidget* window = QWidget::find(WId(front->windowIdentifier));
    if (!window || !window->isVisible() || window == barWindow)
        return std::nullopt;
    return front;
}

} // namespace

PasteTargets::PasteTargets(const LaunchOptions& options)
    : options_(options)
{}

void PasteTargets::rememberFront(const QWidget* barWindow)
{
    if (const std::optional<Platform::RunningApplication> front = rememberableFrontApplication())
        barTarget_ = front;
    ownWindowTarget_ = ownFrontWindow(barWindow);
}

std::optional<Platform::RunningApplication> PasteTargets::pasteTarget() const
{
    if (options_.demo && options_.demoPasteToTextEditor) {
        const QList<Platform::RunningApplication> running = Platform::workspace().runningApplications();
        for (const QString& editor : textEditorIDs) {
            for (const Platform::RunningApplication& application : running) {
                if (application.bundleIdentifier == editor)
                    return application;
            }
        }
    }
    return barTarget_;
}

std::optional<Platform::RunningApplication> PasteTargets::clipPasteTarget() const
{
    return ownWindowTarget_ && ownWindowTarget_->windowIdentifier &&
                   QWidget::find(WId(ownWindowTarget_->windowIdentifier))
               ? ownWindowTarget_
               : pasteTarget();
}

std::optional<Platform::RunningApplication> PasteTargets::rememberableFrontApplication()
{
    std::optional<Platform::RunningApplication> front = Platform::workspace().frontmostApplication();
    if (front && isOwnProcess(*front))
        return std::nullopt;
    return front;
}

bool PasteTargets::isUsable(const std::optional<Platform::RunningApplication>& target)
{
    if (!target || isOwnProcess(*target))
        return false;
    if (target->processIdentifier > 0)
        return Platform::workspace().isRunning(target->processIdentifier);
    return Platform::workspace().applicationForWindow(target->windowIdentifier).has_value();
}
