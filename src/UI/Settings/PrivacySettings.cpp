#include "UI/Settings/PrivacySettings.h"

#include "AI/AISharingConsentStore.h"
#include "Platform/Bundle.h"
#include "Platform/Workspace.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "Store/FileAccessStore.h"
#include "UI/Appearance.h"
#include "UI/ContinuousCorners.h"
#include "UI/Settings/ApplicationChooserDialog.h"
#include "UI/Settings/SettingsDetailCard.h"
#include "UI/Settings/SettingsDetailPage.h"
#include "UI/Settings/SettingsLabels.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/AppIconProvider.h"
#include "Util/FileAccessError.h"
#include "Util/FileAccessPresentation.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

using SettingsLabels::plainLabel;
using SettingsLabels::setTextColor;

// Also the least gap around the flexible space of a card's header.
constexpr int headerSpacing = 12;
constexpr int emptyStateSpacing = 6;
constexpr int emptyStatePadding = 16;
constexpr int emptySymbolSize = 22;
constexpr int appListSpacing = 8;
constexpr int appRowSpacing = 10;
constexpr int appRowPadding = 4;
constexpr int appIconSize = 28;
constexpr qreal appIconRadius = 7;
constexpr int appNameSpacing = 1;
constexpr int appNamePixelSize = 13;
constexpr int appIdentifierPixelSize = 10;
constexpr int removeSymbolSize = 16;
constexpr int linkSpacing = 16;
constexpr int addSymbolSize = 11;

AdaptiveColor errorColor()
{
    return Theme::adaptiveNS(0xD70015, 0xFF453A);
}

QFont systemFont(int pixelSize, QFont::Weight weight)
{
    QFont font = VelloraTypography::body();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QPixmap roundedIcon(const QIcon& icon, qreal devicePixelRatio)
{
    const int pixels = qRound(appIconSize * devicePixelRatio);
    QPixmap result(pixels, pixels);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.setClipPath(
        continuousRoundedRect(QRectF(0, 0, pixels, pixels), appIconRadius * devicePixelRatio));
    painter.drawPixmap(QRect(0, 0, pixels, pixels), icon.pixmap(QSize(pixels, pixels)));
    painter.end();
    result.setDevicePixelRatio(devicePixelRatio);
    return result;
}

QPushButton* linkButton(QWidget* parent, const QString& objectName)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(objectName);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(VelloraTypography::control());
    return button;
}

QFrame* divider(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    setTextColor(line, Theme::cardBorder());
    return line;
}

} // namespace

PrivacySettings::PrivacySettings(Settings& settings, AISharingConsentStore& aiConsent,
                                 FileAccessStore& fileAccess, const ClipboardStore& store,
                                 ShowPrivacySupport showPrivacySupport, QWidget* parent)
    : QWidget(parent)
    , settings_(settings)
    , aiConsent_(aiConsent)
    , fileAccess_(fileAccess)
    , store_(store)
    , showPrivacySupport_(std::move(showPrivacySupport))
{
    auto* page = new SettingsDetailPage(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);

    page->addBlock(buildCard(aiTitle_, clearAI_, aiNote_));
    clearAI_->setObjectName(QStringLiteral("privacyClearAI"));
    connect(clearAI_, &QPushButton::clicked, &aiConsent_, &AISharingConsentStore::revokeAll);

    SettingsDetailCard* fileCard = buildCard(fileTitle_, clearFiles_, fileNote_);
    clearFiles_->setObjectName(QStringLiteral("privacyClearFiles"));
    connect(clearFiles_, &QPushButton::clicked, this, &PrivacySettings::clearFileAccess);
    fileStatus_ = plainLabel(fileCard, VelloraTypography::caption(), true);
    fileStatus_->setObjectName(QStringLiteral("privacyFileStatus"));
    fileCard->addItem(fileStatus_);
    page->addBlock(fileCard);

    SettingsDetailCard* appsCard = buildCard(appsTitle_, addApps_, appsNote_);
    addApps_->setObjectName(QStringLiteral("privacyAddApps"));
    connect(addApps_, &QPushButton::clicked, this, &PrivacySettings::chooseApps);
    ignoredApps_ = new QWidget(appsCard);
    ignoredApps_->setObjectName(QStringLiteral("privacyIgnoredApps"));
    ignoredAppsLayout_ = new QVBoxLayout(ignoredApps_);
    ignoredAppsLayout_->setContentsMargins(0, 0, 0, 0);
    ignoredAppsLayout_->setSpacing(appListSpacing);
    appsCard->addItem(ignoredApps_);
    page->addBlock(appsCard);
    page->addBlock(buildLinks());

    connect(&aiConsent_, &AISharingConsentStore::grantsChanged, this, &PrivacySettings::refreshAIConsent);
    connect(&settings_, &Settings::ignoredSourceAppBundleIDsChanged, this,
            &PrivacySettings::rebuildIgnoredApps);
    connect(&Appearance::shared(), &Appearance::changed, this, &PrivacySettings::refreshTexts);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { refreshTexts(); });
    refreshTexts();
    refreshAIConsent();
}

