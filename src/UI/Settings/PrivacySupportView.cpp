#include "UI/Settings/PrivacySupportView.h"

#include "Platform/Workspace.h"
#include "Settings/PrivacyPolicyCatalog.h"
#include "UI/Appearance.h"
#include "UI/Settings/PrivacySupportNavigation.h"
#include "UI/Settings/SettingsDetailCard.h"
#include "UI/Settings/SettingsDetailPage.h"
#include "UI/Settings/SettingsDetailSection.h"
#include "UI/Settings/SettingsSegment.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <array>
#include <optional>

namespace {

constexpr int contactLinkSpacing = 16;

struct HelpTopic {
    const char* heading;
    std::array<const char*, 2> texts; // the second may be empty
    const char* button;               // empty: no button
    std::optional<SettingsTab> tab;
};

const std::array<HelpTopic, 4> helpTopics{{
    {"Paste Into Another App",
     {"Open Settings → General → Paste and follow the permission guide. After allowing Vellora in System "
      "Settings, return and check again. If paste fails, your clip remains available; copy it and paste "
      "manually with ⌘V.",
      ""},
     "Open Paste Settings",
     SettingsTab::general},
    {"File Access After Restart",
     {"For a file that needs permission, choose Select File Again in its preview or context menu and select "
      "the original file or folder. If it moved or was deleted, copy its new location into history. This "
      "does not restore a deleted original.",
      ""},
     "",
     std::nullopt},
    {"Set Up & Use AI",
     {"Add an HTTPS API address, model name and your own key in Settings → Models. Local services may use "
      "HTTP. Validate & Save sends only a test prompt. Before a question is sent, check the destination, "
      "materials and context shown in the confirmation.",
      "For an AI error, check the address, key, model access and service quota. If Paste Back fails, the "
      "conversation returns with your answer so you can retry or copy it. Close the conversation when "
      "finished to discard it."},
     "Open Model Settings",
     SettingsTab::model},
    {"Manage Privacy",
     {"In Settings → Privacy, exclude source apps, clear AI sending permissions or clear file access "
      "permissions. Permission changes apply to future access; requests already sent to an AI service "
      "follow that service's policy.",
      ""},
     "Open Privacy Settings",
     SettingsTab::privacy},
}};

QString localized(const char* english)
{
    return Localization::string(QString::fromUtf8(english));
}

QLabel* paragraph(const QString& text)
{
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QLabel* caption(const QString& text)
{
    QLabel* label = paragraph(text);
    label->setFont(VelloraTypography::caption());
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Theme::chromeTextSecondary());
    label->setPalette(palette);
    return label;
}

// A button reads "&" as the mark of its mnemonic.
QString buttonText(const QString& text)
{
    return QString(text).replace(u'&', QStringLiteral("&&"));
}

QPushButton* linkButton(const QString& text)
{
    auto* button = new QPushButton(buttonText(text));
    button->setFlat(true);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, palette.color(QPalette::Link));
    button->setPalette(palette);
    return button;
}

QPushButton* openingLink(const QString& text, const QUrl& url)
{
    QPushButton* link = linkButton(text);
    QObject::connect(link, &QPushButton::clicked, link, [url] { Platform::workspace().openURL(url); });
    return link;
}

QString updatedLine(const PrivacyPolicyDocument& document)
{
    return document.updatedLabel + QStringLiteral(": ") + document.sourceVersion;
}

} // namespace

PrivacySupportView::PrivacySupportView(PrivacySupportNavigation& navigation, QString contactEmail,
                                       std::function<void()> onPageChange, QWidget* parent)
    : QWidget(parent)
    , navigation_(navigation)
    , contactEmail_(std::move(contactEmail))
    , onPageChange_(std::move(onPageChange))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildPicker(layout);
    rebuild();
    connect(&navigation_, &PrivacySupportNavigation::pageChanged, this, &PrivacySupportView::rebuild);
    connect(&navigation_, &PrivacySupportNavigation::documentChanged, this, &PrivacySupportView::rebuild);
    connect(&Appearance::shared(), &Appearance::changed, this, &PrivacySupportView::rebuild);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this, [this](QObject*) {
        retitlePicker();
        rebuild();
    });
}

void PrivacySupportView::setOpenSettings(std::function<void(SettingsTab)> openSettings)
{
    openSettings_ = std::move(openSettings);
}

std::optional<QUrl> PrivacySupportView::mailURL(const QString& address)
{
    // Every "%" is escaped, so the message goes to exactly the address shown.
    QString escaped = address;
    escaped.replace(QLatin1Char('%'), QStringLiteral("%25"));
    const QUrl url(QStringLiteral("mailto:") + escaped, QUrl::StrictMode);
    if (!url.isValid() || url.path().isEmpty())
        return std::nullopt;
    return url;
}

