#include "UI/Settings/AboutView.h"

#include "Platform/Bundle.h"
#include "Platform/Workspace.h"
#include "PublicConfiguration/PublicConfigurationStore.h"
#include "UI/ActivitySpinner.h"
#include "UI/Appearance.h"
#include "UI/Settings/SettingsDetailCard.h"
#include "UI/Settings/SettingsDetailPage.h"
#include "UI/Settings/ThirdPartyLicensesView.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/VelloraMark.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QApplication>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>

namespace {

constexpr int markSize = 64;
constexpr int brandSpacing = 12;
constexpr int brandLineSpacing = 5;
constexpr int brandTopPadding = 6;
constexpr int brandBottomPadding = 4;
constexpr int productNamePixelSize = 24;
constexpr int authorSpacing = 8;
constexpr int authorNamePixelSize = 15;
constexpr int websiteLinkGap = 2;
constexpr int productRowPadding = 4;
constexpr int productTextSpacing = 3;
constexpr int productArrowMinimumGap = 12;
constexpr int productArrowSize = 11;
constexpr int linkIconSize = 12;
constexpr int statusSpacing = 8;
constexpr int refreshRowSpacing = 8;
constexpr int lastUpdatedSpacing = 6;
constexpr int footerSpacing = 18;
constexpr int footerTopPadding = 2;
constexpr int footerLinkSpacing = 16;
constexpr int stackedFooterLinkSpacing = 10;

const char* const urlProperty = "aboutLinkURL";

QFont systemFont(int pixelSize, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QLabel* textLabel(const QString& text, const QFont& font, const AdaptiveColor& color,
                  Qt::Alignment alignment = Qt::AlignCenter)
{
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setAlignment(alignment);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

QPushButton* linkButton(const QString& text)
{
    // A button reads "&" as the mark of its mnemonic.
    auto* button = new QPushButton(QString(text).replace(u'&', QStringLiteral("&&")));
    button->setFlat(true);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(VelloraTypography::control());
    // Only a link that can be used takes the link's colour; a disabled one keeps the dimmed text.
    QPalette palette = button->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::ButtonText, palette.color(group, QPalette::Link));
    button->setPalette(palette);
    return button;
}

QWidget* verticalStack(int spacing, QBoxLayout** layout)
{
    auto* stack = new QWidget;
    auto* box = new QVBoxLayout(stack);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(spacing);
    *layout = box;
    return stack;
}

// Year, abbreviated month, day, hour and minute, in the page's language.
QString lastUpdatedText(const QDateTime& time, AppLanguage language)
{
    const QLocale locale(AppLanguages::rawValue(language));
    switch (language) {
    case AppLanguage::chinese:
        return locale.toString(time.toLocalTime(), QStringLiteral("yyyy年M月d日 HH:mm"));
    case AppLanguage::traditionalChinese:
        // Traditional Chinese writes a 12-hour clock with 上午/下午 before the hour.
        return locale.toString(time.toLocalTime(), QStringLiteral("yyyy年M月d日 Ah:mm"));
    case AppLanguage::japanese:
        return locale.toString(time.toLocalTime(), QStringLiteral("yyyy年M月d日 H:mm"));
    case AppLanguage::system:
    case AppLanguage::english:
        break;
    }
    return locale.toString(time.toLocalTime(), QStringLiteral("MMM d, yyyy, h:mm AP"));
}

void openLink(const QUrl& url)
{
    Platform::workspace().openURL(url);
}

} // namespace

AboutView::AboutView(PublicConfigurationStore& configuration, ShowPrivacySupport showPrivacySupport,
                     QWidget* parent)
    : QWidget(parent)
    , configuration_(configuration)
    , showPrivacySupport_(std::move(showPrivacySupport))
    , quit_([] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); })
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // One page for the life of the view, so that the place the user scrolled to stays.
    page_ = new SettingsDetailPage(this);
    layout->addWidget(page_);
    rebuild();
    for (auto signal :
         {&PublicConfigurationStore::valueChanged, &PublicConfigurationStore::lastUpdatedChanged,
          &PublicConfigurationStore::isRefreshingChanged, &PublicConfigurationStore::statusChanged})
        connect(&configuration_, signal, this, &AboutView::rebuild);
    connect(&Appearance::shared(), &Appearance::changed, this, &AboutView::rebuild);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { rebuild(); });
}

