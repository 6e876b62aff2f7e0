#include "UI/AI/ConversationWindowController.h"

#include "AI/AIModelSettings.h"
#include "AI/AISharingConsentStore.h"
#include "AI/ConversationSession.h"
#include "UI/AI/AISharingConsentView.h"
#include "UI/AI/ConversationComposer.h"
#include "UI/AI/ConversationDraftView.h"
#include "UI/AI/ConversationWorkspace.h"
#include "UI/AI/DraftQuestionEditor.h"
#include "UI/AI/DraftQuestionEditorBridge.h"
#include "UI/VelloraIconButton.h"
#include "Util/Localization.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeKeychain.h"
#include "support/LoopbackHttpServer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

constexpr int waitMs = 10'000;

struct HandledAction {
    ConversationResultAction action;
    QString answer;
    ConversationWindowController::ResultCompletion completion;
};

// A conversation window over its own model settings and consent store (in memory), with a
// model whose endpoint is a loopback server. Result actions are recorded for the test to
// complete.
class ConversationWindowControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Localization::shared().setLanguage(AppLanguage::english);
        SavedModel model;
        model.id = QUuid::createUuid();
        model.configuration = ModelConfiguration(server.url(QStringLiteral("/v1")).toString(),
                                                 QStringLiteral("m"), true, ModelProvider::openAI);
        settings.save(model, QStringLiteral("sk-test"));
        makeController();
    }

    void makeController()
    {
        handled.clear();
        ConversationMaterial material;
        material.title = QStringLiteral("note");
        material.text = QStringLiteral("material text");
        ConversationDraft draft;
        draft.materials = {material};
        controller = std::make_unique<ConversationWindowController>(
            draft,
            [this](ConversationResultAction action, const QString& answer,
                   ConversationWindowController::ResultCompletion completion) {
                handled.push_back({action, answer, std::move(completion)});
            },
            settings, consent);
        controller->onClose = [this] { ++closes; };
    }

    void TearDown() override { Localization::shared().setLanguage(AppLanguage::english); }

    void showActive()
    {
        controller->showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window(), waitMs));
    }

    // Runs an action and returns what its completion received, if anything yet.
    std::shared_ptr<std::optional<bool>> perform(ConversationResultAction action, const QString& answer)
    {
        auto result = std::make_shared<std::optional<bool>>();
        controller->performResultAction(action, answer, [result](bool ok) {
            EXPECT_FALSE(result->has_value()) << "completion called twice";
            *result = ok;
        });
        return result;
    }

    LoopbackHttpServer server;
    FakeDefaults defaults;
    FakeKeychain keychain;
    AIModelSettings settings{defaults, keychain};
    AISharingConsentStore consent{defaults};
    std::unique_ptr<ConversationWindowController> controller;
    std::vector<HandledAction> handled;
    int closes = 0;
};

TEST_F(ConversationWindowControllerTest, theWindowHasItsSizeTitleAndContent)
{
    QWidget* window = controller->window();
    EXPECT_EQ(window->size(), QSize(1100, 720));
    EXPECT_EQ(window->minimumSize(), QSize(880, 540));
    EXPECT_TRUE(window->hasMouseTracking());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vellora · New Conversation"));
    EXPECT_EQ(&controller->view().session(), &controller->session());
    EXPECT_EQ(&controller->view().editorBridge(), &controller->editorBridge());
    EXPECT_EQ(controller->session().materials().size(), 1);
    EXPECT_EQ(controller->view().question(), QString());
    EXPECT_FALSE(controller->view().sharingRequest());
    EXPECT_FALSE(controller->view().previewMaterial());
    Localization::shared().setLanguage(AppLanguage::traditionalChinese);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vellora · 新對話"));
}

TEST_F(ConversationWindowControllerTest, closingCallsOnCloseOnceAndRefusesLaterActions)
{
    showActive();
    controller->close();
    controller->close();
    QCloseEvent again;
    QApplication::sendEvent(controller->window(), &again);
    EXPECT_TRUE(controller->isClosed());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(*perform(ConversationResultAction::copy, QStringLiteral("answer")), false);
    EXPECT_TRUE(handled.empty()) << "the creator's closure is not called";
    controller->showWindow();
    EXPECT_FALSE(controller->window()->isVisible()) << "a closed window is not shown again";
}

TEST_F(ConversationWindowControllerTest, ctrlWInTheQuestionClosesTheWindow)
{
    DraftQuestionEditor* editor = controller->editorBridge().editor();
    showActive();
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->hasFocus(); }, waitMs));
    QTest::keyClick(editor, Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(controller->isClosed());
    EXPECT_EQ(closes, 1);
}

TEST_F(ConversationWindowControllerTest, closingCancelsTheRequestInFlight)
{
    LoopbackHttpServer::Response held = LoopbackHttpServer::Response::json(200, "{}");
    held.withholdAnswer = true;
    server.enqueue(held);
    showActive();
    ConversationSession& session = controller->session();
    const std::optional<ConversationSendRequest> request = session.prepareSend(QStringLiteral("Why?"));
    ASSERT_TRUE(request) << session.errorMessage().value_or(QString()).toStdString();
    consent.approve(request->scope);
    std::optional<bool> done;
    session.send(*request, [&](bool answered) { done = answered; });
    ASSERT_TRUE(server.waitForRequests(1, waitMs));
    EXPECT_EQ(server.requests().first().header("authorization"), QByteArray("Bearer sk-test"));
    ASSERT_TRUE(session.isSending());

    controller->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.has_value(); }, waitMs));
    EXPECT_EQ(done, false);
    EXPECT_FALSE(session.isSending());
    EXPECT_TRUE(session.turns().isEmpty()) << "no late answer joins the transcript";
    EXPECT_EQ(session.requestGeneration(), request->generation + 1);
}