void PrivacySupportView::buildPicker(QVBoxLayout* layout)
{
    picker_ = new QWidget(this);
    picker_->setObjectName(QStringLiteral("privacySupportPicker"));
    auto* row = new QHBoxLayout(picker_);
    row->setContentsMargins(pickerPadding, pickerPadding, pickerPadding, pickerPadding);
    row->setSpacing(0);
    row->addStretch(1);
    pickerButtons_ = new QButtonGroup(picker_);
    pickerButtons_->setExclusive(true);
    const QList<PrivacySupportPage>& pages = PrivacySupportPages::allCases();
    for (qsizetype i = 0; i < pages.size(); ++i) {
        auto* segment = new SettingsSegment(picker_);
        segment->setAutoDefault(false);
        pickerButtons_->addButton(segment, int(i));
        row->addWidget(segment);
    }
    row->addStretch(1);
    connect(pickerButtons_, &QButtonGroup::idClicked, this, &PrivacySupportView::pick);
    retitlePicker();
    layout->addWidget(picker_);
}

void PrivacySupportView::retitlePicker()
{
    picker_->setAccessibleName(localized("Privacy & Support"));
    const QList<PrivacySupportPage>& pages = PrivacySupportPages::allCases();
    for (qsizetype i = 0; i < pages.size(); ++i)
        pickerButtons_->button(int(i))->setText(buttonText(PrivacySupportPages::title(pages[i])));
}

void PrivacySupportView::pick(int index)
{
    const PrivacySupportPage page = PrivacySupportPages::allCases().value(index);
    if (page == navigation_.page())
        return;
    navigation_.setPage(page);
    if (onPageChange_)
        onPageChange_();
}

void PrivacySupportView::rebuild()
{
    setLocale(QLocale(AppLanguages::rawValue(Localization::shared().resolvedLanguage())));
    pickerButtons_->button(int(PrivacySupportPages::allCases().indexOf(navigation_.page())))
        ->setChecked(true);
    if (form_) {
        // The old form may be inside its own button's click handler: dismantle it later.
        form_->hide();
        form_->setParent(nullptr);
        form_->deleteLater();
    }
    form_ = new SettingsDetailPage(this);
    form_->setObjectName(QStringLiteral("privacySupportForm"));
    if (navigation_.page() == PrivacySupportPage::privacy)
        addPolicySections(form_);
    else
        addHelpSections(form_);
    addContactSection(form_);
    // All text of the form can be selected, the headings included.
    for (QLabel* label : form_->findChildren<QLabel*>())
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout()->addWidget(form_);
}

void PrivacySupportView::addPolicySections(SettingsDetailPage* form)
{
    const std::optional<PrivacyPolicyDocument>& document = navigation_.document();
    if (!document) {
        auto* section = new SettingsDetailSection(localized("Privacy Policy"));
        section->addItem(
            paragraph(localized("The privacy policy file is missing or invalid. Please open the online "
                                "policy or contact support.")));
        form->addBlock(section);
        return;
    }
    auto* lead = new SettingsDetailCard;
    for (const QString& text : document->lead)
        lead->addItem(paragraph(text));
    lead->addItem(caption(updatedLine(*document)));
    form->addBlock(lead);
    for (const PrivacyPolicySection& policySection : document->sections) {
        auto* section = new SettingsDetailSection(policySection.title);
        section->setObjectName(policySection.id);
        for (const QString& text : policySection.paragraphs)
            section->addItem(paragraph(text));
        form->addBlock(section);
    }
}

void PrivacySupportView::addHelpSections(SettingsDetailPage* form)
{
    for (const HelpTopic& topic : helpTopics) {
        auto* section = new SettingsDetailSection(localized(topic.heading));
        for (const char* text : topic.texts) {
            if (*text)
                section->addItem(paragraph(localized(text)));
        }
        if (topic.tab) {
            auto* button = new QPushButton(buttonText(localized(topic.button)));
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, tab = *topic.tab] {
                if (openSettings_)
                    openSettings_(tab);
            });
            auto* row = new QHBoxLayout;
            row->addWidget(button);
            row->addStretch(1);
            section->addLayout(row);
        }
        form->addBlock(section);
    }
}

void PrivacySupportView::addContactSection(SettingsDetailPage* form)
{
    auto* section = new SettingsDetailSection(localized("Contact Support"));
    section->setObjectName(QStringLiteral("contactSupport"));
    QPushButton* mail = linkButton(contactEmail_);
    mail->setObjectName(QStringLiteral("contactEmail"));
    if (const std::optional<QUrl> url = mailURL(contactEmail_))
        connect(mail, &QPushButton::clicked, mail, [url = *url] { Platform::workspace().openURL(url); });
    else
        mail->setEnabled(false);
    section->addItem(mail);

    auto* links = new QHBoxLayout;
    links->setSpacing(contactLinkSpacing);
    links->addWidget(openingLink(localized("Online Privacy Policy"),
                                 PrivacyPolicyCatalog::onlineURL(Localization::shared().resolvedLanguage())));
    links->addWidget(openingLink(localized("Online Support"), PrivacySupportPages::onlineSupportURL()));
    links->addStretch(1);
    section->addLayout(links);
    section->addItem(
        caption(localized("Describe what happened, your macOS and Vellora versions, and the steps to "
                          "reproduce. Remove private content and API keys before sending.")));
    form->addBlock(section);
}
