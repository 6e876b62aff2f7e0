#include "UI/Settings/SettingsWindowController.h"

#include "UI/Appearance.h"
#include "UI/Settings/SettingsNavigation.h"
#include "UI/Settings/SettingsPages.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QButtonGroup>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString toolbarIdentifier = QStringLiteral("Vellora.Settings");
constexpr int symbolPointSize = 22;
constexpr int toolbarSpacing = 4;
constexpr int toolbarMargin = 6;
constexpr qreal chosenPaneWash = 0.3;

// The background with some of the accent laid over it, opaque: the style draws a translucent
// button colour at full strength on some systems.
QColor washed(const QColor& background, const QColor& accent)
{
    const auto mix = [](int under, int over) { return qRound(under + (over - under) * chosenPaneWash); };
    return QColor(mix(background.red(), accent.red()), mix(background.green(), accent.green()),
                  mix(background.blue(), accent.blue()));
}

QString symbolName(SettingsTab tab)
{
    switch (tab) {
    case SettingsTab::general:
        return QStringLiteral("slider.horizontal.3");
    case SettingsTab::model:
        return QStringLiteral("sparkles");
    case SettingsTab::updates:
        return QStringLiteral("arrow.down.circle");
    case SettingsTab::privacy:
        return QStringLiteral("hand.raised");
    case SettingsTab::about:
        return QStringLiteral("info.circle");
    }
    return {};
}

void centreOnScreen(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(), window.size());
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

} // namespace

SettingsWindowController::SettingsWindowController(const SettingsPageServices& services,
                                                   std::function<void()> onClose, QObject* parent)
    : SettingsWindowController(
          SettingsNavigation::shared(),
          [services](SettingsTab tab) { return makeSettingsPage(tab, services); }, std::move(onClose), parent)
{}

SettingsWindowController::SettingsWindowController(SettingsNavigation& navigation,
                                                   SettingsView::PageFactory makePage,
                                                   std::function<void()> onClose, QObject* parent)
    : QObject(parent)
    , navigation_(navigation)
    , onClose_(std::move(onClose))
    , window_(std::make_unique<SettingsPanel>())
{
    window_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint);
    window_->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    buildToolbar();
    layout->addWidget(paneToolbar_);
    layout->addWidget(new SettingsView(navigation_, std::move(makePage)));

    QPointer<SettingsWindowController> weakSelf(this);
    window_->setOnMovePane([weakSelf](int step) {
        if (weakSelf)
            weakSelf->movePane(step);
    });
    connect(window_.get(), &SettingsPanel::willClose, this, &SettingsWindowController::windowWillClose);
    connect(&navigation_, &SettingsNavigation::tabChanged, this,
            &SettingsWindowController::refreshLocalizedChrome);
    connect(&Appearance::shared(), &Appearance::changed, this, &SettingsWindowController::applyAppearance);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { refreshLocalizedChrome(); });

    applyAppearance();
    window_->adjustSize();
    centreOnScreen(*window_);
    refreshLocalizedChrome();
}

SettingsWindowController::~SettingsWindowController() = default;

QString SettingsWindowController::identifier(SettingsTab tab)
{
    return toolbarIdentifier + QLatin1Char('.') + SettingsTabs::rawValue(tab);
}

std::optional<SettingsTab> SettingsWindowController::pane(const QString& identifier)
{
    for (SettingsTab tab : SettingsTabs::allCases()) {
        if (SettingsWindowController::identifier(tab) == identifier)
            return tab;
    }
    return std::nullopt;
}

SettingsTab SettingsWindowController::tab() const
{
    return navigation_.tab();
}

void SettingsWindowController::present(std::optional<SettingsTab> tab)
{
    closeNotificationDelivered_ = false;
    if (tab)
        navigation_.setTab(*tab);
    refreshLocalizedChrome();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void SettingsWindowController::refreshLocalizedChrome()
{
    window_->setWindowTitle(Localization::string(SettingsTabs::title(navigation_.tab())));
    for (QAbstractButton* button : paneButtons_->buttons()) {
        const std::optional<SettingsTab> tab = pane(button->objectName());
        if (!tab)
            continue;
        const QString label = Localization::string(SettingsTabs::title(*tab));
        button->setText(label);
        button->setToolTip(label);
        button->setAccessibleName(label);
        button->setChecked(*tab == navigation_.tab());
    }
}

void SettingsWindowController::movePane(int step)
{
    const QList<SettingsTab>& tabs = SettingsTabs::allCases();
    const auto count = tabs.size();
    const auto index = tabs.indexOf(navigation_.tab());
    navigation_.setTab(tabs.at(((index + step) % count + count) % count));
    refreshLocalizedChrome();
}

void SettingsWindowController::selectPane(const QString& identifier)
{
    const std::optional<SettingsTab> tab = pane(identifier);
    if (!tab)
        return;
    navigation_.setTab(*tab);
    refreshLocalizedChrome();
}

SettingsPanel* SettingsWindowController::window() const
{
    return window_.get();
}

void SettingsWindowController::buildToolbar()
{
    paneToolbar_ = new QWidget;
    paneToolbar_->setObjectName(toolbarIdentifier);
    auto* row = new QHBoxLayout(paneToolbar_);
    row->setContentsMargins(toolbarMargin, toolbarMargin, toolbarMargin, toolbarMargin);
    row->setSpacing(toolbarSpacing);
    paneButtons_ = new QButtonGroup(paneToolbar_);
    paneButtons_->setExclusive(true);
    row->addStretch(1);
    for (SettingsTab tab : SettingsTabs::allCases()) {
        auto* button = new QToolButton(paneToolbar_);
        button->setObjectName(identifier(tab));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(symbolPointSize, symbolPointSize));
        connect(button, &QToolButton::clicked, this, [this, button] { selectPane(button->objectName()); });
        paneButtons_->addButton(button);
        row->addWidget(button);
    }
    row->addStretch(1);
}

void SettingsWindowController::applyAppearance()
{
    QPalette palette = window_->palette();
    palette.setColor(QPalette::Window, QColor(Theme::chat()));
    window_->setPalette(palette);
    const QColor tint = Theme::chromeTextPrimary();
    // The chosen pane's button lies on a wash of the accent, so that it looks chosen in both looks.
    const QColor chosen = washed(Theme::chat(), Theme::selection());
    for (QAbstractButton* button : paneButtons_->buttons()) {
        if (const std::optional<SettingsTab> tab = pane(button->objectName()))
            button->setIcon(Symbols::icon(symbolName(*tab), tint, symbolPointSize));
        QPalette colours = button->palette();
        colours.setColor(QPalette::Button, chosen);
        button->setPalette(colours);
    }
}

void SettingsWindowController::windowWillClose()
{
    if (closeNotificationDelivered_)
        return;
    closeNotificationDelivered_ = true;
    if (onClose_)
        onClose_();
}
