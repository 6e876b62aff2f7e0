#include "AI/ConversationSession.h"
#include "AI/AISharingConsentStore.h"
#include "AI/ModelNetworkAccessManager.h"
#include "AITestSupport.h"
#include "fakes/FakeDefaults.h"
#include "support/LoopbackHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

namespace {

using Response = LoopbackHttpServer::Response;

QByteArray answer(const QString& text)
{
    return QJsonDocument(
               QJsonObject{{"choices", QJsonArray{QJsonObject{{"message", QJsonObject{{"content", text}}}}}}})
        .toJson();
}

class ConversationSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        useEnglish();
        configuration = ModelConfiguration(server.url(QStringLiteral("/v1")).toString(), QStringLiteral("m"),
                                           true, ModelProvider::openAI);
    }

    std::unique_ptr<ConversationSession> makeSession(QList<ConversationMaterial> materials = {})
    {
        return std::make_unique<ConversationSession>(std::move(materials), AIChatClient(&manager), consent,
                                                     [this]() -> ModelCredentials {
                                                         ++credentialCalls;
                                                         if (credentialsError)
                                                             throw *credentialsError;
                                                         return {configuration, QStringLiteral("sk-1")};
                                                     });
    }

    ConversationSendRequest prepareApproved(ConversationSession& session, const QString& question)
    {
        std::optional<ConversationSendRequest> request = session.prepareSend(question);
        EXPECT_TRUE(request);
        consent.approve(request->scope);
        return *request;
    }

    // Sends and waits for the completion.
    std::optional<bool> sendAndWait(ConversationSession& session, const ConversationSendRequest& request)
    {
        std::optional<bool> done;
        session.send(request, [&](bool ok) {
            EXPECT_FALSE(session.isSending());
            EXPECT_FALSE(session.pendingQuestion());
            done = ok;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done.has_value(); }, 10'000));
        return done;
    }

    LoopbackHttpServer server;
    ModelNetworkAccessManager manager;
    FakeDefaults defaults;
    AISharingConsentStore consent{defaults};
    ModelConfiguration configuration;
    std::optional<ModelError> credentialsError;
    int credentialCalls = 0;
};

TEST_F(ConversationSessionTest, PrepareSendSnapshotsTheSession)
{
    ConversationMaterial image;
    image.imageData = QByteArray("\x89PNG\r\n\x1a\n");
    auto session = makeSession({image, ConversationMaterial()});
    EXPECT_FALSE(session->prepareSend(QStringLiteral(" \n\t ")));
    EXPECT_EQ(credentialCalls, 0);

    const std::optional<ConversationSendRequest> request = session->prepareSend(QStringLiteral("  Why?\n"));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->question, QStringLiteral("Why?"));
    EXPECT_EQ(request->conversationID, session->conversationID());
    EXPECT_EQ(request->generation, 0u);
    EXPECT_EQ(request->materialCount, 2);
    EXPECT_EQ(request->model, QStringLiteral("m"));
    EXPECT_EQ(request->key, QStringLiteral("sk-1"));
    EXPECT_TRUE(request->scope.includesImages);
    EXPECT_EQ(request->scope.endpoint, configuration.endpoint().toString());
    EXPECT_NE(session->prepareSend(QStringLiteral("Why?"))->id, request->id);
}

TEST_F(ConversationSessionTest, CredentialFailuresBecomeTheSessionsError)
{
    auto session = makeSession();
    QSignalSpy errors(session.get(), &ConversationSession::errorMessageChanged);
    credentialsError = ModelError::keychain();
    EXPECT_FALSE(session->prepareSend(QStringLiteral("q")));
    EXPECT_EQ(session->errorMessage(), ModelError::keychain().errorDescription());
    credentialsError.reset();
    EXPECT_TRUE(session->prepareSend(QStringLiteral("q")));
    EXPECT_FALSE(session->errorMessage());
    EXPECT_EQ(errors.count(), 2);
}

