#pragma once

#include "AI/AIModelSettings.h"
#include "AI/AISharingConsentStore.h"
#include "AI/ConversationSession.h"
#include "AI/ModelNetworkAccessManager.h"
#include "UI/AI/ConversationComposer.h"
#include "UI/AI/ConversationDraftView.h"
#include "UI/AI/ConversationWorkspace.h"
#include "UI/AI/DraftQuestionEditorBridge.h"
#include "Util/Localization.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeKeychain.h"
#include "support/LoopbackHttpServer.h"

#include <QAbstractButton>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// A conversation view over a real session that talks to a loopback model service. Answer
// actions are recorded with their completion, for the test to call.
class ConversationViewFixture : public ::testing::Test {
protected:
    using Response = LoopbackHttpServer::Response;

    struct RecordedAction {
        ConversationResultAction action;
        QString answer;
        ConversationDraftView::ResultCompletion completion;
    };

    static constexpr int waitMs = 10'000;

    void SetUp() override { Localization::shared().setLanguage(AppLanguage::english); }
    void TearDown() override { Localization::shared().setLanguage(AppLanguage::english); }

    SavedModel model(const QString& name, bool enabled = true) const
    {
        SavedModel saved;
        saved.id = QUuid::createUuid();
        saved.configuration = ModelConfiguration(server.url(QStringLiteral("/v1")).toString(), name, true,
                                                 ModelProvider::openAI);
        saved.isEnabled = enabled;
        return saved;
    }

    void configure(const QList<SavedModel>& models, std::optional<QUuid> selected = std::nullopt)
    {
        ModelLibrary library;
        library.models = models;
        library.selectedID = selected;
        settings.commit(library);
    }

    void makeView(QList<ConversationMaterial> materials = {})
    {
        ConversationDraft draft;
        draft.materials = materials;
        session = std::make_unique<ConversationSession>(std::move(materials), AIChatClient(&manager), consent,
                                                        [this] { return settings.activeCredentials(); });
        view = std::make_unique<ConversationDraftView>(
            draft, bridge, *session, settings,
            [this](ConversationResultAction action, const QString& answer,
                   ConversationDraftView::ResultCompletion completion) {
                actions.push_back({action, answer, std::move(completion)});
            });
        view->resize(1000, 720);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        workspace = view->findChild<ConversationWorkspace*>();
        ASSERT_TRUE(workspace);
        composer = &workspace->composer();
    }

    // A configured model and a view whose service already has the user's consent.
    void makeConsentedView()
    {
        configure({model(QStringLiteral("model-a"))});
        makeView();
        const std::optional<ConversationSendRequest> probe = session->prepareSend(QStringLiteral("probe"));
        ASSERT_TRUE(probe);
        consent.approve(probe->scope);
    }

    static QByteArray answerBody(const QString& text)
    {
        return QJsonDocument(QJsonObject{{"choices", QJsonArray{QJsonObject{
                                                         {"message", QJsonObject{{"content", text}}}}}}})
            .toJson();
    }

    void enqueueAnswer(const QString& text, int delayMs = 0)
    {
        Response response = Response::json(200, answerBody(text));
        response.delayMs = delayMs;
        server.enqueue(response);
    }

    void enqueueWithheld()
    {
        Response response = Response::json(200, {});
        response.withholdAnswer = true;
        server.enqueue(response);
    }

    bool waitUntilIdle()
    {
        return QTest::qWaitFor([this] { return !session->isSending(); }, waitMs);
    }

    // Asks the question through the send button and waits for its answer.
    void ask(const QString& question, const QString& answer)
    {
        enqueueAnswer(answer);
        view->setQuestion(question);
        const qsizetype before = session->turns().size();
        composer->sendButton()->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return session->turns().size() == before + 1; }, waitMs));
    }

    LoopbackHttpServer server;
    ModelNetworkAccessManager manager;
    FakeDefaults defaults;
    FakeKeychain keychain;
    AIModelSettings settings{defaults, keychain};
    AISharingConsentStore consent{defaults};
    DraftQuestionEditorBridge bridge;
    std::unique_ptr<ConversationSession> session;
    std::unique_ptr<ConversationDraftView> view;
    ConversationWorkspace* workspace = nullptr;
    ConversationComposer* composer = nullptr;
    std::vector<RecordedAction> actions;
};
