#pragma once

#include "AI/ConversationResultAction.h"

#include <QUuid>
#include <QWidget>
#include <functional>

class QToolButton;

// The row under one answer: Copy, Paste Back and Save as Card. The whole row is disabled
// while an action for the answer runs; a saved answer shows "Saved as Card", disabled.
class ConversationTranscriptActions final : public QWidget {
    Q_OBJECT
public:
    using Perform = std::function<void(ConversationResultAction action)>;

    ConversationTranscriptActions(const QUuid& answerID, Perform perform, QWidget* parent = nullptr);

    const QUuid& answerID() const { return answerID_; }
    QToolButton* button(ConversationResultAction action) const;

    // Follows the marks of the answer.
    void apply(const ConversationResultActionState& state);

private:
    QToolButton* addButton(ConversationResultAction action);
    void retranslate();
    void applyTheme();

    QUuid answerID_;
    Perform perform_;
    QToolButton* copy_ = nullptr;
    QToolButton* paste_ = nullptr;
    QToolButton* save_ = nullptr;
    bool saved_ = false;
};
