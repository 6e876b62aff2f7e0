#include "UI/Settings/SettingsWindowController.h"

#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace {

constexpr QSize windowSize(640, 420);
constexpr int paneNamePixelSize = 22;

} // namespace

SettingsWindowController::SettingsWindowController(std::function<void()> onClose, QObject* parent)
    : QObject(parent)
    , onClose_(std::move(onClose))
    , window_(std::make_unique<QWidget>())
{
    window_->resize(windowSize);
    window_->installEventFilter(this);
    auto* layout = new QVBoxLayout(window_.get());
    paneLabel_ = new QLabel(window_.get());
    paneLabel_->setAlignment(Qt::AlignCenter);
    paneLabel_->setTextFormat(Qt::PlainText);
    QFont font = paneLabel_->font();
    font.setPixelSize(paneNamePixelSize);
    font.setWeight(QFont::Medium);
    paneLabel_->setFont(font);
    layout->addWidget(paneLabel_);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { refreshLocalizedChrome(); });
    refreshLocalizedChrome();
}

SettingsWindowController::~SettingsWindowController()
{
    window_->removeEventFilter(this);
}

void SettingsWindowController::present(std::optional<SettingsTab> tab)
{
    closeNotificationDelivered_ = false;
    if (tab)
        tab_ = *tab;
    refreshLocalizedChrome();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void SettingsWindowController::refreshLocalizedChrome()
{
    const QString title = Localization::string(SettingsTabs::title(tab_));
    window_->setWindowTitle(title);
    paneLabel_->setText(title);
}

QWidget* SettingsWindowController::window() const
{
    return window_.get();
}

QString SettingsWindowController::paneText() const
{
    return paneLabel_->text();
}

bool SettingsWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_.get() && event->type() == QEvent::Close && !closeNotificationDelivered_) {
        closeNotificationDelivered_ = true;
        if (onClose_)
            onClose_();
    }
    return QObject::eventFilter(watched, event);
}
