#include "UI/AI/DraftQuestionEditor.h"
#include "UI/AI/DraftQuestionEditorBridge.h"
#include "Util/Localization.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int waitMs = 2000;

// A window holding an editor and another focusable widget.
class DraftQuestionEditorTest : public ::testing::Test {
protected:
    void SetUp() override { Localization::shared().setLanguage(AppLanguage::english); }
    void TearDown() override { Localization::shared().setLanguage(AppLanguage::english); }

    DraftQuestionEditor* makeEditor(const QString& text = {})
    {
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        editor = new DraftQuestionEditor(bridge, text, window.get());
        other = new QPushButton(QStringLiteral("other"), window.get());
        layout->addWidget(editor);
        layout->addWidget(other);
        window->resize(400, 200);
        return editor;
    }

    void showActive()
    {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), waitMs));
    }

    static void compose(QWidget* target, const QString& preedit, const QString& commit = {})
    {
        QInputMethodEvent event(preedit, {});
        if (!commit.isEmpty())
            event.setCommitString(commit);
        QApplication::sendEvent(target, &event);
    }

    DraftQuestionEditorBridge bridge;
    std::unique_ptr<QWidget> window;
    DraftQuestionEditor* editor = nullptr;
    QPushButton* other = nullptr;
};

TEST_F(DraftQuestionEditorTest, typingReportsTheWholeTextAndReturnKeysOnlyBreakLines)
{
    makeEditor();
    showActive();
    editor->setFocus();
    QSignalSpy edits(editor, &DraftQuestionEditor::questionEdited);
    QTest::keyClicks(editor, QStringLiteral("ab"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, QStringLiteral("c"));
    QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(editor, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClicks(editor, QStringLiteral("d"));
    EXPECT_EQ(editor->question(), QStringLiteral("ab\nc\n\nd"));
    ASSERT_EQ(edits.count(), 7) << "one report per keystroke";
    EXPECT_EQ(edits.at(0).at(0).toString(), QStringLiteral("a"));
    EXPECT_EQ(edits.last().at(0).toString(), QStringLiteral("ab\nc\n\nd"));

    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->question(), QStringLiteral("ab\nc\n\n")) << "undo works";
}

TEST_F(DraftQuestionEditorTest, textSetFromOutsideShowsWithTheCaretAtItsEnd)
{
    makeEditor(QStringLiteral("start"));
    EXPECT_EQ(editor->textCursor().position(), 5);
    QSignalSpy edits(editor, &DraftQuestionEditor::questionEdited);
    const struct {
        QString text;
        int caret; // UTF-16 units
    } cases[] = {
        {QStringLiteral("Summarise"), 9},
        {QStringLiteral("naïve 👋"), 8},
        {QStringLiteral("two\nlines"), 9},
        {QString(), 0},
    };
    for (const auto& c : cases) {
        editor->setQuestion(c.text);
        EXPECT_EQ(editor->question(), c.text);
        EXPECT_EQ(editor->textCursor().position(), c.caret) << c.text.toStdString();
        EXPECT_FALSE(editor->textCursor().hasSelection());
    }
    EXPECT_EQ(edits.count(), 0) << "text from outside is not reported back";

    editor->setQuestion(QStringLiteral("same"));
    editor->setTextCursor(QTextCursor(editor->document()));
    editor->setQuestion(QStringLiteral("same"));
    EXPECT_EQ(editor->textCursor().position(), 0) << "an equal text leaves the caret alone";
}

TEST_F(DraftQuestionEditorTest, aCompositionInProgressIsNeverInterrupted)
{
    makeEditor(QStringLiteral("ni"));
    showActive();
    editor->setFocus();
    compose(editor, QStringLiteral("hao"));
    ASSERT_TRUE(editor->isComposing());
    editor->setQuestion(QStringLiteral("replaced"));
    EXPECT_EQ(editor->question(), QStringLiteral("ni")) << "committed text stays while composing";

    compose(editor, {}, QStringLiteral("好"));
    EXPECT_FALSE(editor->isComposing());
    EXPECT_EQ(editor->question(), QStringLiteral("ni好"));
    editor->setQuestion(QStringLiteral("replaced"));
    EXPECT_EQ(editor->question(), QStringLiteral("replaced"));
}

TEST_F(DraftQuestionEditorTest, thePlaceholderShowsOnlyWhileEmptyOnOneElidedLine)
{
    makeEditor();
    showActive();
    EXPECT_EQ(editor->placeholderLine(), QStringLiteral("Ask anything…"));
    EXPECT_EQ(editor->accessibleName(), QStringLiteral("Enter a question"));
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("x"));
    EXPECT_EQ(editor->placeholderLine(), QString()) << "the first character hides it";
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(editor->placeholderLine(), QStringLiteral("Ask anything…")) << "deleting all shows it again";
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(editor->placeholderLine(), QString()) << "a line break is text";

    editor->setQuestion({});
    window->resize(60, 200);
    QCoreApplication::processEvents();
    const QString narrow = editor->placeholderLine();
    EXPECT_TRUE(narrow.endsWith(QChar(0x2026)));
    EXPECT_LT(narrow.size(), QStringLiteral("Ask anything…").size()) << "cut at the end, not wrapped";

    Localization::shared().setLanguage(AppLanguage::japanese);
    EXPECT_EQ(editor->placeholder(), QStringLiteral("何でも質問してください…"));
    EXPECT_EQ(editor->accessibleName(), QStringLiteral("質問を入力"));
}

