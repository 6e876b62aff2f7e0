#include "AI/ModelError.h"
#include "ConversationViewFixture.h"
#include "UI/AI/ConversationAnswerText.h"
#include "UI/AI/ConversationMaterialsColumn.h"
#include "UI/AI/ConversationTranscript.h"
#include "UI/AI/ConversationTranscriptActions.h"
#include "UI/AI/DraftQuestionEditor.h"
#include "UI/AI/MaterialCard.h"
#include "UI/Appearance.h"
#include "UI/Theme.h"
#include "UI/VelloraIconButton.h"
#include "UI/VelloraTooltip.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <utility>

namespace {

using Action = ConversationResultAction;

class ConversationWorkspaceTest : public ConversationViewFixture {};

struct PresetCase {
    AppLanguage language;
    int index;
    const char* symbol;
    const char* title;
    const char* tooltip;
    const char* prompt;
};

TEST_F(ConversationWorkspaceTest, PresetsReplaceTheQuestionWithTheirExactPromptAndFocusTheEditor)
{
    const PresetCase cases[] = {
        {AppLanguage::english, 0, "text.alignleft", "Explain", "Explain these materials",
         "Explain the issue using these materials and suggest the smallest fix."},
        {AppLanguage::english, 1, "character.bubble", "Translate", "Translate these materials",
         "Translate these materials into Simplified Chinese, preserving technical terms."},
        {AppLanguage::english, 2, "doc.text", "Summarize", "Summarize key points",
         "Summarize these materials, listing key findings and next steps."},
        {AppLanguage::english, 3, "arrowshape.turn.up.left", "Reply", "Draft a reply",
         "Draft a concise, friendly reply based on these materials."},
        {AppLanguage::japanese, 1, "character.bubble", "翻訳", "これらの資料を翻訳",
         "これらの資料を簡体字中国語に翻訳してください。専門用語はそのまま残してください。"},
        {AppLanguage::chinese, 3, "arrowshape.turn.up.left", "回复", "起草回复",
         "根据这些素材起草一份简洁友好的回复。"},
    };
    configure({model(QStringLiteral("model-a"))});
    makeView();
    ASSERT_EQ(workspace->presetButtons().size(), 4);
    for (const PresetCase& c : cases) {
        SCOPED_TRACE(c.title);
        Localization::shared().setLanguage(c.language);
        view->setQuestion(QStringLiteral("old text"));
        VelloraIconButton* button = workspace->presetButtons().at(c.index);
        EXPECT_EQ(button->accessibleName(), QString::fromUtf8(c.title));
        auto* tooltip = button->findChild<VelloraTooltip*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_TRUE(tooltip);
        EXPECT_EQ(tooltip->text(), QString::fromUtf8(c.tooltip));
        EXPECT_EQ(button->symbolName(), QString::fromLatin1(c.symbol));
        EXPECT_TRUE(button->text().isEmpty());
        button->click();
        EXPECT_EQ(view->question(), QString::fromUtf8(c.prompt));
        EXPECT_EQ(composer->editor()->question(), QString::fromUtf8(c.prompt));
        EXPECT_EQ(composer->editor()->textCursor().position(), composer->editor()->question().size());
        EXPECT_EQ(view->window()->focusWidget(), composer->editor());
        EXPECT_FALSE(bridge.initialFocusPending());
        EXPECT_FALSE(session->isSending()) << "a preset sends nothing";
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(ConversationWorkspaceTest, APresetWhileARequestRunsLeavesTheRequestAlone)
{
    makeConsentedView();
    enqueueWithheld();
    view->setQuestion(QStringLiteral("Why?"));
    composer->sendButton()->click();
    ASSERT_TRUE(server.waitForRequests(1));
    QAbstractButton* summarize = workspace->presetButtons().at(2);
    EXPECT_TRUE(summarize->isEnabled());
    summarize->click();
    EXPECT_EQ(view->question(),
              QStringLiteral("Summarize these materials, listing key findings and next steps."));
    EXPECT_TRUE(session->isSending());
    EXPECT_EQ(session->pendingQuestion(), QStringLiteral("Why?"));
    session->cancel();
}

TEST_F(ConversationWorkspaceTest, TheTranscriptReplacesTheEmptyStateFromTheFirstSend)
{
    makeConsentedView();
    EXPECT_TRUE(workspace->emptyState()->isVisibleTo(workspace));
    EXPECT_FALSE(workspace->transcript().isVisibleTo(workspace));
    EXPECT_FALSE(workspace->errorLine()->isVisibleTo(workspace));

    enqueueAnswer(QStringLiteral("First answer"), 200);
    view->setQuestion(QStringLiteral("First <b>question</b>"));
    composer->sendButton()->click();
    ASSERT_TRUE(server.waitForRequests(1));
    EXPECT_TRUE(workspace->transcript().isVisibleTo(workspace)) << "waiting shows the transcript";
    EXPECT_FALSE(workspace->emptyState()->isVisibleTo(workspace));
    ASSERT_TRUE(workspace->transcript().pendingBubble());
    EXPECT_EQ(workspace->transcript().pendingBubble()->text(), QStringLiteral("First <b>question</b>"));
    EXPECT_FALSE(workspace->transcript().pendingBubble()->textInteractionFlags() & Qt::TextSelectableByMouse);

    ASSERT_TRUE(QTest::qWaitFor([this] { return session->turns().size() == 1; }, waitMs));
    EXPECT_FALSE(workspace->transcript().pendingBubble());
    ASSERT_EQ(workspace->transcript().answerTexts().size(), 1);
    const ConversationAnswerText* answer = workspace->transcript().answerTexts().at(0);
    EXPECT_TRUE(answer->isReadOnly());
    EXPECT_TRUE(answer->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_EQ(workspace->transcript().actionRows().size(), 1);
    EXPECT_TRUE(workspace->transcript().isVisibleTo(workspace));
}

TEST_F(ConversationWorkspaceTest, AnAnswerOfOnlySpacesAddsNoTurnAndShowsTheEmptyAnswerError)
{
    makeConsentedView();
    ask(QStringLiteral("Q1"), QStringLiteral("Real answer"));
    enqueueAnswer(QStringLiteral("  \n \n"));
    view->setQuestion(QStringLiteral("Q2"));
    composer->sendButton()->click();
    ASSERT_TRUE(server.waitForRequests(2));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(session->turns().size(), 1);
    EXPECT_EQ(workspace->transcript().actionRows().size(), 1);
    EXPECT_EQ(workspace->errorLine()->text(), ModelError(ModelError::Kind::emptyAnswer).errorDescription());
    EXPECT_TRUE(workspace->transcript().isVisibleTo(workspace)) << "earlier turns stay in view";
    EXPECT_EQ(view->question(), QStringLiteral("Q2"));
}

struct ActionCase {
    const char* name;
    Action action;
    bool succeeded;
    const char* saveTitle;
    bool saveEnabledAfter;
};

class ConversationWorkspaceActionTest : public ConversationViewFixture,
                                        public ::testing::WithParamInterface<ActionCase> {};

TEST_P(ConversationWorkspaceActionTest, AnActionDisablesItsRowUntilTheWindowReportsBack)
{
    const ActionCase& c = GetParam();
    makeConsentedView();
    ask(QStringLiteral("Q1"), QStringLiteral("First answer\n"));
    ask(QStringLiteral("Q2"), QStringLiteral("Second answer"));
    ASSERT_EQ(workspace->transcript().actionRows().size(), 2);
    ConversationTranscriptActions* row = workspace->transcript().actionRows().at(0);
    ConversationTranscriptActions* other = workspace->transcript().actionRows().at(1);
    const ChatTurn turn = session->turns().at(0);
    EXPECT_EQ(row->answerID(), turn.id);

    row->button(c.action)->click();
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].action, c.action);
    EXPECT_EQ(actions[0].answer, turn.answer) << "the untrimmed answer";
    EXPECT_TRUE(view->resultActions().pendingAnswerIDs.contains(turn.id));
    for (Action a : {Action::copy, Action::paste, Action::save}) {
        EXPECT_FALSE(row->button(a)->isEnabled());
        EXPECT_TRUE(other->button(a)->isEnabled());
    }
    row->button(c.action)->click();
    EXPECT_EQ(actions.size(), 1u) << "a pending answer takes no second action";

    actions[0].completion(c.succeeded);
    EXPECT_TRUE(view->resultActions().pendingAnswerIDs.isEmpty());
    EXPECT_TRUE(row->button(Action::copy)->isEnabled());
    EXPECT_TRUE(row->button(Action::paste)->isEnabled());
    QToolButton* save = row->button(Action::save);
    EXPECT_EQ(save->text(), QString::fromUtf8(c.saveTitle));
    EXPECT_EQ(save->accessibleName(), QString::fromUtf8(c.saveTitle));
    EXPECT_EQ(save->toolTip(), QStringLiteral("Save the answer as a new text card."));
    EXPECT_EQ(save->isEnabled(), c.saveEnabledAfter);
    EXPECT_EQ(view->resultActions().savedAnswerIDs.contains(turn.id), !c.saveEnabledAfter);

    save->click();
    EXPECT_EQ(actions.size(), c.saveEnabledAfter ? 2u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConversationWorkspaceActionTest,
    ::testing::Values(ActionCase{"CopyOk", Action::copy, true, "Save as Card", true},
                      ActionCase{"PasteFailed", Action::paste, false, "Save as Card", true},
                      ActionCase{"SaveOk", Action::save, true, "Saved as Card", false},
                      ActionCase{"SaveFailed", Action::save, false, "Save as Card", true}),
    [](const auto& info) { return std::string(info.param.name); });

// What the user types after clicking an answer's action or a preset goes on into the question.
TEST_F(ConversationWorkspaceTest, ClickingAnActionOrAPresetLeavesTheKeyboardInTheQuestionEditor)
{
    makeConsentedView();
    ask(QStringLiteral("Q1"), QStringLiteral("First answer"));
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    ConversationTranscriptActions* row = workspace->transcript().actionRows().at(0);
    const struct {
        const char* name;
        QAbstractButton* button;
    } clicks[] = {
        {"Copy", row->button(Action::copy)},
        {"Paste Back", row->button(Action::paste)},
        {"Save as Card", row->button(Action::save)},
        {"a preset", workspace->presetButtons().at(0)},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.name);
        composer->editor()->setFocus(Qt::MouseFocusReason);
        view->setQuestion(QString());
        QTest::mouseClick(c.button, Qt::LeftButton);
        if (!actions.empty())
            std::exchange(actions, {}).front().completion(true);
        ASSERT_TRUE(QApplication::focusWidget());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("typed"));
        EXPECT_EQ(QApplication::focusWidget(), composer->editor());
        EXPECT_TRUE(composer->editor()->question().endsWith(QStringLiteral("typed")));
    }
}

TEST_F(ConversationWorkspaceTest, AnswerActionsCarryTheirTextsAndALateCompletionAfterCloseDoesNothing)
{
    makeConsentedView();
    ask(QStringLiteral("Q"), QStringLiteral("An answer"));
    ConversationTranscriptActions* row = workspace->transcript().actionRows().at(0);
    const struct {
        Action action;
        const char* title;
        const char* tooltip;
        const char* accessibleName;
    } texts[] = {
        {Action::copy, "Copy", "Copy Answer", "Copy Answer"},
        {Action::paste, "Paste Back", "Paste the answer into the app you were using.", "Paste Back"},
        {Action::save, "Save as Card", "Save the answer as a new text card.", "Save as Card"},
    };
    for (const auto& t : texts) {
        EXPECT_EQ(row->button(t.action)->text(), QString::fromUtf8(t.title));
        EXPECT_EQ(row->button(t.action)->toolTip(), QString::fromUtf8(t.tooltip));
        EXPECT_EQ(row->button(t.action)->accessibleName(), QString::fromUtf8(t.accessibleName));
    }
    row->button(Action::save)->click();
    ASSERT_EQ(actions.size(), 1u);
    view.reset();
    actions[0].completion(true); // the window is gone: nothing to update, nothing crashes
}

TEST_F(ConversationWorkspaceTest, EachNewAnswerScrollsTheTranscriptToTheLatestEntry)
{
    makeConsentedView();
    view->resize(1000, 520);
    QScrollBar* bar = workspace->transcript().verticalScrollBar();
    for (int i = 0; i < 3; ++i) {
        ask(QStringLiteral("Question %1").arg(i), QStringLiteral("Long answer. ").repeated(120));
        EXPECT_TRUE(
            QTest::qWaitFor([bar] { return bar->maximum() > 0 && bar->value() == bar->maximum(); }, waitMs))
            << "after answer " << i << ": " << bar->value() << " of " << bar->maximum();
        bar->setValue(0);
    }
}

TEST_F(ConversationWorkspaceTest, TheColumnKeeps36FromTheDividerAndTheRightEdge)
{
    makeConsentedView();
    ask(QStringLiteral("Q"), QStringLiteral("A"));
    constexpr int workspaceLeft = 264 + 1; // materials column and divider
    const struct {
        int windowWidth;
        int composerWidth;
    } cases[] = {{880, 880 - workspaceLeft - 72}, {900, 900 - workspaceLeft - 72}, {1100, 620}, {1400, 620}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windowWidth);
        view->resize(c.windowWidth, 720);
        QTest::qWait(0);
        const QRect transcript(workspace->transcript().mapTo(view.get(), QPoint(0, 0)),
                               workspace->transcript().size());
        EXPECT_EQ(transcript.left(), workspaceLeft + 36);
        EXPECT_EQ(c.windowWidth - transcript.right() - 1, 36);
        const QRect card(composer->mapTo(view.get(), QPoint(0, 0)), composer->size());
        EXPECT_NEAR(card.width(), c.composerWidth, 2); // the centring spacers may keep a pixel each
        EXPECT_NEAR(card.center().x(), transcript.center().x(), 1);
    }
}

