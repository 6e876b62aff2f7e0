#pragma once

#include "AI/ChatTurn.h"
#include "AI/ConversationResultAction.h"

#include <QList>
#include <QScrollArea>
#include <functional>

class ConversationDraftView;
class ConversationTranscriptActions;
class ConversationAnswerText;
class QLabel;
class QVBoxLayout;

// The conversation so far, oldest first: each turn's question on a bubble at the right and
// its answer below with the answer actions (none for a blank answer); then the question
// awaiting its answer with a spinner. Follows the session; each change of the number of
// turns or of the sending state scrolls to the latest entry.
class ConversationTranscript final : public QScrollArea {
    Q_OBJECT
public:
    using Perform = std::function<void(ConversationResultAction action, const ChatTurn& turn)>;

    static constexpr int readingWidth = 620;

    ConversationTranscript(ConversationDraftView& view, Perform perform, QWidget* parent = nullptr);

    // The action rows, one per turn with a non-blank answer, in turn order.
    const QList<ConversationTranscriptActions*>& actionRows() const { return actionRows_; }
    // The labels showing the turns' answers, in turn order.
    const QList<ConversationAnswerText*>& answerTexts() const { return answerTexts_; }
    // The question awaiting its answer, or null.
    QLabel* pendingBubble() const { return pendingBubble_; }

private:
    void refresh();
    void rebuild();
    void addTurn(const ChatTurn& turn);
    void addPending(const QString& question);
    void applyResultActions();
    void scrollToLatest();

    ConversationDraftView& view_;
    Perform perform_;
    QWidget* column_ = nullptr;
    QVBoxLayout* stack_ = nullptr;
    QList<QWidget*> entries_;
    QList<ConversationTranscriptActions*> actionRows_;
    QList<ConversationAnswerText*> answerTexts_;
    QLabel* pendingBubble_ = nullptr;
    QList<QUuid> shownIDs_;
    std::optional<QString> shownPending_;
    qsizetype shownTurns_ = 0;
    bool shownSending_ = false;
    bool scrollPending_ = false;
};
