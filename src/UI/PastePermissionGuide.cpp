#include "UI/PastePermissionGuide.h"

#include "Platform/Accessibility.h"
#include "Platform/Defaults.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

namespace {

constexpr int windowWidth = 460;
constexpr int titlePixelSize = 17;

QLabel* wrappedLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

bool PastePermissionGuide::isDue(const Platform::Defaults& defaults,
                                 const Platform::Accessibility& accessibility)
{
    if (accessibility.isTrusted())
        return false;
    return defaults.intValue(versionKey).value_or(0) < currentVersion;
}

PastePermissionGuide::PastePermissionGuide(Platform::Defaults& defaults,
                                           Platform::Accessibility& accessibility, QObject* parent)
    : QObject(parent)
    , defaults_(defaults)
    , accessibility_(accessibility)
    , window_(std::make_unique<QWidget>())
{
    window_->setFixedWidth(windowWidth);
    auto* layout = new QVBoxLayout(window_.get());
    title_ = wrappedLabel(window_.get());
    QFont font = title_->font();
    font.setPixelSize(titlePixelSize);
    font.setWeight(QFont::DemiBold);
    title_->setFont(font);
    explanation_ = wrappedLabel(window_.get());
    hint_ = wrappedLabel(window_.get());
    status_ = wrappedLabel(window_.get());
    checkAgain_ = new QPushButton(window_.get());
    checkAgain_->setDefault(true);
    later_ = new QPushButton(window_.get());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(later_);
    buttons->addWidget(checkAgain_);
    for (QWidget* widget : {static_cast<QWidget*>(title_), static_cast<QWidget*>(explanation_),
                            static_cast<QWidget*>(hint_), static_cast<QWidget*>(status_)})
        layout->addWidget(widget);
    layout->addLayout(buttons);
    connect(checkAgain_, &QPushButton::clicked, this, &PastePermissionGuide::checkAgain);
    connect(later_, &QPushButton::clicked, window_.get(), &QWidget::close);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { refreshLocalizedContent(); });
    refreshLocalizedContent();
}

PastePermissionGuide::~PastePermissionGuide() = default;

void PastePermissionGuide::show()
{
    checkedOnce_ = false;
    refreshLocalizedContent();
    defaults_.setInt(versionKey, currentVersion);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void PastePermissionGuide::checkAgain()
{
    if (accessibility_.isTrusted()) {
        window_->close();
        return;
    }
    checkedOnce_ = true;
    refreshLocalizedContent();
}

bool PastePermissionGuide::isShowing() const
{
    return window_->isVisible();
}

QWidget* PastePermissionGuide::window() const
{
    return window_.get();
}

QString PastePermissionGuide::statusText() const
{
    return status_->text();
}

void PastePermissionGuide::refreshLocalizedContent()
{
    const QString title = Localization::string(QStringLiteral("Allow Vellora to Paste"));
    window_->setWindowTitle(title);
    title_->setText(title);
    explanation_->setText(Localization::string(
        QStringLiteral("Vellora pastes a clip by sending the paste keys to the app you were using. This "
                       "desktop does not let Vellora send keys, so the clips you pick stay on the clipboard "
                       "for you to paste yourself.")));
    hint_->setText(Localization::string(
        QStringLiteral("Run Vellora in an X11 session, or through XWayland, with the XTEST extension "
                       "enabled, then choose Check Again.")));
    status_->setText(checkedOnce_ ? Localization::string(QStringLiteral("Pasting is still not allowed."))
                                  : QString());
    status_->setVisible(checkedOnce_);
    checkAgain_->setText(Localization::string(QStringLiteral("Check Again")));
    later_->setText(Localization::string(QStringLiteral("Later")));
}
