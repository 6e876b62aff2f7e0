#include "AI/ModelError.h"
#include "ConversationViewFixture.h"
#include "UI/AI/AISharingConsentView.h"
#include "UI/AI/ConversationAnswerText.h"
#include "UI/AI/ConversationTranscript.h"
#include "UI/AI/DraftQuestionEditor.h"

#include <QAccessible>
#include <QJsonDocument>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace {

constexpr int refusalWaitMs = 300;

QPushButton* sheetButton(const QWidget& sheet, const QString& text)
{
    for (QPushButton* button : sheet.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

class ConversationComposerTest : public ConversationViewFixture {};

struct SendCase {
    const char* name;
    bool editWhileWaiting;
    const char* questionAfter;
};

class ConversationComposerSendTest : public ConversationViewFixture,
                                     public ::testing::WithParamInterface<SendCase> {};

TEST_P(ConversationComposerSendTest, SendsAtOnceWithConsentAndEmptiesOnlyTheUnchangedQuestion)
{
    makeConsentedView();
    enqueueAnswer(QStringLiteral("Because it is."), 200);
    view->setQuestion(QStringLiteral("  Why?\n"));
    composer->sendButton()->click();
    EXPECT_FALSE(view->sharingRequest());
    EXPECT_FALSE(view->consentSheet());
    ASSERT_TRUE(server.waitForRequests(1));
    EXPECT_EQ(view->question(), QStringLiteral("  Why?\n"))
        << "the question stays while the answer is awaited";
    if (GetParam().editWhileWaiting)
        view->setQuestion(QStringLiteral("Why not?"));

    ASSERT_TRUE(QTest::qWaitFor([this] { return session->turns().size() == 1; }, waitMs));
    EXPECT_EQ(session->turns().at(0).question, QStringLiteral("Why?"));
    ASSERT_EQ(workspace->transcript().answerTexts().size(), 1);
    EXPECT_EQ(workspace->transcript().answerTexts().at(0)->toPlainText(), QStringLiteral("Because it is."));
    EXPECT_EQ(view->question(), QString::fromUtf8(GetParam().questionAfter));
    EXPECT_EQ(composer->editor()->question(), view->question());
}

INSTANTIATE_TEST_SUITE_P(Cases, ConversationComposerSendTest,
                         ::testing::Values(SendCase{"Unchanged", false, ""},
                                           SendCase{"EditedWhileWaiting", true, "Why not?"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConversationComposerTest, WithoutConsentTheSheetAsksAndCancelSendsNothing)
{
    configure({model(QStringLiteral("model-a"))});
    makeView();
    view->setQuestion(QStringLiteral("Why?"));
    composer->sendButton()->click();
    ASSERT_TRUE(view->sharingRequest());
    EXPECT_EQ(view->sharingRequest()->question, QStringLiteral("Why?"));
    ASSERT_TRUE(view->consentSheet());
    EXPECT_FALSE(session->isSending());

    QPushButton* cancel = sheetButton(*view->consentSheet(), QStringLiteral("Cancel"));
    ASSERT_TRUE(cancel);
    cancel->click();
    EXPECT_FALSE(view->sharingRequest());
    EXPECT_FALSE(server.waitForRequests(1, refusalWaitMs));
    EXPECT_TRUE(consent.grants().isEmpty());
    EXPECT_EQ(view->question(), QStringLiteral("Why?"));

    composer->sendButton()->click();
    EXPECT_TRUE(view->sharingRequest()) << "the next press asks again";
}

TEST_F(ConversationComposerTest, AgreeingRecordsTheConsentAndSends)
{
    configure({model(QStringLiteral("model-a"))});
    makeView();
    enqueueAnswer(QStringLiteral("Yes."));
    view->setQuestion(QStringLiteral("Why?"));
    composer->sendButton()->click();
    ASSERT_TRUE(view->consentSheet());
    const AISharingScope scope = view->sharingRequest()->scope;

    QPushButton* agree = sheetButton(*view->consentSheet(), QStringLiteral("Agree and Send"));
    ASSERT_TRUE(agree);
    agree->click();
    EXPECT_FALSE(view->sharingRequest());
    EXPECT_TRUE(consent.isAllowed(scope));
    EXPECT_TRUE(defaults.values.contains(AISharingConsentStore::storageKey));
    ASSERT_TRUE(QTest::qWaitFor([this] { return session->turns().size() == 1; }, waitMs));
    EXPECT_EQ(session->turns().at(0).answer, QStringLiteral("Yes."));
    EXPECT_EQ(view->question(), QString());
    EXPECT_EQ(server.requests().size(), 1);
}

TEST_F(ConversationComposerTest, ApprovingAStaleRequestRecordsNoConsentAndSendsNothing)
{
    configure({model(QStringLiteral("model-a"))});
    makeView();
    view->setQuestion(QStringLiteral("Why?"));
    composer->sendButton()->click();
    ASSERT_TRUE(view->sharingRequest());
    const ConversationSendRequest request = *view->sharingRequest();
    session->cancel(); // moves the generation on

    composer->approveSharing(request);
    EXPECT_FALSE(view->sharingRequest());
    EXPECT_FALSE(consent.isAllowed(request.scope));
    EXPECT_FALSE(session->isSending());
    EXPECT_FALSE(server.waitForRequests(1, refusalWaitMs));
    EXPECT_EQ(view->question(), QStringLiteral("Why?"));
}

TEST_F(ConversationComposerTest, StopWhileWaitingAppendsNothingAndKeepsTheQuestion)
{
    makeConsentedView();
    enqueueWithheld();
    view->setQuestion(QStringLiteral("Why?"));
    composer->sendButton()->click();
    ASSERT_TRUE(server.waitForRequests(1));
    ASSERT_TRUE(session->isSending());

    QAbstractButton* button = composer->sendButton();
    EXPECT_EQ(button->accessibleName(), QStringLiteral("Stop Response"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("Stop Response"));
    EXPECT_FALSE(composer->modelMenuButton()->isEnabled());
    view->setQuestion(QString());
    EXPECT_TRUE(button->isEnabled()) << "stop stays enabled with an empty question";
    view->setQuestion(QStringLiteral("Why?"));

    button->click();
    EXPECT_FALSE(session->isSending());
    EXPECT_TRUE(session->turns().isEmpty());
    EXPECT_FALSE(session->errorMessage());
    EXPECT_FALSE(workspace->errorLine()->isVisibleTo(workspace));
    EXPECT_TRUE(workspace->emptyState()->isVisibleTo(workspace));
    EXPECT_EQ(view->question(), QStringLiteral("Why?"));
    EXPECT_EQ(button->accessibleName(), QStringLiteral("Send Question"));
    EXPECT_TRUE(composer->modelMenuButton()->isEnabled());
}

TEST_F(ConversationComposerTest, AServiceErrorShowsItsExactMessageUnderTheEmptyState)
{
    makeConsentedView();
    server.enqueue(Response::json(500, R"({"error":{"message":"Quota exceeded"}})"));
    view->setQuestion(QStringLiteral("Why?"));
    composer->sendButton()->click();
    ASSERT_TRUE(server.waitForRequests(1));
    ASSERT_TRUE(waitUntilIdle());

    const QString expected =
        ModelError::serviceError(500, QStringLiteral("Quota exceeded")).errorDescription();
    EXPECT_EQ(session->errorMessage(), expected);
    EXPECT_EQ(workspace->errorLine()->text(), expected);
    EXPECT_TRUE(workspace->errorLine()->isVisibleTo(workspace));
    EXPECT_EQ(workspace->errorLine()->textFormat(), Qt::PlainText);
    EXPECT_TRUE(workspace->errorLine()->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_TRUE(workspace->emptyState()->isVisibleTo(workspace));
    EXPECT_FALSE(workspace->transcript().isVisibleTo(workspace));
    EXPECT_EQ(view->question(), QStringLiteral("Why?"));

    enqueueAnswer(QStringLiteral("Fine now."));
    composer->sendButton()->click();
    EXPECT_FALSE(workspace->errorLine()->isVisibleTo(workspace))
        << "preparing the next send clears the error";
}

TEST_F(ConversationComposerTest, ASecondSendWhileOneRunsIsRefused)
{
    makeConsentedView();
    enqueueWithheld();
    view->setQuestion(QStringLiteral("First"));
    composer->sendButton()->click();
    ASSERT_TRUE(server.waitForRequests(1));

    EXPECT_FALSE(session->prepareSend(QStringLiteral("Second")));
    ConversationSendRequest second;
    second.conversationID = session->conversationID();
    second.generation = session->requestGeneration();
    second.question = QStringLiteral("Second");
    composer->send(second);
    EXPECT_TRUE(session->isSending());
    EXPECT_EQ(session->pendingQuestion(), QStringLiteral("First"));
    EXPECT_FALSE(server.waitForRequests(2, refusalWaitMs));
    session->cancel();
}

struct DisabledCase {
    const char* question;
    bool configured;
    bool disabled;
};

TEST_F(ConversationComposerTest, SendIsDisabledForABlankQuestionOrWithoutAModel)
{
    const DisabledCase cases[] = {
        {"", true, true},          {" \n\t ", true, true}, {"Why?", true, false},
        {"  Why?\n", true, false}, {"Why?", false, true},  {"", false, true},
    };
    for (const DisabledCase& c : cases) {
        settings.commit(ModelLibrary());
        if (c.configured)
            configure({model(QStringLiteral("model-a"))});
        view.reset();
        session.reset();
        makeView();
        view->setQuestion(QString::fromUtf8(c.question));
        SCOPED_TRACE(testing::Message() << '"' << c.question << "\" configured " << c.configured);
        EXPECT_EQ(composer->isSendDisabled(), c.disabled);
        EXPECT_EQ(composer->sendButton()->isEnabled(), !c.disabled);
        EXPECT_EQ(composer->sendButton()->accessibleName(), QStringLiteral("Send Question"));
        EXPECT_EQ(composer->sendButton()->toolTip(),
                  QStringLiteral("Send the question and selected materials to your configured model."));
        EXPECT_EQ(composer->modelMenuButton()->text(),
                  c.configured ? QStringLiteral("model-a") : QStringLiteral("Configure Model"));
        EXPECT_EQ(composer->modelMenuButton()->toolTip(), QStringLiteral("Use model"));
    }
}

TEST_F(ConversationComposerTest, TheModelMenuListsEnabledModelsAndSelectingCommitsTheLibrary)
{
    const SavedModel first = model(QStringLiteral("alpha"));
    const SavedModel off = model(QStringLiteral("beta"), false);
    const SavedModel third = model(QStringLiteral("gamma"));
    configure({first, off, third}, off.id); // a disabled choice: the first enabled model is active
    makeView();
    int settingsShown = 0;
    composer->setShowModelSettings([&] { ++settingsShown; });

    emit composer->modelMenu()->aboutToShow();
    const QList<QAction*> items = composer->modelMenu()->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items.at(0)->text(), QStringLiteral("alpha"));
    EXPECT_FALSE(items.at(0)->icon().isNull()) << "checkmark on the active model";
    EXPECT_EQ(items.at(1)->text(), QStringLiteral("gamma"));
    EXPECT_TRUE(items.at(1)->icon().isNull());
    EXPECT_TRUE(items.at(2)->isSeparator());
    EXPECT_EQ(items.at(3)->text(), QStringLiteral("Model Settings"));
    EXPECT_EQ(composer->modelMenuButton()->text(), QStringLiteral("alpha"));

    items.at(1)->trigger();
    EXPECT_EQ(settings.library().selectedID, third.id);
    EXPECT_EQ(ModelLibrary::fromJson(defaults.value(ModelLibrary::storageKey))->selectedID, third.id);
    EXPECT_EQ(composer->modelMenuButton()->text(), QStringLiteral("gamma"));
    emit composer->modelMenu()->aboutToShow();
    EXPECT_TRUE(composer->modelMenu()->actions().at(0)->icon().isNull());
    EXPECT_FALSE(composer->modelMenu()->actions().at(1)->icon().isNull());

    composer->modelMenu()->actions().at(3)->trigger();
    EXPECT_EQ(settingsShown, 1);
    EXPECT_EQ(settings.library().selectedID, third.id);
}

TEST_F(ConversationComposerTest, ModelNamesShowAsWrittenWithoutMnemonics)
{
    const char* const names[] = {"R&D-large", "a&&b", "&x", "tail&"};
    for (const char* raw : names) {
        const QString name = QString::fromUtf8(raw);
        SCOPED_TRACE(raw);
        settings.commit(ModelLibrary());
        configure({model(name)});
        view.reset();
        session.reset();
        makeView();
        QToolButton* button = composer->modelMenuButton();
        EXPECT_TRUE(button->shortcut().isEmpty());
        QAccessibleInterface* buttonAccessible = QAccessible::queryAccessibleInterface(button);
        ASSERT_TRUE(buttonAccessible);
        EXPECT_EQ(buttonAccessible->text(QAccessible::Name), name);

        emit composer->modelMenu()->aboutToShow();
        QAccessibleInterface* menuAccessible = QAccessible::queryAccessibleInterface(composer->modelMenu());
        ASSERT_TRUE(menuAccessible);
        ASSERT_GE(menuAccessible->childCount(), 1);
        EXPECT_EQ(menuAccessible->child(0)->text(QAccessible::Name), name);
    }
}

TEST_F(ConversationComposerTest, WithoutModelsTheMenuOffersOnlyModelSettings)
{
    makeView();
    emit composer->modelMenu()->aboutToShow();
    const QList<QAction*> items = composer->modelMenu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items.at(0)->isSeparator());
    EXPECT_EQ(items.at(1)->text(), QStringLiteral("Model Settings"));
    EXPECT_TRUE(composer->modelMenuButton()->isEnabled());
}

TEST_F(ConversationComposerTest, ItsTextsFollowTheLanguageAtOnce)
{
    makeView();
    const struct {
        AppLanguage language;
        const char* label;
        const char* send;
        const char* tooltip;
    } cases[] = {
        {AppLanguage::japanese, "モデルを設定", "質問を送信",
         "質問と選択した資料を設定済みのモデルに送信します。"},
        {AppLanguage::traditionalChinese, "設定模型", "傳送問題", "將問題與所選素材傳送給你設定的模型。"},
        {AppLanguage::english, "Configure Model", "Send Question",
         "Send the question and selected materials to your configured model."},
    };
    for (const auto& c : cases) {
        Localization::shared().setLanguage(c.language);
        EXPECT_EQ(composer->modelMenuButton()->text(), QString::fromUtf8(c.label));
        EXPECT_EQ(composer->sendButton()->accessibleName(), QString::fromUtf8(c.send));
        EXPECT_EQ(composer->sendButton()->toolTip(), QString::fromUtf8(c.tooltip));
        EXPECT_EQ(composer->editor()->locale(),
                  QLocale(AppLanguages::rawValue(Localization::shared().resolvedLanguage())));
    }
}

} // namespace