AboutView::~AboutView() = default;

void AboutView::showPrivacySupportPage(PrivacySupportPage page)
{
    if (showPrivacySupport_)
        showPrivacySupport_(page);
}

ThirdPartyLicensesView* AboutView::licensesSheet() const
{
    return licenses_;
}

void AboutView::setQuitHandler(std::function<void()> quit)
{
    quit_ = std::move(quit);
}

void AboutView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A window restored by the window system is no new showing of the page.
    if (!event->spontaneous())
        configuration_.refresh(false);
}

bool AboutView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched->objectName() == QLatin1String("aboutFooter")) {
        if (auto* links = static_cast<QWidget*>(watched)->findChild<QWidget*>(QStringLiteral("footerLinks")))
            fitFooterLinks(links);
        return false;
    }
    const QVariant url = watched->property(urlProperty);
    if (!url.isValid())
        return QWidget::eventFilter(watched, event);
    bool activated = false;
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        activated = mouse->button() == Qt::LeftButton &&
                    static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint());
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        activated = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    }
    if (!activated)
        return QWidget::eventFilter(watched, event);
    openLink(url.toUrl());
    return true;
}

void AboutView::rebuild()
{
    page_->setLocale(QLocale(AppLanguages::rawValue(Localization::shared().resolvedLanguage())));
    QList<QWidget*> blocks{brandHeader(), authorCard()};
    if (QWidget* products = productsCard())
        blocks.append(products);
    if (configuration_.settings())
        blocks.append(configurationStatus());
    blocks.append(footer());
    page_->replaceBlocks(blocks);
}

QWidget* AboutView::brandHeader()
{
    QBoxLayout* layout = nullptr;
    QWidget* header = verticalStack(brandSpacing, &layout);
    layout->setContentsMargins(0, brandTopPadding, 0, brandBottomPadding);
    auto* mark = new VelloraMark(markSize);
    mark->setAccessibleName({});
    mark->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(mark, 0, Qt::AlignHCenter);

    QBoxLayout* lines = nullptr;
    QWidget* text = verticalStack(brandLineSpacing, &lines);
    lines->addWidget(textLabel(QStringLiteral("Vellora"), systemFont(productNamePixelSize, QFont::DemiBold),
                               Theme::chromeTextPrimary()));
    lines->addWidget(
        textLabel(Localization::format(QStringLiteral("Version %@"), Platform::mainBundle().appVersion()),
                  VelloraTypography::control(), Theme::chromeTextSecondary()));
    lines->addWidget(textLabel(Localization::string(QStringLiteral("Clipboard history for macOS.")),
                               VelloraTypography::control(), Theme::chromeTextSecondary()));
    layout->addWidget(text);
    return header;
}

QWidget* AboutView::authorCard()
{
    const PublicConfiguration& value = configuration_.value();
    auto* card = new SettingsDetailCard;
    QBoxLayout* layout = nullptr;
    QWidget* stack = verticalStack(authorSpacing, &layout);
    layout->addWidget(textLabel(Localization::string(QStringLiteral("Made by")), VelloraTypography::caption(),
                                Theme::chromeTextTertiary()));
    layout->addWidget(textLabel(value.authorName, systemFont(authorNamePixelSize, QFont::DemiBold),
                                Theme::chromeTextPrimary()));
    const QString bio = value.authorBio(Localization::shared().resolvedLanguage());
    if (!bio.isEmpty()) {
        QLabel* label = textLabel(bio, VelloraTypography::body(), Theme::chromeTextSecondary());
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        layout->addWidget(label);
    }
    if (const std::optional<QUrl> website = PublicConfiguration::webURL(value.websiteURL)) {
        layout->addSpacing(websiteLinkGap);
        QPushButton* link = linkButton(Localization::string(QStringLiteral("Visit Website")));
        link->setIcon(Symbols::icon(QStringLiteral("arrow.up.right"), link->palette().color(QPalette::Link),
                                    linkIconSize));
        link->setLayoutDirection(Qt::RightToLeft); // the arrow after the text
        connect(link, &QPushButton::clicked, this, [url = *website] { openLink(url); });
        layout->addWidget(link, 0, Qt::AlignHCenter);
    }
    card->addItem(stack);
    return card;
}