TEST_F(ConversationSessionTest, WithoutConsentNothingIsSent)
{
    auto session = makeSession();
    const ConversationSendRequest request = *session->prepareSend(QStringLiteral("q"));
    std::optional<bool> done;
    session->send(request, [&](bool ok) { done = ok; });
    EXPECT_EQ(done, false);
    EXPECT_EQ(session->errorMessage(),
              QStringLiteral("Agree to share these materials with the AI service before sending."));
    QTest::qWait(50);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(ConversationSessionTest, AnAnswerBecomesATurnAndTheNextSendCarriesIt)
{
    server.enqueue(Response::json(200, answer(QStringLiteral("A1"))));
    server.enqueue(Response::json(200, answer(QStringLiteral("A2"))));
    auto session = makeSession();
    QSignalSpy sending(session.get(), &ConversationSession::isSendingChanged);
    const ConversationSendRequest first = prepareApproved(*session, QStringLiteral("Q1"));
    std::optional<bool> done;
    session->send(first, [&](bool ok) { done = ok; });
    EXPECT_TRUE(session->isSending());
    EXPECT_EQ(session->pendingQuestion(), QStringLiteral("Q1"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.has_value(); }, 10'000));
    EXPECT_EQ(done, true);
    ASSERT_EQ(session->turns().size(), 1);
    EXPECT_EQ(session->turns()[0].question, QStringLiteral("Q1"));
    EXPECT_EQ(session->turns()[0].answer, QStringLiteral("A1"));
    EXPECT_EQ(sending.count(), 2);

    EXPECT_EQ(sendAndWait(*session, first), false); // history moved on: stale
    EXPECT_EQ(sendAndWait(*session, *session->prepareSend(QStringLiteral("Q2"))), true);
    const QJsonArray messages = QJsonDocument::fromJson(server.requests().at(1).body)
                                    .object()
                                    .value(QLatin1String("messages"))
                                    .toArray();
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages[1].toObject().value(QLatin1String("content")).toString(), QStringLiteral("A1"));
}

TEST_F(ConversationSessionTest, CancelDropsTheLateAnswer)
{
    Response late = Response::json(200, answer(QStringLiteral("late")));
    late.delayMs = 300;
    server.enqueue(late);
    auto session = makeSession();
    const ConversationSendRequest request = prepareApproved(*session, QStringLiteral("Q"));
    std::optional<bool> done;
    session->send(request, [&](bool ok) { done = ok; });
    ASSERT_TRUE(server.waitForRequests(1));
    session->cancel();
    EXPECT_EQ(done, false);
    EXPECT_FALSE(session->isSending());
    EXPECT_EQ(session->requestGeneration(), 1u);
    QTest::qWait(500);
    EXPECT_TRUE(session->turns().isEmpty());
    EXPECT_FALSE(session->errorMessage());

    EXPECT_EQ(sendAndWait(*session, request), false); // prepared for generation 0
}

TEST_F(ConversationSessionTest, ASecondSendWhileOneRunsIsRefused)
{
    Response late = Response::json(200, answer(QStringLiteral("A")));
    late.delayMs = 200;
    server.enqueue(late);
    auto session = makeSession();
    const ConversationSendRequest request = prepareApproved(*session, QStringLiteral("Q"));
    std::optional<bool> first;
    session->send(request, [&](bool ok) { first = ok; });
    EXPECT_FALSE(session->prepareSend(QStringLiteral("again")));
    std::optional<bool> second;
    session->send(request, [&](bool ok) { second = ok; });
    EXPECT_EQ(second, false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.has_value(); }, 10'000));
    EXPECT_EQ(first, true);
    EXPECT_EQ(server.requests().size(), 1);
}

TEST_F(ConversationSessionTest, ErrorsAndConnectionFailuresAreKeptForDisplay)
{
    server.enqueue(Response::json(401, R"({"error":{"message":"no"}})"));
    auto session = makeSession();
    EXPECT_EQ(sendAndWait(*session, prepareApproved(*session, QStringLiteral("Q"))), false);
    EXPECT_EQ(session->errorMessage(), ModelError(ModelError::Kind::unauthorized).errorDescription());

    configuration.baseURL = QStringLiteral("http://127.0.0.1:1/v1");
    EXPECT_EQ(sendAndWait(*session, prepareApproved(*session, QStringLiteral("Q"))), false);
    EXPECT_EQ(session->errorMessage(),
              QStringLiteral("Connection failed. Check the service address and network, then retry."));
    EXPECT_TRUE(session->prepareSend(QStringLiteral("Q")));
    EXPECT_FALSE(session->errorMessage());
}

TEST_F(ConversationSessionTest, ADestroyedSessionIgnoresItsReply)
{
    Response late = Response::json(200, answer(QStringLiteral("A")));
    late.delayMs = 200;
    server.enqueue(late);
    auto session = makeSession();
    bool called = false;
    session->send(prepareApproved(*session, QStringLiteral("Q")), [&](bool) { called = true; });
    session.reset();
    QTest::qWait(400);
    EXPECT_FALSE(called);
}

} // namespace
