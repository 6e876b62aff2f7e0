#include "AI/ConversationResultAction.h"

#include <QString>

bool ConversationResultActionState::begin(ConversationResultAction action, const QUuid& answerID,
                                          const QString& answer)
{
    if (answer.trimmed().isEmpty() || pendingAnswerIDs.contains(answerID))
        return false;
    if (action == ConversationResultAction::save && savedAnswerIDs.contains(answerID))
        return false;
    pendingAnswerIDs.insert(answerID);
    return true;
}

void ConversationResultActionState::finish(ConversationResultAction action, const QUuid& answerID,
                                           bool succeeded)
{
    const bool wasPending = pendingAnswerIDs.remove(answerID);
    if (wasPending && action == ConversationResultAction::save && succeeded)
        savedAnswerIDs.insert(answerID);
}
