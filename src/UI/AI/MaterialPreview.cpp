#include "UI/AI/MaterialPreview.h"

#include "UI/AI/ConversationDraftView.h"
#include "UI/AI/MaterialImageView.h"
#include "UI/ScrollBarLook.h"
#include "UI/VelloraIconButton.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

constexpr int padding = 24;
constexpr int spacing = 16;
constexpr int closeButtonSize = 32;

} // namespace

MaterialPreview::MaterialPreview(ConversationDraftView& view, ConversationMaterial material, QWidget* parent)
    : QWidget(parent)
    , view_(view)
    , material_(std::move(material))
{
    setFixedSize(fixedSize);
    build();
    retranslate();
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { retranslate(); });
}

void MaterialPreview::build()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(spacing);

    auto* heading = new QHBoxLayout;
    auto* title = new QLabel(material_.title, this);
    title->setTextFormat(Qt::PlainText);
    title->setFont(VelloraTypography::title());
    heading->addWidget(title, 1);
    close_ =
        new VelloraIconButton(QStringLiteral("xmark"), VelloraIconButtonStyle{closeButtonSize, false}, this);
    connect(close_, &QToolButton::clicked, this, [this] { view_.setPreviewMaterial(std::nullopt); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, close_, &QToolButton::click);
    heading->addWidget(close_);
    column->addLayout(heading);

    const QImage image = MaterialImageView::decode(material_);
    if (!image.isNull()) {
        body_ = new MaterialImageView(image, 0, this);
    } else {
        auto* text = new QPlainTextEdit(this);
        text->setReadOnly(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        ScrollBarLook::follow(text->verticalScrollBar(), Theme::cardBody());
        text->setPlainText(material_.text.value_or(QString()));
        body_ = text;
    }
    column->addWidget(body_, 1);
}

void MaterialPreview::retranslate()
{
    const QString close = Localization::string(QStringLiteral("Close"));
    close_->setToolTip(close + QStringLiteral(" · Esc"));
    close_->setAccessibleName(close);
}
