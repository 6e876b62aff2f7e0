#include "AI/ConversationSession.h"

#include "AI/AISharingConsentStore.h"

ConversationSession::ConversationSession(QList<ConversationMaterial> materials, AIChatClient client,
                                         AISharingConsentStore& consentStore, Credentials credentials,
                                         QObject* parent)
    : QObject(parent)
    , materials_(std::move(materials))
    , client_(std::move(client))
    , consentStore_(consentStore)
    , credentials_(std::move(credentials))
{}

ConversationSession::~ConversationSession()
{
    if (!reply_)
        return;
    reply_->disconnect(this);
    reply_->cancel();
}

std::optional<QString> ConversationSession::errorMessage() const
{
    if (error_)
        return error_->errorDescription();
    if (connectionFailed_)
        return ChatResult::connectionFailedMessage();
    return std::nullopt;
}

std::optional<ConversationSendRequest> ConversationSession::prepareSend(const QString& question)
{
    const QString trimmed = question.trimmed();
    if (trimmed.isEmpty() || isSending_)
        return std::nullopt;
    setError(std::nullopt, false);
    try {
        const ModelCredentials credentials = credentials_();
        const bool holdsImages =
            std::any_of(materials_.cbegin(), materials_.cend(),
                        [](const ConversationMaterial& m) { return m.imageData && !m.imageData->isEmpty(); });
        ConversationSendRequest request;
        request.scope = AISharingScope::make(credentials.configuration, holdsImages);
        request.model = credentials.configuration.model;
        request.materialCount = materials_.size();
        request.conversationID = conversationID_;
        request.generation = requestGeneration_;
        request.configuration = credentials.configuration;
        request.key = credentials.key;
        request.question = trimmed;
        request.history = turns_;
        return request;
    } catch (const ModelError& error) {
        setError(error, false);
        return std::nullopt;
    }
}

void ConversationSession::send(const ConversationSendRequest& request, SendCompletion done)
{
    const bool current = request.conversationID == conversationID_ &&
                         request.generation == requestGeneration_ && request.history == turns_;
    if (isSending_ || !current) {
        done(false);
        return;
    }
    if (!consentStore_.isAllowed(request.scope)) {
        setError(ModelError(ModelError::Kind::sharingConsentRequired), false);
        done(false);
        return;
    }
    setError(std::nullopt, false);
    setSending(request.question);
    reply_ = client_.send(
        ChatRequest{request.configuration, request.key, materials_, request.history, request.question});
    connect(reply_, &ChatReply::finished, this,
            [this, request, done = std::move(done)](const ChatResult& result) {
                finishSend(request, result, done);
            });
}

void ConversationSession::cancel()
{
    ++requestGeneration_;
    emit requestGenerationChanged();
    if (reply_)
        reply_->cancel();
}

void ConversationSession::finishSend(const ConversationSendRequest& request, const ChatResult& result,
                                     const SendCompletion& done)
{
    reply_ = nullptr;
    setSending(std::nullopt);
    const bool stale = request.generation != requestGeneration_;
    if (stale || result.status == ChatResult::Status::cancelled) {
        done(false);
        return;
    }
    switch (result.status) {
    case ChatResult::Status::answered:
        turns_.append(ChatTurn{QUuid::createUuid(), request.question, result.answer});
        emit turnsChanged();
        done(true);
        return;
    case ChatResult::Status::failed:
        setError(result.error, false);
        break;
    case ChatResult::Status::connectionFailed:
        setError(std::nullopt, true);
        break;
    case ChatResult::Status::cancelled:
        break;
    }
    done(false);
}

void ConversationSession::setSending(std::optional<QString> question)
{
    const bool sending = question.has_value();
    if (pendingQuestion_ != question) {
        pendingQuestion_ = std::move(question);
        emit pendingQuestionChanged();
    }
    if (isSending_ != sending) {
        isSending_ = sending;
        emit isSendingChanged();
    }
}

void ConversationSession::setError(std::optional<ModelError> error, bool connectionFailed)
{
    if (error_ == error && connectionFailed_ == connectionFailed)
        return;
    error_ = std::move(error);
    connectionFailed_ = connectionFailed;
    emit errorMessageChanged();
}