TEST_F(ConversationWorkspaceTest, ColoursFollowASwitchOfAppearanceWhileTheWindowIsOpen)
{
    ConversationMaterial note;
    note.id = QUuid::createUuid();
    note.title = QStringLiteral("note");
    note.source = QStringLiteral("Editor");
    note.text = QStringLiteral("some text");
    configure({model(QStringLiteral("model-a"))});
    makeView({note});
    consent.approve(session->prepareSend(QStringLiteral("probe"))->scope);
    ask(QStringLiteral("Q"), QStringLiteral("A"));
    ConversationTranscriptActions* row = workspace->transcript().actionRows().at(0);
    QWidget* excerpt = view->materialsColumn()->cards().at(0)->detail();
    ASSERT_TRUE(excerpt);
    QLabel* badge = nullptr;
    for (QLabel* label : view->materialsColumn()->findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("1"))
            badge = label;
    }
    ASSERT_TRUE(badge);

    const AppearanceMode before = Appearance::shared().mode();
    for (const AppearanceMode mode : {AppearanceMode::dark, AppearanceMode::light, AppearanceMode::dark}) {
        Appearance::shared().applyForThisRun(mode);
        const bool dark = mode == AppearanceMode::dark;
        SCOPED_TRACE(dark ? "dark" : "light");
        EXPECT_EQ(composer->modelMenuButton()->palette().color(QPalette::ButtonText),
                  Theme::chromeTextTertiary().resolved(dark));
        EXPECT_EQ(workspace->errorLine()->palette().color(QPalette::WindowText),
                  Theme::warning().resolved(dark));
        for (const Action action : {Action::copy, Action::paste, Action::save})
            EXPECT_EQ(row->button(action)->palette().color(QPalette::ButtonText),
                      Theme::chromeTextSecondary().resolved(dark));
        EXPECT_EQ(excerpt->palette().color(QPalette::WindowText),
                  Theme::chromeTextSecondary().resolved(dark));
        EXPECT_EQ(badge->palette().color(QPalette::WindowText), Theme::chromeTextSecondary().resolved(dark));
    }
    Appearance::shared().applyForThisRun(before);
}

