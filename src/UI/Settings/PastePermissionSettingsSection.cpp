#include "UI/Settings/PastePermissionSettingsSection.h"

#include "Platform/Workspace.h"
#include "UI/Appearance.h"
#include "UI/Settings/SettingsLabels.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

using SettingsLabels::plainLabel;
using SettingsLabels::setTextColor;

constexpr int statusRowSpacing = 16;
constexpr int statusLineSpacing = 8;
constexpr int stackSpacing = 5;
constexpr int missingAppSpacing = 8;
constexpr int missingAppTopPadding = 4;
constexpr int statusSymbolSize = 12;
constexpr int buttonSymbolSize = 11;

AdaptiveColor grantedColor()
{
    return Theme::adaptiveNS(0x248A3D, 0x30D158);
}

QVBoxLayout* stack(QWidget* owner, int spacing)
{
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

} // namespace

PastePermissionSettingsSection::PastePermissionSettingsSection(QWidget* parent)
    : PastePermissionSettingsSection(PastePermissionSettingsState::defaultOperations(), parent)
{}

PastePermissionSettingsSection::PastePermissionSettingsSection(
    PastePermissionSettingsState::Operations operations, QWidget* parent)
    : SettingsDetailSection(QString(), parent)
    , permission_(new PastePermissionSettingsState(std::move(operations), this))
{
    poll_.setInterval(pollInterval);
    connect(&poll_, &QTimer::timeout, permission_, &PastePermissionSettingsState::refresh);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && isVisible())
            permission_->refresh();
    });
    connect(permission_, &PastePermissionSettingsState::isGrantedChanged, this, [this](bool granted) {
        if (granted)
            setShowingMissingApp(false);
        refreshState();
    });
    connect(permission_, &PastePermissionSettingsState::settingsOpenFailedChanged, this,
            &PastePermissionSettingsSection::refreshState);

    buildStatusRow();
    buildDetails();
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { refreshTexts(); });
    connect(&Appearance::shared(), &Appearance::changed, this, &PastePermissionSettingsSection::refreshState);
    refreshTexts();
    refreshState();
}

void PastePermissionSettingsSection::buildStatusRow()
{
    directPaste_ = plainLabel(this, VelloraTypography::body(), false);
    QFont medium = directPaste_->font();
    medium.setWeight(QFont::Medium);
    directPaste_->setFont(medium);
    statusIcon_ = new QLabel(this);
    status_ = plainLabel(this, VelloraTypography::caption(), false);
    status_->setObjectName(QStringLiteral("pasteStatus"));
    statusDetail_ = plainLabel(this, VelloraTypography::caption(), true);
    statusDetail_->setObjectName(QStringLiteral("pasteStatusDetail"));
    openSettings_ = new QPushButton(this);
    openSettings_->setObjectName(QStringLiteral("pasteOpenSettings"));
    openSettings_->setDefault(true);
    openSettings_->setLayoutDirection(Qt::RightToLeft); // the symbol follows the title
    openSettings_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(openSettings_, &QPushButton::clicked, permission_,
            &PastePermissionSettingsState::openSystemSettings);

    auto* statusLine = new QHBoxLayout;
    statusLine->setSpacing(statusLineSpacing);
    statusLine->addWidget(directPaste_, 0, Qt::AlignVCenter);
    statusLine->addWidget(statusIcon_, 0, Qt::AlignVCenter);
    statusLine->addWidget(status_, 0, Qt::AlignVCenter);
    statusLine->addStretch();

    auto* texts = new QVBoxLayout;
    texts->setSpacing(stackSpacing);
    texts->addLayout(statusLine);
    texts->addWidget(statusDetail_);

    auto* row = new QHBoxLayout;
    row->setSpacing(statusRowSpacing);
    row->addLayout(texts, 1);
    row->addWidget(openSettings_, 0, Qt::AlignVCenter);
    addLayout(row);
}

void PastePermissionSettingsSection::buildDetails()
{
    divider_ = new QFrame(this);
    divider_->setObjectName(QStringLiteral("pasteDivider"));
    divider_->setFrameShape(QFrame::HLine);
    divider_->setFrameShadow(QFrame::Plain);
    addItem(divider_);

    pathBox_ = new QWidget(this);
    QVBoxLayout* path = stack(pathBox_, stackSpacing);
    pathCaption_ = plainLabel(pathBox_, VelloraTypography::caption(), true);
    pathCaption_->setObjectName(QStringLiteral("pastePathCaption"));
    findInstruction_ = plainLabel(pathBox_, VelloraTypography::body(), true);
    findInstruction_->setObjectName(QStringLiteral("pasteFindInstruction"));
    returnInstruction_ = plainLabel(pathBox_, VelloraTypography::caption(), true);
    returnInstruction_->setObjectName(QStringLiteral("pasteReturnInstruction"));
    path->addWidget(pathCaption_);
    path->addWidget(findInstruction_);
    path->addWidget(returnInstruction_);
    addItem(pathBox_);

    openFailedNote_ = plainLabel(this, VelloraTypography::caption(), true);
    openFailedNote_->setObjectName(QStringLiteral("pasteOpenFailedNote"));
    addItem(openFailedNote_);

    missingAppToggle_ = new QToolButton(this);
    missingAppToggle_->setObjectName(QStringLiteral("pasteMissingAppDisclosure"));
    missingAppToggle_->setAutoRaise(true);
    missingAppToggle_->setFont(VelloraTypography::caption());
    missingAppToggle_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(missingAppToggle_, &QToolButton::clicked, this,
            [this] { setShowingMissingApp(!showingMissingApp_); });
    addItem(missingAppToggle_);

    missingAppContent_ = new QWidget(this);
    missingAppContent_->setObjectName(QStringLiteral("pasteMissingAppContent"));
    QVBoxLayout* missing = stack(missingAppContent_, missingAppSpacing);
    missing->setContentsMargins(0, missingAppTopPadding, 0, 0);
    addInstruction_ = plainLabel(missingAppContent_, VelloraTypography::caption(), true);
    revealApp_ = new QPushButton(missingAppContent_);
    revealApp_->setObjectName(QStringLiteral("pasteRevealApp"));
    revealApp_->setFlat(true);
    revealApp_->setCursor(Qt::PointingHandCursor);
    revealApp_->setFont(VelloraTypography::caption());
    revealApp_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(revealApp_, &QPushButton::clicked, this, &PastePermissionSettingsSection::revealApplication);
    missing->addWidget(addInstruction_);
    missing->addWidget(revealApp_, 0, Qt::AlignLeft);
    addItem(missingAppContent_);
}

