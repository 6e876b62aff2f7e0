#include "UI/AI/ConversationTranscriptActions.h"

#include "UI/Appearance.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/WithoutMnemonics.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace {

constexpr int rowSpacing = 16;
constexpr int topInset = 2;
constexpr int labelPixelSize = 11;
constexpr int symbolPixelSize = 12;

struct ButtonTexts {
    const char* symbol;
    const char* title;
    const char* tooltip;
    const char* accessibleName;
};

ButtonTexts texts(ConversationResultAction action, bool saved)
{
    switch (action) {
    case ConversationResultAction::copy:
        return {"doc.on.doc", "Copy", "Copy Answer", "Copy Answer"};
    case ConversationResultAction::paste:
        return {"arrowshape.turn.up.left", "Paste Back", "Paste the answer into the app you were using.",
                "Paste Back"};
    case ConversationResultAction::save:
        break;
    }
    if (saved)
        return {"checkmark", "Saved as Card", "Save the answer as a new text card.", "Saved as Card"};
    return {"plus.rectangle.on.rectangle", "Save as Card", "Save the answer as a new text card.",
            "Save as Card"};
}

} // namespace

ConversationTranscriptActions::ConversationTranscriptActions(const QUuid& answerID, Perform perform,
                                                             QWidget* parent)
    : QWidget(parent)
    , answerID_(answerID)
    , perform_(std::move(perform))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, topInset, 0, 0);
    row->setSpacing(rowSpacing);
    copy_ = addButton(ConversationResultAction::copy);
    paste_ = addButton(ConversationResultAction::paste);
    save_ = addButton(ConversationResultAction::save);
    row->addWidget(copy_);
    row->addWidget(paste_);
    row->addWidget(save_);
    row->addStretch(1);
    applyTheme();
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { retranslate(); });
    connect(&Appearance::shared(), &Appearance::changed, this, &ConversationTranscriptActions::applyTheme);
}

void ConversationTranscriptActions::applyTheme()
{
    for (QToolButton* button : {copy_, paste_, save_}) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, Theme::chromeTextSecondary());
        button->setPalette(palette);
    }
    retranslate(); // the symbols take the new colour
}

QToolButton* ConversationTranscriptActions::addButton(ConversationResultAction action)
{
    auto* button = new QToolButton(this);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIconSize(QSize(symbolPixelSize, symbolPixelSize));
    QFont labelFont = button->font();
    labelFont.setPixelSize(labelPixelSize);
    button->setFont(labelFont);
    connect(button, &QToolButton::clicked, this, [this, action] { perform_(action); });
    return button;
}

QToolButton* ConversationTranscriptActions::button(ConversationResultAction action) const
{
    switch (action) {
    case ConversationResultAction::copy:
        return copy_;
    case ConversationResultAction::paste:
        return paste_;
    case ConversationResultAction::save:
        break;
    }
    return save_;
}

void ConversationTranscriptActions::apply(const ConversationResultActionState& state)
{
    const bool pending = state.pendingAnswerIDs.contains(answerID_);
    saved_ = state.savedAnswerIDs.contains(answerID_);
    copy_->setEnabled(!pending);
    paste_->setEnabled(!pending);
    save_->setEnabled(!pending && !saved_);
    retranslate();
}

void ConversationTranscriptActions::retranslate()
{
    for (ConversationResultAction action :
         {ConversationResultAction::copy, ConversationResultAction::paste, ConversationResultAction::save}) {
        const ButtonTexts t = texts(action, saved_);
        QToolButton* b = button(action);
        b->setIcon(
            Symbols::icon(QString::fromLatin1(t.symbol), Theme::chromeTextSecondary(), symbolPixelSize));
        b->setText(withoutMnemonics(Localization::string(QString::fromLatin1(t.title))));
        b->setToolTip(Localization::string(QString::fromLatin1(t.tooltip)));
        b->setAccessibleName(Localization::string(QString::fromLatin1(t.accessibleName)));
    }
}