SettingsDetailCard* PrivacySettings::buildCard(QLabel*& title, QPushButton*& button, QLabel*& note)
{
    auto* card = new SettingsDetailCard(this);
    title = plainLabel(card, VelloraTypography::title());
    button = new QPushButton(card);
    button->setFont(VelloraTypography::control());
    auto* header = new QHBoxLayout;
    header->setSpacing(headerSpacing);
    header->addWidget(title, 0, Qt::AlignBaseline);
    header->addStretch(1);
    header->addWidget(button, 0, Qt::AlignBaseline);
    card->addLayout(header);
    note = plainLabel(card, VelloraTypography::caption(), true);
    card->addItem(note);
    return card;
}

QWidget* PrivacySettings::buildLinks()
{
    auto* links = new QWidget(this);
    privacyPolicy_ = linkButton(links, QStringLiteral("privacyPolicyLink"));
    helpAndSupport_ = linkButton(links, QStringLiteral("privacyHelpLink"));
    connect(privacyPolicy_, &QPushButton::clicked, this,
            [this] { showPrivacySupportPage(PrivacySupportPage::privacy); });
    connect(helpAndSupport_, &QPushButton::clicked, this,
            [this] { showPrivacySupportPage(PrivacySupportPage::support); });
    auto* row = new QHBoxLayout(links);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(linkSpacing);
    row->addStretch(1);
    row->addWidget(privacyPolicy_);
    row->addWidget(helpAndSupport_);
    row->addStretch(1);
    return links;
}

void PrivacySettings::showPrivacySupportPage(PrivacySupportPage page)
{
    if (showPrivacySupport_)
        showPrivacySupport_(page);
}

void PrivacySettings::chooseApps()
{
    const QSet<QString> own = ownIdentifiers();
    QList<ClipItem> clips = store_.history();
    for (const Pinboard& pinboard : store_.pinboards())
        clips.append(pinboard.clips);
    for (const QString& identifier : ApplicationChooserDialog::chooseApplications(this, clips)) {
        if (!identifier.isEmpty() && !own.contains(identifier) &&
            !Platform::mainBundle().isOwnApplication(identifier))
            settings_.addIgnoredSourceApp(identifier);
    }
}

// Vellora under every name the desktop may give it: its own identifier, and whatever names a
// window of this process (its window class where no desktop entry describes it).
QSet<QString> PrivacySettings::ownIdentifiers()
{
    QSet<QString> identifiers{Platform::mainBundle().bundleIdentifier()};
    const qint64 ownProcess = QCoreApplication::applicationPid();
    for (const Platform::RunningApplication& running : Platform::workspace().runningApplications()) {
        if (running.processIdentifier == ownProcess)
            identifiers.insert(running.bundleIdentifier);
    }
    return identifiers;
}

QString PrivacySettings::applicationName(const QString& bundleIdentifier)
{
    const Platform::ApplicationInfo info = Platform::workspace().applicationInfo(bundleIdentifier);
    return info.installed && !info.name.isEmpty() ? info.name : bundleIdentifier;
}

void PrivacySettings::clearFileAccess()
{
    // A failed save still clears the table in memory, so the cards check their files again.
    filePermissionError_.reset();
    try {
        fileAccess_.save({});
    } catch (const FileAccessError& error) {
        filePermissionError_ = error.localizedDescription();
    }
    FileAccessPresentationState::shared().refresh();
    if (!filePermissionError_)
        filePermissionsCleared_ = true;
    refreshFileStatus();
}

QWidget* PrivacySettings::ignoredAppRow(const QString& bundleIdentifier)
{
    auto* row = new QWidget(ignoredApps_);
    row->setObjectName(QStringLiteral("privacyIgnoredApp"));
    row->setProperty("bundleIdentifier", bundleIdentifier);
    const QString name = applicationName(bundleIdentifier);

    auto* icon = new QLabel(row);
    icon->setFixedSize(appIconSize, appIconSize);
    icon->setPixmap(roundedIcon(AppIconProvider::icon(bundleIdentifier), devicePixelRatioF()));

    auto* nameLabel = plainLabel(row, systemFont(appNamePixelSize, QFont::Medium));
    nameLabel->setObjectName(QStringLiteral("privacyIgnoredAppName"));
    nameLabel->setText(name);
    auto* identifierLabel = plainLabel(row, systemFont(appIdentifierPixelSize, QFont::Normal));
    identifierLabel->setText(bundleIdentifier);
    setTextColor(identifierLabel, Theme::chromeTextSecondary());
    auto* names = new QVBoxLayout;
    names->setSpacing(appNameSpacing);
    names->addWidget(nameLabel);
    names->addWidget(identifierLabel);

    auto* remove = new QToolButton(row);
    remove->setObjectName(QStringLiteral("privacyRemoveApp"));
    remove->setAutoRaise(true);
    remove->setIcon(
        Symbols::icon(QStringLiteral("minus.circle.fill"), Theme::chromeTextSecondary(), removeSymbolSize));
    remove->setToolTip(Localization::format(QStringLiteral("Allow clips from %@"), name));
    remove->setAccessibleName(remove->toolTip());
    connect(remove, &QToolButton::clicked, this,
            [this, bundleIdentifier] { settings_.removeIgnoredSourceApp(bundleIdentifier); });

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, appRowPadding, 0, appRowPadding);
    layout->setSpacing(appRowSpacing);
    layout->addWidget(icon, 0, Qt::AlignVCenter);
    layout->addLayout(names, 1);
    layout->addWidget(remove, 0, Qt::AlignVCenter);
    return row;
}

