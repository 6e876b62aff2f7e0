#include "UI/Settings/ModelEditorFooter.h"

#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "UI/WithoutMnemonics.h"
#include "Util/Localization.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int itemSpacing = 10;
constexpr int sidePadding = 20;
constexpr int bottomPadding = 16;
constexpr int moreMenuWidth = 24;
constexpr int moreSymbolSize = 14;
constexpr int progressSize = 16;
constexpr QRgb warningRed = 0xFF3B30;

QLabel* captionLabel(const QString& objectName, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFont(VelloraTypography::caption());
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

} // namespace

ModelEditorFooter::ModelEditorFooter(bool isNew, QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Theme::sidebar());
    setPalette(palette);

    auto* stack = new QVBoxLayout(this);
    stack->setSpacing(itemSpacing);
    stack->setContentsMargins(sidePadding, 0, sidePadding, bottomPadding);

    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    stack->addWidget(divider);

    status_ = captionLabel(QStringLiteral("status"), Theme::chromeTextPrimary(), this);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    invalidNote_ = captionLabel(QStringLiteral("invalidNote"), QColor(warningRed), this);
    testNote_ = captionLabel(QStringLiteral("testNote"), Theme::chromeTextSecondary(), this);
    stack->addWidget(status_);
    stack->addWidget(invalidNote_);
    stack->addWidget(testNote_);

    auto* row = new QHBoxLayout;
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, 0);
    progress_->setTextVisible(false);
    progress_->setFixedSize(progressSize * 3, progressSize / 2);
    cancel_ = new QPushButton(this);
    cancel_->setObjectName(QStringLiteral("cancel"));
    cancel_->setAutoDefault(false);
    more_ = new QToolButton(this);
    more_->setObjectName(QStringLiteral("more"));
    more_->setAutoRaise(true);
    more_->setPopupMode(QToolButton::InstantPopup);
    more_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    more_->setFixedWidth(moreMenuWidth);
    more_->setIcon(Symbols::icon(QStringLiteral("ellipsis"), Theme::chromeTextPrimary(), moreSymbolSize));
    auto* menu = new QMenu(more_);
    saveWithoutTesting_ = menu->addAction(QString(), this, &ModelEditorFooter::saveWithoutTestingRequested);
    saveWithoutTesting_->setObjectName(QStringLiteral("saveWithoutTesting"));
    if (!isNew) {
        removeKey_ = menu->addAction(QString(), this, &ModelEditorFooter::removeKeyRequested);
        removeKey_->setObjectName(QStringLiteral("removeKey"));
    }
    more_->setMenu(menu);
    validateAndSave_ = new QPushButton(this);
    validateAndSave_->setObjectName(QStringLiteral("validateAndSave"));
    validateAndSave_->setDefault(true);
    row->addWidget(progress_);
    row->addStretch();
    row->addWidget(cancel_);
    row->addWidget(more_);
    row->addWidget(validateAndSave_);
    stack->addLayout(row);

    connect(cancel_, &QPushButton::clicked, this, &ModelEditorFooter::cancelRequested);
    connect(validateAndSave_, &QPushButton::clicked, this, &ModelEditorFooter::validateAndSaveRequested);
    retranslate();
    showState(std::nullopt, false, false);
}

void ModelEditorFooter::showState(const std::optional<QString>& status, bool hasInvalidFields, bool testing)
{
    status_->setText(status.value_or(QString()));
    status_->setVisible(status.has_value());
    invalidNote_->setVisible(hasInvalidFields);
    progress_->setVisible(testing);
    const bool canSave = !testing && !hasInvalidFields;
    more_->setEnabled(canSave);
    validateAndSave_->setEnabled(canSave);
}

void ModelEditorFooter::retranslate()
{
    invalidNote_->setText(Localization::string(QStringLiteral("Check the numeric fields in More options.")));
    testNote_->setText(Localization::string(QStringLiteral(
        "Connection tests send only a test prompt to this service, without clipboard materials.")));
    cancel_->setText(withoutMnemonics(Localization::string(QStringLiteral("Cancel"))));
    const QString more = Localization::string(QStringLiteral("More"));
    more_->setToolTip(more);
    more_->setAccessibleName(more);
    saveWithoutTesting_->setText(
        withoutMnemonics(Localization::string(QStringLiteral("Save without testing"))));
    if (removeKey_)
        removeKey_->setText(withoutMnemonics(Localization::string(QStringLiteral("Remove Saved Key"))));
    validateAndSave_->setText(withoutMnemonics(Localization::string(QStringLiteral("Validate & Save"))));
}
