#include "UI/AI/ConversationTranscript.h"

#include "AI/ConversationSession.h"
#include "UI/AI/ConversationAnswerText.h"
#include "UI/AI/ConversationDraftView.h"
#include "UI/AI/ConversationTranscriptActions.h"
#include "UI/AI/ConversationTranscriptBubble.h"
#include "UI/ActivitySpinner.h"
#include "UI/ScrollBarLook.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

constexpr int stackSpacing = 20;
constexpr int verticalInset = 24;
constexpr int answerSpacing = 9;
constexpr int anchorHeight = 1;
// Far above the side spacers' 1, so the reading column grows to its maximum first.
constexpr int readingStretch = 1000;

// Pushes a widget to the right edge of the reading column.
QWidget* alignedRight(QWidget* child, QWidget* parent)
{
    auto* holder = new QWidget(parent);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    row->addWidget(child);
    return holder;
}

} // namespace

ConversationTranscript::ConversationTranscript(ConversationDraftView& view, Perform perform, QWidget* parent)
    : QScrollArea(parent)
    , view_(view)
    , perform_(std::move(perform))
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A click on an answer's action would otherwise give the scroll area the keyboard, taking
    // it from the question editor; the wheel scrolls without it.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setAutoFillBackground(false);
    ScrollBarLook::follow(verticalScrollBar(), Theme::chat());

    auto* content = new QWidget(this);
    auto* centring = new QHBoxLayout(content);
    centring->setContentsMargins(0, verticalInset, 0, verticalInset);
    column_ = new QWidget(content);
    column_->setMaximumWidth(readingWidth);
    column_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    stack_ = new QVBoxLayout(column_);
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->setSpacing(stackSpacing);
    stack_->addStretch(1);
    auto* anchor = new QWidget(column_);
    anchor->setObjectName(QStringLiteral("latest"));
    anchor->setFixedHeight(anchorHeight);
    stack_->addWidget(anchor);
    centring->setSpacing(0);
    centring->addStretch(1);
    centring->addWidget(column_, readingStretch);
    centring->addStretch(1);
    setWidget(content);
    content->setAutoFillBackground(false); // setWidget() turns it on

    ConversationSession& session = view_.session();
    connect(&session, &ConversationSession::turnsChanged, this, &ConversationTranscript::refresh);
    connect(&session, &ConversationSession::pendingQuestionChanged, this, &ConversationTranscript::refresh);
    connect(&session, &ConversationSession::isSendingChanged, this, &ConversationTranscript::refresh);
    connect(&view_, &ConversationDraftView::resultActionsChanged, this,
            &ConversationTranscript::applyResultActions);
    // The view keeps following the latest entry while the layout grows, until the user scrolls.
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int maximum) {
        if (scrollPending_)
            verticalScrollBar()->setValue(maximum);
    });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { scrollPending_ = false; });
    shownTurns_ = session.turns().size();
    shownSending_ = session.isSending();
    refresh();
}

void ConversationTranscript::refresh()
{
    const ConversationSession& session = view_.session();
    QList<QUuid> ids;
    for (const ChatTurn& turn : session.turns())
        ids << turn.id;
    if (ids != shownIDs_ || session.pendingQuestion() != shownPending_) {
        shownIDs_ = ids;
        shownPending_ = session.pendingQuestion();
        rebuild();
    }
    if (session.turns().size() != shownTurns_ || session.isSending() != shownSending_) {
        shownTurns_ = session.turns().size();
        shownSending_ = session.isSending();
        scrollToLatest();
    }
}

void ConversationTranscript::rebuild()
{
    for (QWidget* entry : std::as_const(entries_))
        delete entry;
    entries_.clear();
    actionRows_.clear();
    answerTexts_.clear();
    pendingBubble_ = nullptr;

    const ConversationSession& session = view_.session();
    for (const ChatTurn& turn : session.turns())
        addTurn(turn);
    if (session.pendingQuestion())
        addPending(*session.pendingQuestion());
    applyResultActions();
}

void ConversationTranscript::addTurn(const ChatTurn& turn)
{
    // Entries go above the stretch and the "latest" anchor, which stay last.
    const int position = static_cast<int>(entries_.size());
    auto* bubble = new ConversationTranscriptBubble(turn.question, true, column_);
    QWidget* question = alignedRight(bubble, column_);
    stack_->insertWidget(position, question);
    entries_ << question;

    auto* answer = new QWidget(column_);
    auto* block = new QVBoxLayout(answer);
    block->setContentsMargins(0, 0, 0, 0);
    block->setSpacing(answerSpacing);
    auto* text = new ConversationAnswerText(turn.answer, answer);
    block->addWidget(text);
    answerTexts_ << text;
    if (!turn.answer.trimmed().isEmpty()) {
        auto* actions = new ConversationTranscriptActions(
            turn.id, [this, turn](ConversationResultAction action) { perform_(action, turn); }, answer);
        block->addWidget(actions);
        actionRows_ << actions;
    }
    stack_->insertWidget(position + 1, answer);
    entries_ << answer;
}

void ConversationTranscript::addPending(const QString& question)
{
    const int position = static_cast<int>(entries_.size());
    pendingBubble_ = new ConversationTranscriptBubble(question, false, column_);
    QWidget* bubble = alignedRight(pendingBubble_, column_);
    stack_->insertWidget(position, bubble);
    entries_ << bubble;
    auto* spinner = new ActivitySpinner(column_);
    stack_->insertWidget(position + 1, spinner, 0, Qt::AlignLeft);
    entries_ << spinner;
}

void ConversationTranscript::applyResultActions()
{
    for (ConversationTranscriptActions* row : std::as_const(actionRows_))
        row->apply(view_.resultActions());
}

void ConversationTranscript::scrollToLatest()
{
    scrollPending_ = true;
    widget()->adjustSize();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}