QWidget* AboutView::productsCard()
{
    const QList<PublicProduct> rows =
        configuration_.value().visibleProducts(QString::fromLatin1(ownProductId));
    if (rows.isEmpty())
        return nullptr;
    auto* card = new SettingsDetailCard;
    card->setObjectName(QStringLiteral("moreApps"));
    card->addItem(textLabel(Localization::string(QStringLiteral("More Apps by This Author")),
                            VelloraTypography::control(), Theme::chromeTextSecondary(), Qt::AlignLeft));
    const AppLanguage language = Localization::shared().resolvedLanguage();
    for (const PublicProduct& product : rows) {
        if (const std::optional<QUrl> url = PublicConfiguration::webURL(product.url))
            card->addItem(productRow(product.name, product.summary(language), *url));
    }
    return card;
}

QWidget* AboutView::productRow(const QString& name, const QString& summary, const QUrl& url)
{
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("productRow"));
    row->setProperty(urlProperty, url);
    row->setCursor(Qt::PointingHandCursor);
    row->setFocusPolicy(Qt::StrongFocus);
    row->setAccessibleName(name);
    row->installEventFilter(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, productRowPadding, 0, productRowPadding);
    layout->setSpacing(0);

    QBoxLayout* text = nullptr;
    QWidget* stack = verticalStack(productTextSpacing, &text);
    text->addWidget(textLabel(name, VelloraTypography::title(), Theme::chromeTextPrimary(), Qt::AlignLeft));
    if (!summary.isEmpty()) {
        QLabel* label =
            textLabel(summary, VelloraTypography::caption(), Theme::chromeTextSecondary(), Qt::AlignLeft);
        label->setWordWrap(true);
        text->addWidget(label);
    }
    for (QLabel* label : stack->findChildren<QLabel*>())
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(stack, 1);
    layout->addSpacing(productArrowMinimumGap);
    auto* arrow = new QLabel;
    arrow->setPixmap(Symbols::pixmap(QStringLiteral("arrow.up.right"), Theme::chromeTextTertiary(),
                                     productArrowSize, devicePixelRatioF()));
    arrow->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(arrow, 0, Qt::AlignVCenter);
    return row;
}

QWidget* AboutView::configurationStatus()
{
    QBoxLayout* layout = nullptr;
    QWidget* block = verticalStack(statusSpacing, &layout);
    block->setObjectName(QStringLiteral("configurationStatus"));
    block->setFont(VelloraTypography::caption());

    auto* refreshRow = new QHBoxLayout;
    refreshRow->setSpacing(refreshRowSpacing);
    refreshRow->addStretch(1);
    QPushButton* refresh = linkButton(Localization::string(QStringLiteral("Refresh Author & Apps")));
    refresh->setObjectName(QStringLiteral("refreshAuthorAndApps"));
    refresh->setFont(VelloraTypography::caption());
    refresh->setEnabled(!configuration_.isRefreshing());
    connect(refresh, &QPushButton::clicked, this, [this] { configuration_.refresh(true); });
    refreshRow->addWidget(refresh);
    if (configuration_.isRefreshing())
        refreshRow->addWidget(new ActivitySpinner);
    refreshRow->addStretch(1);
    layout->addLayout(refreshRow);

    if (const std::optional<QDateTime> lastUpdated = configuration_.lastUpdated()) {
        auto* row = new QHBoxLayout;
        row->setSpacing(lastUpdatedSpacing);
        row->addStretch(1);
        row->addWidget(textLabel(Localization::string(QStringLiteral("Last Updated")),
                                 VelloraTypography::caption(), Theme::chromeTextSecondary()));
        row->addWidget(textLabel(lastUpdatedText(*lastUpdated, Localization::shared().resolvedLanguage()),
                                 VelloraTypography::caption(), Theme::chromeTextSecondary()));
        row->addStretch(1);
        layout->addLayout(row);
    }
    if (const std::optional<PublicConfigurationStore::Status> status = configuration_.status()) {
        const QString message = PublicConfigurationStore::statusMessage(*status);
        if (!message.isEmpty()) {
            QLabel* line = textLabel(message, VelloraTypography::caption(), Theme::chromeTextSecondary());
            line->setWordWrap(true);
            layout->addWidget(line);
        }
    }
    return block;
}

