#include "UI/AI/AISharingConsentView.h"

#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "UI/WithoutMnemonics.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int sheetMargin = 20;
constexpr int sectionSpacing = 14;
constexpr int rowSpacing = 8;
constexpr int sheetWidth = 460;
constexpr int headingPixelSize = 16;

std::function<void()>& privacyPolicyHandler()
{
    static std::function<void()> handler;
    return handler;
}

QLabel* plainLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QString materialsText(const ConversationSendRequest& r)
{
    if (r.scope.includesImages)
        return Localization::format(QStringLiteral("%lld, including images"),
                                    static_cast<qint64>(r.materialCount));
    return Localization::format(QStringLiteral("%lld, text only"), static_cast<qint64>(r.materialCount));
}

QString historyText(const ConversationSendRequest& r)
{
    if (!r.scope.historyTurnLimit)
        return Localization::string(QStringLiteral("All earlier turns of this conversation"));
    if (*r.scope.historyTurnLimit == 0)
        return Localization::string(QStringLiteral("None"));
    return Localization::format(QStringLiteral("Up to %lld earlier turns"), *r.scope.historyTurnLimit);
}

} // namespace

AISharingConsentView::AISharingConsentView(ConversationSendRequest request, std::function<void()> onCancel,
                                           std::function<void()> onApprove, QWidget* parent)
    : QDialog(parent)
    , request_(std::move(request))
{
    setWindowModality(Qt::WindowModal);
    build();
    retranslate();
    connect(this, &QDialog::rejected, this, [onCancel = std::move(onCancel)] {
        if (onCancel)
            onCancel();
    });
    connect(this, &QDialog::accepted, this, [onApprove = std::move(onApprove)] {
        if (onApprove)
            onApprove();
    });
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { retranslate(); });
}

void AISharingConsentView::setPrivacyPolicyHandler(std::function<void()> handler)
{
    privacyPolicyHandler() = std::move(handler);
}

void AISharingConsentView::build()
{
    setFixedWidth(sheetWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(sheetMargin, sheetMargin, sheetMargin, sheetMargin);
    layout->setSpacing(sectionSpacing);

    heading_ = plainLabel(this);
    QFont headingFont = VelloraTypography::title();
    headingFont.setPixelSize(headingPixelSize);
    headingFont.setWeight(QFont::DemiBold);
    heading_->setFont(headingFont);
    layout->addWidget(heading_);

    intro_ = plainLabel(this);
    intro_->setFont(VelloraTypography::body());
    layout->addWidget(intro_);

    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(sectionSpacing);
    grid->setVerticalSpacing(rowSpacing);
    grid->setColumnStretch(1, 1);
    service_ = addRow(grid, 0);
    model_ = addRow(grid, 1);
    materials_ = addRow(grid, 2);
    history_ = addRow(grid, 3);
    instructions_ = addRow(grid, 4);
    service_.value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addLayout(grid);

    privacyPolicy_ = new QPushButton(this);
    privacyPolicy_->setFlat(true);
    privacyPolicy_->setAutoDefault(false);
    privacyPolicy_->setCursor(Qt::PointingHandCursor);
    privacyPolicy_->setStyleSheet(
        QStringLiteral("QPushButton { border: none; padding: 0; text-align: left; color: %1; }")
            .arg(QColor(Theme::selection()).name()));
    connect(privacyPolicy_, &QPushButton::clicked, this, [] {
        if (privacyPolicyHandler())
            privacyPolicyHandler()();
    });
    layout->addWidget(privacyPolicy_, 0, Qt::AlignLeft);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    cancel_ = new QPushButton(this);
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    agree_ = new QPushButton(this);
    agree_->setDefault(true);
    connect(agree_, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(cancel_);
    buttons->addWidget(agree_);
    layout->addLayout(buttons);
}

AISharingConsentView::Row AISharingConsentView::addRow(QGridLayout* grid, int row)
{
    Row r{plainLabel(this), plainLabel(this)};
    r.title->setFont(VelloraTypography::control());
    r.title->setWordWrap(false);
    QPalette secondary = r.title->palette();
    secondary.setColor(QPalette::WindowText, Theme::chromeTextSecondary());
    r.title->setPalette(secondary);
    r.value->setFont(VelloraTypography::body());
    grid->addWidget(r.title, row, 0, Qt::AlignTop | Qt::AlignLeft);
    grid->addWidget(r.value, row, 1, Qt::AlignTop);
    return r;
}

void AISharingConsentView::retranslate()
{
    const QString title = Localization::string(QStringLiteral("Send to this AI service?"));
    setWindowTitle(title);
    heading_->setText(title);
    intro_->setText(
        Localization::string(QStringLiteral("Your question and the materials below will be sent to this "
                                            "service. Its own privacy terms apply to what it "
                                            "receives.")));
    service_.title->setText(Localization::string(QStringLiteral("Service")));
    service_.value->setText(request_.scope.endpoint);
    model_.title->setText(Localization::string(QStringLiteral("Model")));
    model_.value->setText(request_.model);
    materials_.title->setText(Localization::string(QStringLiteral("Materials")));
    materials_.value->setText(materialsText(request_));
    history_.title->setText(Localization::string(QStringLiteral("Earlier turns")));
    history_.value->setText(historyText(request_));
    instructions_.title->setText(Localization::string(QStringLiteral("Response instructions")));
    instructions_.value->setText(request_.scope.includesResponsePreferences
                                     ? Localization::string(QStringLiteral("Included"))
                                     : Localization::string(QStringLiteral("Not included")));
    privacyPolicy_->setText(withoutMnemonics(Localization::string(QStringLiteral("Privacy Policy"))));
    cancel_->setText(withoutMnemonics(Localization::string(QStringLiteral("Cancel"))));
    agree_->setText(withoutMnemonics(Localization::string(QStringLiteral("Agree and Send"))));
}
