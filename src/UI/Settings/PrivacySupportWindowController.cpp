#include "UI/Settings/PrivacySupportWindowController.h"

#include "UI/Settings/PrivacySupportView.h"
#include "UI/Settings/SettingsPanel.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace {
const QString supportAddress = QStringLiteral("support@vellora.app");
} // namespace

QString PrivacySupportWindowController::builtInSupportEmail()
{
    return supportAddress;
}

PrivacySupportWindowController::PrivacySupportWindowController(std::optional<PrivacyPolicyCatalog> catalog,
                                                               QObject* parent)
    : QObject(parent)
    , catalog_(std::move(catalog))
{
    buildWindow();
    refreshLocalizedContent();
    centreWindow();
    // Observed through this object, so the registration ends with it.
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { refreshLocalizedContent(); });
}

PrivacySupportWindowController::~PrivacySupportWindowController() = default;

SettingsPanel* PrivacySupportWindowController::window() const
{
    return window_.get();
}

QString PrivacySupportWindowController::contactEmail() const
{
    return catalog_ ? catalog_->supportEmail : supportAddress;
}

void PrivacySupportWindowController::setShowSettings(ShowSettings showSettings)
{
    showSettings_ = std::move(showSettings);
}

void PrivacySupportWindowController::present(PrivacySupportPage page)
{
    navigation_.setPage(page);
    refreshLocalizedContent();
    window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void PrivacySupportWindowController::refreshLocalizedContent()
{
    navigation_.setDocument(catalog_ ? catalog_->document(Localization::shared().resolvedLanguage())
                                     : std::nullopt);
    if (!window_)
        return;
    const std::optional<PrivacyPolicyDocument>& document = navigation_.document();
    if (navigation_.page() == PrivacySupportPage::privacy && document)
        window_->setWindowTitle(document->title);
    else
        window_->setWindowTitle(PrivacySupportPages::title(navigation_.page()));
}

void PrivacySupportWindowController::buildWindow()
{
    window_ = std::make_unique<SettingsPanel>();
    window_->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                            Qt::WindowMaximizeButtonHint | Qt::CustomizeWindowHint);
    window_->setObjectName(QStringLiteral("privacySupportWindow"));
    window_->resize(contentWidth, contentHeight);
    window_->setMinimumSize(minimumWidth, minimumHeight);

    QPointer<PrivacySupportWindowController> self(this);
    view_ = new PrivacySupportView(navigation_, contactEmail(), [self] {
        if (self)
            self->refreshLocalizedContent();
    });
    view_->setOpenSettings([self](SettingsTab tab) {
        if (self && self->showSettings_)
            self->showSettings_(tab);
    });
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
}

void PrivacySupportWindowController::centreWindow()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window_->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window_->move(frame.topLeft());
}