QWidget* PrivacySettings::emptyState()
{
    auto* column = new QWidget(ignoredApps_);
    column->setObjectName(QStringLiteral("privacyNoIgnoredApps"));
    auto* symbol = new QLabel(column);
    symbol->setAlignment(Qt::AlignCenter);
    symbol->setPixmap(Symbols::pixmap(QStringLiteral("hand.raised"), Theme::chromeTextTertiary(),
                                      emptySymbolSize, devicePixelRatioF()));
    auto* title = plainLabel(column, VelloraTypography::control(), true);
    title->setText(Localization::string(QStringLiteral("No apps excluded")));
    setTextColor(title, Theme::chromeTextSecondary());
    auto* detail = plainLabel(column, VelloraTypography::caption(), true);
    detail->setText(
        Localization::string(QStringLiteral("Add an app to keep its copied content out of Vellora.")));
    setTextColor(detail, Theme::chromeTextTertiary());
    column->setAccessibleName(title->text() + QLatin1Char(' ') + detail->text());

    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, emptyStatePadding, 0, emptyStatePadding);
    layout->setSpacing(emptyStateSpacing);
    for (QLabel* label : {symbol, title, detail}) {
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    return column;
}

void PrivacySettings::rebuildIgnoredApps()
{
    // Deferred: the row whose button was pressed may be the one asking for the rebuild.
    for (QWidget* old : ignoredApps_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        old->hide();
        old->setParent(nullptr);
        old->deleteLater();
    }
    const QStringList identifiers = settings_.ignoredSourceAppBundleIDs();
    if (identifiers.isEmpty()) {
        ignoredAppsLayout_->addWidget(emptyState());
        return;
    }
    for (qsizetype i = 0; i < identifiers.size(); ++i) {
        if (i > 0)
            ignoredAppsLayout_->addWidget(divider(ignoredApps_));
        ignoredAppsLayout_->addWidget(ignoredAppRow(identifiers.at(i)));
    }
}

void PrivacySettings::refreshTexts()
{
    aiTitle_->setText(Localization::string(QStringLiteral("AI Sending Permissions")));
    clearAI_->setText(Localization::string(QStringLiteral("Clear AI Sending Permissions")));
    aiNote_->setText(
        Localization::string(QStringLiteral("Clear permissions to confirm the destination and sharing "
                                            "scope again before the next send. Requests already sent "
                                            "are not recalled.")));
    fileTitle_->setText(Localization::string(QStringLiteral("File Access Permissions")));
    clearFiles_->setText(Localization::string(QStringLiteral("Clear Saved File Access")));
    fileNote_->setText(Localization::string(QStringLiteral(
        "Saved file permissions stay on this Mac. Clearing them takes effect after current access "
        "ends; restart Vellora to release access from this session.")));
    appsTitle_->setText(Localization::string(QStringLiteral("Excluded Apps")));
    addApps_->setText(Localization::string(QStringLiteral("Add Apps")));
    addApps_->setIcon(Symbols::icon(QStringLiteral("plus"), addApps_->palette().color(QPalette::ButtonText),
                                    addSymbolSize));
    appsNote_->setText(Localization::string(QStringLiteral(
        "Vellora will not save anything copied while one of these apps is frontmost. Copies made "
        "from a browser extension are attributed to the browser, so add that too if you use one.")));
    privacyPolicy_->setText(Localization::string(QStringLiteral("Privacy Policy")));
    helpAndSupport_->setText(
        Localization::string(QStringLiteral("Help & Support")).replace(u'&', QStringLiteral("&&")));
    for (QLabel* note : {aiNote_, fileNote_, appsNote_})
        setTextColor(note, Theme::chromeTextSecondary());
    for (QPushButton* link : {privacyPolicy_, helpAndSupport_})
        setTextColor(link, palette().color(QPalette::Link));
    refreshFileStatus();
    rebuildIgnoredApps();
}

void PrivacySettings::refreshAIConsent()
{
    clearAI_->setEnabled(!aiConsent_.grants().isEmpty());
}

void PrivacySettings::refreshFileStatus()
{
    if (filePermissionError_) {
        fileStatus_->setText(*filePermissionError_);
        setTextColor(fileStatus_, errorColor());
    } else if (filePermissionsCleared_) {
        fileStatus_->setText(Localization::string(QStringLiteral("Saved file permissions cleared.")));
        setTextColor(fileStatus_, Theme::chromeTextSecondary());
    } else {
        fileStatus_->clear();
    }
    fileStatus_->setVisible(filePermissionError_ || filePermissionsCleared_);
}
