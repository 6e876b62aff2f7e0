#pragma once

#include "AI/AIChatClient.h"
#include "AI/AIModelSettings.h"
#include "AI/ChatTurn.h"
#include "AI/ConversationMaterial.h"
#include "AI/ConversationSendRequest.h"

#include <QObject>
#include <QPointer>
#include <functional>

class AISharingConsentStore;

// The conversation of one window: its materials, the finished turns and the request in
// flight. A send is prepared (prepareSend), checked for consent by the view, and then sent;
// its completion runs on the main thread with whether an answer was recorded. The
// generation counter makes every answer of an earlier generation stale: cancel() moves it
// on, so a late answer does nothing.
class ConversationSession final : public QObject {
    Q_OBJECT
public:
    // Called at each send; returns the active configuration and its key or throws ModelError.
    using Credentials = std::function<ModelCredentials()>;
    using SendCompletion = std::function<void(bool answered)>;

    ConversationSession(QList<ConversationMaterial> materials, AIChatClient client,
                        AISharingConsentStore& consentStore, Credentials credentials,
                        QObject* parent = nullptr);
    ~ConversationSession() override;

    const QList<ConversationMaterial>& materials() const { return materials_; }
    const QList<ChatTurn>& turns() const { return turns_; }
    const std::optional<QString>& pendingQuestion() const { return pendingQuestion_; }
    bool isSending() const { return isSending_; }
    // The last error's message; else the connection-failure message after a failed
    // connection; else none.
    std::optional<QString> errorMessage() const;
    const QUuid& conversationID() const { return conversationID_; }
    quint64 requestGeneration() const { return requestGeneration_; }
    AISharingConsentStore& consentStore() const { return consentStore_; }

    // The snapshot of a send of this question, or none when the trimmed question is empty, a
    // send runs, or the credentials fail (their error is kept for display). Clears the
    // previous error first.
    std::optional<ConversationSendRequest> prepareSend(const QString& question);

    // Sends the request and calls `done` exactly once: at once with false when a send runs,
    // the request is no longer current (conversation, generation or history differ) or the
    // consent store does not allow its scope (error sharingConsentRequired); otherwise when
    // the request ends, with true only when its answer was appended as a turn. isSending is
    // false and pendingQuestion none whenever `done` runs.
    void send(const ConversationSendRequest& request, SendCompletion done);

    // Moves the generation on and stops the request in flight, whose completion gets false.
    void cancel();

signals:
    void turnsChanged();
    void pendingQuestionChanged();
    void isSendingChanged();
    void errorMessageChanged();
    void requestGenerationChanged();

private:
    void finishSend(const ConversationSendRequest& request, const ChatResult& result,
                    const SendCompletion& done);
    void setSending(std::optional<QString> question);
    void setError(std::optional<ModelError> error, bool connectionFailed);

    QList<ConversationMaterial> materials_;
    AIChatClient client_;
    AISharingConsentStore& consentStore_;
    Credentials credentials_;
    QUuid conversationID_ = QUuid::createUuid();
    quint64 requestGeneration_ = 0;
    QList<ChatTurn> turns_;
    std::optional<QString> pendingQuestion_;
    bool isSending_ = false;
    std::optional<ModelError> error_;
    bool connectionFailed_ = false;
    QPointer<ChatReply> reply_;
};
