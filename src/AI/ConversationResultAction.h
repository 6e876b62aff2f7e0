#pragma once

#include <QSet>
#include <QUuid>

// What to do with an answer.
enum class ConversationResultAction { copy, paste, save };

// The answers whose actions are running, and the answers already saved as clips.
struct ConversationResultActionState {
    QSet<QUuid> savedAnswerIDs;
    QSet<QUuid> pendingAnswerIDs;

    bool operator==(const ConversationResultActionState&) const = default;

    // False for a blank answer, an answer with an action running, or saving an answer saved
    // before; otherwise marks the answer pending and returns true.
    bool begin(ConversationResultAction action, const QUuid& answerID, const QString& answer);
    // Ends the pending action; a successful save that was pending marks the answer saved.
    void finish(ConversationResultAction action, const QUuid& answerID, bool succeeded);
};
