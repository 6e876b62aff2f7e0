#include "App/BarCoordinator.h"

#include "App/PasteTargets.h"
#include "BrowserLinks/BrowserShelfModel.h"
#include "UI/Bar/BarSearchField.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/BarWindowController.h"

BarCoordinator::BarCoordinator(Environment environment)
    : env_(std::move(environment))
{}

BarCoordinator::~BarCoordinator() = default;

void BarCoordinator::show()
{
    launchBar_ = false;
    env_.targets.rememberFront(bar_ ? bar_->view()->window() : nullptr);
    BarWindowController& controller = bar();
    const bool wasOnShelf = isOnShelf();
    controller.resetForShow();
    if (wasOnShelf)
        env_.browserShelf.end();
    controller.show();
    controller.setKeyMonitorEnabled(true);
    keyMonitorInstalled_ = true;
}

void BarCoordinator::showOnLaunch()
{
    // A bar the user opened meanwhile stays theirs, with what they typed.
    if (isVisible())
        return;
    show();
    launchBar_ = true;
}

void BarCoordinator::setSource(const BarSource& source)
{
    BarView& view = *bar().view();
    const bool wasOnShelf = isOnShelf();
    view.setSource(source);
    BrowserShelfModel& shelf = env_.browserShelf;
    if (!isOnShelf()) {
        if (wasOnShelf)
            shelf.end();
        return;
    }
    shelf.setQuery(view.searchField()->text());
    if (shelf.session().isOpen())
        shelf.selectFirst();
    else
        shelf.refresh();
}

void BarCoordinator::hide()
{
    env_.browserShelf.end();
    stopKeyMonitor();
    if (bar_)
        bar_->hide();
}

void BarCoordinator::stopKeyMonitor()
{
    if (!keyMonitorInstalled_ || !bar_)
        return;
    keyMonitorInstalled_ = false;
    bar_->setKeyMonitorEnabled(false);
}

bool BarCoordinator::isVisible() const
{
    return bar_ && bar_->phase().isVisible();
}

bool BarCoordinator::isOnShelf() const
{
    return bar_ && bar_->view()->source().kind == BarSource::Kind::browserShelf;
}

void BarCoordinator::release()
{
    stopKeyMonitor();
    bar_.reset();
}

BarWindowController& BarCoordinator::bar()
{
    if (bar_)
        return *bar_;
    bar_ = std::make_unique<BarWindowController>(env_.store, env_.settings, env_.browserShelf);
    QObject::connect(bar_.get(), &BarWindowController::phaseChanged, bar_.get(), [this] { phaseChanged(); });
    QObject::connect(bar_.get(), &BarWindowController::sourceRequested, bar_.get(),
                     [this](const BarSource& source) { setSource(source); });
    env_.wire(*bar_);
    return *bar_;
}

void BarCoordinator::phaseChanged()
{
    if (isVisible())
        return;
    launchBar_ = false;
    // The bar also hides by itself (Escape, a click outside): the shelf ends with it.
    env_.browserShelf.end();
    stopKeyMonitor();
}