void PastePermissionSettingsSection::showEvent(QShowEvent* event)
{
    SettingsDetailSection::showEvent(event);
    permission_->refresh();
    poll_.start();
}

void PastePermissionSettingsSection::hideEvent(QHideEvent* event)
{
    poll_.stop();
    SettingsDetailSection::hideEvent(event);
}

void PastePermissionSettingsSection::setShowingMissingApp(bool showing)
{
    showingMissingApp_ = showing;
    refreshState();
}

void PastePermissionSettingsSection::revealApplication()
{
    Platform::workspace().revealFile(QCoreApplication::applicationFilePath());
}

void PastePermissionSettingsSection::refreshTexts()
{
    const QString path =
        Localization::string(QStringLiteral("System Settings → Privacy & Security → Accessibility"));
    setTitle(Localization::string(QStringLiteral("Paste")));
    directPaste_->setText(Localization::string(QStringLiteral("Direct Paste")));
    openSettings_->setText(Localization::string(QStringLiteral("Open System Settings")));
    openSettings_->setToolTip(path);
    pathCaption_->setText(path);
    findInstruction_->setText(Localization::string(QStringLiteral("Find Vellora and turn on its switch.")));
    returnInstruction_->setText(Localization::string(
        QStringLiteral("Return to Vellora to check. If the status stays unchanged, quit and reopen it.")));
    openFailedNote_->setText(
        Localization::string(QStringLiteral("Open System Settings manually, then follow the path above.")));
    missingAppToggle_->setText(Localization::string(QStringLiteral("Vellora is not listed?")));
    addInstruction_->setText(Localization::string(
        QStringLiteral("Click + to add this copy of Vellora, then turn on its switch.")));
    revealApp_->setText(Localization::string(QStringLiteral("Show Vellora in Finder")));
    refreshState();
}

void PastePermissionSettingsSection::refreshState()
{
    const bool granted = permission_->isGranted();
    const bool openFailed = permission_->settingsOpenFailed();
    const QColor secondary = Theme::chromeTextSecondary();
    const QColor statusColor = granted ? QColor(grantedColor()) : secondary;

    status_->setText(granted ? Localization::string(QStringLiteral("Permission enabled"))
                             : Localization::string(QStringLiteral("Permission not enabled")));
    statusIcon_->setPixmap(
        Symbols::pixmap(granted ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle"),
                        statusColor, statusSymbolSize, devicePixelRatioF()));
    setTextColor(status_, statusColor);
    statusDetail_->setText(granted
                               ? Localization::string(QStringLiteral("Ready to paste into the original app."))
                               : Localization::string(QStringLiteral(
                                     "Enable permission to paste selected content into the original app.")));
    openSettings_->setIcon(Symbols::icon(QStringLiteral("arrow.up.forward"),
                                         openSettings_->palette().color(QPalette::ButtonText),
                                         buttonSymbolSize));
    for (QWidget* caption :
         {static_cast<QWidget*>(statusDetail_), static_cast<QWidget*>(pathCaption_),
          static_cast<QWidget*>(returnInstruction_), static_cast<QWidget*>(addInstruction_),
          static_cast<QWidget*>(missingAppToggle_)})
        setTextColor(caption, secondary);
    setTextColor(openFailedNote_, Theme::warning());
    setTextColor(divider_, Theme::cardBorder());
    setTextColor(revealApp_, palette().color(QPalette::Link));

    const bool showsDetails = !granted || openFailed;
    divider_->setVisible(showsDetails);
    pathBox_->setVisible(showsDetails);
    findInstruction_->setVisible(!granted);
    returnInstruction_->setVisible(!granted);
    openFailedNote_->setVisible(openFailed);
    missingAppToggle_->setVisible(!granted);
    missingAppToggle_->setArrowType(showingMissingApp_ ? Qt::DownArrow : Qt::RightArrow);
    missingAppContent_->setVisible(!granted && showingMissingApp_);
}