TEST_F(DraftQuestionEditorTest, focusReportsArePostedAndFollowTheFocus)
{
    makeEditor();
    showActive();
    QSignalSpy focus(editor, &DraftQuestionEditor::focusChanged);
    editor->setFocus();
    ASSERT_TRUE(editor->hasFocus());
    EXPECT_EQ(focus.count(), 0) << "not reported synchronously";
    ASSERT_TRUE(QTest::qWaitFor([&] { return focus.count() == 1; }, waitMs));
    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return focus.count() == 2; }, waitMs));
    EXPECT_EQ(focus.at(0).at(0).toBool(), true);
    EXPECT_EQ(focus.at(1).at(0).toBool(), false);
}

TEST_F(DraftQuestionEditorTest, theBridgeFocusesTheEditorOnceWhenItsWindowIsActive)
{
    makeEditor();
    EXPECT_EQ(bridge.editor(), editor);
    EXPECT_TRUE(bridge.initialFocusPending());
    QCoreApplication::processEvents();
    EXPECT_TRUE(bridge.initialFocusPending()) << "not in a shown window yet";

    // Shown but not active: the attempt waits for the activation.
    auto blocker = std::make_unique<QWidget>();
    blocker->show();
    blocker->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(blocker.get(), waitMs));
    window->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(bridge.initialFocusPending()) << "the window is not the active one";

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), waitMs));
    bridge.requestInitialFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bridge.initialFocusPending(); }, waitMs));
    EXPECT_TRUE(editor->hasFocus());

    other->setFocus();
    blocker->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(blocker.get(), waitMs));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), waitMs));
    bridge.requestInitialFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->focusWidget(), other) << "a later activation leaves the focus where it was";
}

TEST_F(DraftQuestionEditorTest, focusOnDemandNeedsNoActiveWindowAndAGoneEditorLeavesTheBridge)
{
    makeEditor();
    auto blocker = std::make_unique<QWidget>();
    blocker->show();
    blocker->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(blocker.get(), waitMs));
    window->show();
    bridge.focusNow();
    EXPECT_EQ(window->focusWidget(), editor) << "at once, without waiting for the queue";
    EXPECT_FALSE(bridge.initialFocusPending());

    delete editor;
    EXPECT_EQ(bridge.editor(), nullptr);
    bridge.focusNow();
    bridge.focusInitiallyIfReady();
}

} // namespace
