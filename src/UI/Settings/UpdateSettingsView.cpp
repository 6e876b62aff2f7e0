#include "UI/Settings/UpdateSettingsView.h"

#include "Platform/Bundle.h"
#include "Platform/UpdateFramework.h"
#include "UI/Appearance.h"
#include "UI/Settings/SettingsDetailPage.h"
#include "UI/Settings/SettingsDetailRow.h"
#include "UI/Settings/SettingsDetailSection.h"
#include "UI/Settings/SettingsLabels.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Updates/UpdateSettings.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

using SettingsLabels::plainLabel;
using SettingsLabels::setTextColor;

QString channelTitle(DistributionChannel channel)
{
    return channel == DistributionChannel::direct
               ? Localization::string(QStringLiteral("Website Edition"))
               : Localization::string(QStringLiteral("Mac App Store Edition"));
}

// Who installs this copy's updates: its package manager, Vellora, or the user with the file
// Vellora verified.
QString noteText(const UpdateSettings& settings)
{
    if (!settings.isConfigured())
        return Localization::string(
            QStringLiteral("This copy gets its updates from the package manager that installed it."));
    if (Platform::installsUpdatesItself())
        return Localization::string(
            QStringLiteral("Updates are downloaded securely and installed by Vellora."));
    return Localization::string(
        QStringLiteral("Updates are downloaded securely and verified, then left in the "
                       "Downloads folder for you to install the way you installed this copy."));
}

} // namespace

UpdateSettingsView::UpdateSettingsView(QWidget* parent)
    : UpdateSettingsView(UpdateSettings::shared(), parent)
{}

UpdateSettingsView::UpdateSettingsView(UpdateSettings& settings, QWidget* parent)
    : QWidget(parent)
    , settings_(settings)
{
    build();
    connect(&settings_, &UpdateSettings::canCheckChanged, this, &UpdateSettingsView::refreshState);
    connect(&settings_, &UpdateSettings::statusChanged, this, &UpdateSettingsView::refreshState);
    connect(&settings_, &UpdateSettings::automaticChecksChanged, this, &UpdateSettingsView::refreshState);
    connect(&settings_, &UpdateSettings::automaticDownloadsChanged, this, &UpdateSettingsView::refreshState);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { refreshTexts(); });
    connect(&Appearance::shared(), &Appearance::changed, this, &UpdateSettingsView::refreshTexts);
    refreshTexts();
    refreshState();
}

void UpdateSettingsView::build()
{
    auto* page = new SettingsDetailPage(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);

    section_ = new SettingsDetailSection(QString(), page);
    auto* version = plainLabel(section_, VelloraTypography::body());
    version->setObjectName(QStringLiteral("updatesVersion"));
    version->setText(Platform::mainBundle().appVersion());
    versionRow_ = new SettingsDetailRow(QString(), version, section_);
    channel_ = plainLabel(section_, VelloraTypography::body());
    channel_->setObjectName(QStringLiteral("updatesChannel"));
    channelRow_ = new SettingsDetailRow(QString(), channel_, section_);

    automaticChecks_ = new QCheckBox(section_);
    automaticChecks_->setObjectName(QStringLiteral("updatesAutomaticChecks"));
    connect(automaticChecks_, &QCheckBox::clicked, &settings_, &UpdateSettings::setAutomaticChecks);
    automaticDownloads_ = new QCheckBox(section_);
    automaticDownloads_->setObjectName(QStringLiteral("updatesAutomaticDownloads"));
    connect(automaticDownloads_, &QCheckBox::clicked, &settings_, &UpdateSettings::setAutomaticDownloads);

    check_ = new QPushButton(section_);
    check_->setObjectName(QStringLiteral("updatesCheck"));
    connect(check_, &QPushButton::clicked, &settings_, &UpdateSettings::check);
    auto* checkRow = new QHBoxLayout;
    checkRow->addWidget(check_, 0, Qt::AlignVCenter);
    checkRow->addStretch();

    note_ = plainLabel(section_, VelloraTypography::caption());
    note_->setObjectName(QStringLiteral("updatesNote"));
    note_->setWordWrap(true);
    status_ = plainLabel(section_, VelloraTypography::caption());
    status_->setObjectName(QStringLiteral("updatesStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    section_->addItem(versionRow_);
    section_->addItem(channelRow_);
    section_->addItem(automaticChecks_);
    section_->addItem(automaticDownloads_);
    section_->addLayout(checkRow);
    section_->addItem(note_);
    section_->addItem(status_);
    page->addBlock(section_);
}

void UpdateSettingsView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A window coming back from being minimised is not a new showing of the page.
    if (!event->spontaneous())
        settings_.startIfNeeded();
}

void UpdateSettingsView::refreshTexts()
{
    section_->setTitle(Localization::string(QStringLiteral("Updates")));
    versionRow_->setTitle(Localization::string(QStringLiteral("Installed Version")));
    channelRow_->setTitle(Localization::string(QStringLiteral("Distribution Channel")));
    channel_->setText(channelTitle(settings_.channel()));
    automaticChecks_->setText(Localization::string(QStringLiteral("Automatically check for updates")));
    automaticDownloads_->setText(
        Localization::string(QStringLiteral("Automatically download and install updates")));
    check_->setText(Localization::string(QStringLiteral("Check for Updates")));
    note_->setText(noteText(settings_));
    setTextColor(note_, Theme::chromeTextSecondary());
}

void UpdateSettingsView::refreshState()
{
    const bool configured = settings_.isConfigured();
    automaticChecks_->setChecked(settings_.automaticChecks());
    automaticChecks_->setEnabled(configured);
    automaticDownloads_->setChecked(settings_.automaticDownloads());
    automaticDownloads_->setEnabled(configured && settings_.automaticChecks());
    check_->setEnabled(settings_.canCheck());
    status_->setText(settings_.status().value_or(QString()));
    status_->setVisible(settings_.status().has_value());
}