TEST_F(ConversationWindowControllerTest, resultActionsRunOneAtATime)
{
    const struct {
        const char* name;
        QString answer;
    } refused[] = {
        {"empty", QString()},
        {"spaces and line breaks", QStringLiteral(" \n\t \r\n")},
    };
    for (const auto& c : refused) {
        EXPECT_EQ(*perform(ConversationResultAction::copy, c.answer), false) << c.name;
        EXPECT_FALSE(controller->isResultActionRunning()) << c.name;
    }
    EXPECT_TRUE(handled.empty());

    auto first = perform(ConversationResultAction::save, QStringLiteral("  kept as is\n"));
    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(handled[0].action, ConversationResultAction::save);
    EXPECT_EQ(handled[0].answer, QStringLiteral("  kept as is\n")) << "handed on untrimmed";
    std::optional<bool> viaView;
    controller->view().performResultAction(ConversationResultAction::copy, QStringLiteral("second"),
                                           [&](bool ok) { viaView = ok; });
    EXPECT_EQ(viaView, false) << "the view's closure goes through the same gate";
    EXPECT_EQ(handled.size(), 1u) << "the second action never reaches the creator";
    EXPECT_FALSE(first->has_value());

    handled[0].completion(true);
    EXPECT_EQ(*first, true);
    handled[0].completion(false);
    EXPECT_EQ(*first, true) << "a second completion of the same action is dropped";

    auto third = perform(ConversationResultAction::copy, QStringLiteral("third"));
    ASSERT_EQ(handled.size(), 2u) << "the next action may start once the first finished";
    handled[1].completion(false);
    EXPECT_EQ(*third, false);
}

TEST_F(ConversationWindowControllerTest, theWindowHidesDuringAPasteBackAndReturnsOnlyWhenItFails)
{
    const struct {
        const char* name;
        bool succeeded;
        bool closeFirst;
        bool visibleAfter;
    } cases[] = {
        {"success stays hidden", true, false, false},
        {"failure shows it again", false, false, true},
        {"failure after closing keeps it closed", false, true, false},
    };
    for (const auto& c : cases) {
        makeController();
        showActive();
        auto result = perform(ConversationResultAction::paste, QStringLiteral("answer"));
        ASSERT_EQ(handled.size(), 1u) << c.name;
        EXPECT_FALSE(controller->window()->isVisible()) << c.name << ": hidden while pasting";
        EXPECT_FALSE(controller->isClosed()) << c.name;
        if (c.closeFirst)
            controller->close();
        handled[0].completion(c.succeeded);
        EXPECT_EQ(*result, c.succeeded) << c.name << ": the view hears the result";
        EXPECT_EQ(controller->window()->isVisible(), c.visibleAfter) << c.name;
        if (c.visibleAfter) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(controller->window(), waitMs)) << c.name;
        }
    }
}

TEST_F(ConversationWindowControllerTest, aCompletionAfterTheControllerIsGoneIsDropped)
{
    auto result = perform(ConversationResultAction::copy, QStringLiteral("answer"));
    ASSERT_EQ(handled.size(), 1u);
    ConversationWindowController::ResultCompletion completion = handled[0].completion;
    controller.reset();
    completion(true);
    EXPECT_FALSE(result->has_value());
}

TEST_F(ConversationWindowControllerTest, theFirstActivationFocusesTheEditorOnce)
{
    DraftQuestionEditor* editor = controller->editorBridge().editor();
    ASSERT_TRUE(editor) << "the composer registers its editor";
    showActive();
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->hasFocus(); }, waitMs));
    EXPECT_FALSE(controller->editorBridge().initialFocusPending());

    controller->view().clipboardToggle()->setFocus();
    auto other = std::make_unique<QWidget>();
    other->show();
    other->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other.get(), waitMs));
    controller->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window(), waitMs));
    QCoreApplication::processEvents();
    EXPECT_EQ(controller->window()->focusWidget(), controller->view().clipboardToggle())
        << "later activations leave the focus where the user put it";
}

TEST_F(ConversationWindowControllerTest, aQuestionTypedInTheWindowIsAnsweredAfterConsent)
{
    const QJsonObject message{{"content", QStringLiteral("Forty-two.")}};
    const QJsonArray choices{QJsonObject{{"message", message}}};
    server.enqueue(
        LoopbackHttpServer::Response::json(200, QJsonDocument(QJsonObject{{"choices", choices}}).toJson()));
    showActive();
    DraftQuestionEditor* editor = controller->editorBridge().editor();
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->hasFocus(); }, waitMs));
    QTest::keyClicks(editor, QStringLiteral("Meaning?"));
    EXPECT_EQ(controller->view().question(), QStringLiteral("Meaning?"));

    controller->view().workspace()->composer().sendOrStop();
    AISharingConsentView* sheet = controller->view().consentSheet();
    ASSERT_TRUE(sheet) << "the first send to a service asks for consent";
    EXPECT_TRUE(server.requests().isEmpty());
    QTest::keyClick(sheet, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller->session().turns().size() == 1; }, waitMs));
    EXPECT_EQ(controller->session().turns().first().answer, QStringLiteral("Forty-two."));
    EXPECT_EQ(controller->view().consentSheet(), nullptr);
    EXPECT_FALSE(controller->view().sharingRequest());
    EXPECT_EQ(server.requests().size(), 1);
}

} // namespace