QWidget* AboutView::footer()
{
    QBoxLayout* layout = nullptr;
    QWidget* block = verticalStack(footerSpacing, &layout);
    block->setObjectName(QStringLiteral("aboutFooter"));
    layout->setContentsMargins(0, footerTopPadding, 0, 0);

    auto* links = new QWidget;
    links->setObjectName(QStringLiteral("footerLinks"));
    // Its width follows the footer's: side by side would otherwise hold the page wide open.
    links->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* linksLayout = new QBoxLayout(QBoxLayout::LeftToRight, links);
    linksLayout->setContentsMargins(0, 0, 0, 0);
    linksLayout->setSpacing(footerLinkSpacing);
    linksLayout->setAlignment(Qt::AlignCenter);
    QPushButton* privacy = linkButton(Localization::string(QStringLiteral("Privacy Policy")));
    connect(privacy, &QPushButton::clicked, this,
            [this] { showPrivacySupportPage(PrivacySupportPage::privacy); });
    QPushButton* support = linkButton(Localization::string(QStringLiteral("Help & Support")));
    connect(support, &QPushButton::clicked, this,
            [this] { showPrivacySupportPage(PrivacySupportPage::support); });
    QPushButton* licenses = linkButton(Localization::string(QStringLiteral("Third-Party Licenses")));
    connect(licenses, &QPushButton::clicked, this, &AboutView::showLicenses);
    for (QPushButton* link : {privacy, support, licenses})
        linksLayout->addWidget(link, 0, Qt::AlignCenter);
    layout->addWidget(links);

    auto* quit = new QPushButton(Localization::string(QStringLiteral("Quit Vellora")));
    quit->setObjectName(QStringLiteral("quitButton"));
    quit->setFlat(true);
    quit->setAutoDefault(false);
    quit->setFont(VelloraTypography::control());
    QPalette palette = quit->palette();
    palette.setColor(QPalette::ButtonText, Theme::chromeTextTertiary());
    quit->setPalette(palette);
    connect(quit, &QPushButton::clicked, this, [this] {
        if (quit_)
            quit_();
    });
    layout->addWidget(quit, 0, Qt::AlignHCenter);
    block->installEventFilter(this);
    return block;
}

void AboutView::fitFooterLinks(QWidget* links)
{
    auto* layout = static_cast<QBoxLayout*>(links->layout());
    int needed = footerLinkSpacing * (layout->count() - 1);
    for (int i = 0; i < layout->count(); ++i)
        needed += layout->itemAt(i)->sizeHint().width();
    const bool fits = needed <= links->parentWidget()->width();
    layout->setDirection(fits ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    layout->setSpacing(fits ? footerLinkSpacing : stackedFooterLinkSpacing);
}

void AboutView::showLicenses()
{
    if (showingLicenses_)
        return;
    showingLicenses_ = true;
    licenses_ = new ThirdPartyLicensesView([this] { hideLicenses(); }, this);
    licenses_->open();
}

void AboutView::hideLicenses()
{
    showingLicenses_ = false;
    if (!licenses_)
        return;
    licenses_->hide();
    licenses_->deleteLater();
    licenses_ = nullptr;
}