TEST_F(ConversationWorkspaceTest, ALongUnbrokenWordNeverPushesTheTranscriptPastItsVisibleWidth)
{
    makeConsentedView();
    view->resize(880, 600);
    const QString longWord = QStringLiteral("https://example.com/") + QStringLiteral("x").repeated(400);
    const struct {
        const char* name;
        QString question;
        QString answer;
    } cases[] = {
        {"long answer", QStringLiteral("Q1"), longWord},
        {"long question", longWord, QStringLiteral("A2")},
        {"plain", QStringLiteral("Q3"), QStringLiteral("A3 ").repeated(80)},
    };
    for (const auto& c : cases)
        ask(c.question, c.answer);
    QTest::qWait(0);
    QWidget* viewport = workspace->transcript().viewport();
    EXPECT_LE(workspace->transcript().widget()->width(), viewport->width());
    for (qsizetype i = 0; i < workspace->transcript().answerTexts().size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        const ConversationAnswerText* answer = workspace->transcript().answerTexts().at(i);
        EXPECT_LE(answer->mapTo(viewport, QPoint(answer->width(), 0)).x(), viewport->width());
        const ConversationTranscriptActions* row = workspace->transcript().actionRows().at(i);
        EXPECT_LE(row->mapTo(viewport, QPoint(row->width(), 0)).x(), viewport->width());
    }
}

} // namespace
