#include "ConversationViewFixture.h"
#include "UI/AI/ConversationAnswerText.h"
#include "UI/AI/ConversationModelMenuButton.h"
#include "UI/AI/ConversationTranscript.h"
#include "UI/AI/ConversationTranscriptBubble.h"
#include "UI/AI/DraftQuestionEditor.h"
#include "UI/Theme.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QLabel>
#include <QTextBlock>

// The conversation window laid out and painted as a user sees it, typed into and clicked.
namespace {

class ConversationOnScreenTest : public ConversationViewFixture {
protected:
    void activate()
    {
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    }

    QList<ConversationTranscriptBubble*> bubbles() const
    {
        return view->findChildren<ConversationTranscriptBubble*>();
    }
};

bool hasInk(const QImage& image, const QRect& area, const QColor& background)
{
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (image.pixelColor(x, y) != background)
                return true;
        }
    }
    return false;
}

TEST_F(ConversationOnScreenTest, AQuestionBubbleTakesTheWidthItsTextNeedsAgainstTheRightEdge)
{
    makeConsentedView();
    const struct {
        QString question;
        bool oneLine;
    } cases[] = {
        {QStringLiteral("How do these two notes differ in tone?"), true},
        {QStringLiteral("Please compare both materials sentence by sentence. ").repeated(8), false},
    };
    for (const auto& c : cases)
        ask(c.question, QStringLiteral("An answer."));
    QTest::qWait(0);
    const QList<ConversationTranscriptBubble*> shown = bubbles();
    ASSERT_EQ(shown.size(), std::size(cases));
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const ConversationTranscriptBubble* bubble = shown.at(i);
        const QWidget* column = bubble->parentWidget();
        SCOPED_TRACE(cases[i].question.toStdString());
        EXPECT_EQ(bubble->geometry().right(), column->width() - 1) << "pushed to the right edge";
        const QMargins margins = bubble->contentsMargins();
        const int lines =
            (bubble->height() - margins.top() - margins.bottom()) / bubble->fontMetrics().lineSpacing();
        if (cases[i].oneLine)
            EXPECT_EQ(lines, 1);
        else
            EXPECT_EQ(bubble->width(), column->width()) << "a long question fills the reading column";
    }
}

TEST_F(ConversationOnScreenTest, AfterEachAnswerTypingGoesOnInTheQuestionEditor)
{
    makeConsentedView();
    ASSERT_NO_FATAL_FAILURE(activate());
    DraftQuestionEditor* editor = composer->editor();
    for (const QString& question : {QStringLiteral("First?"), QStringLiteral("Second?")}) {
        editor->setFocus();
        QTest::keyClicks(editor, question);
        enqueueAnswer(QStringLiteral("Answer to ") + question);
        const qsizetype before = session->turns().size();
        QTest::mouseClick(composer->sendButton(), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return session->turns().size() == before + 1; }, waitMs));
        QTest::qWait(0);
        EXPECT_EQ(QApplication::focusWidget(), editor) << question.toStdString();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x "));
        EXPECT_EQ(view->question(), QStringLiteral("x ")) << "typing lands in the emptied editor";
        editor->clear();
    }
}

TEST_F(ConversationOnScreenTest, TheModelMenuShowsTheWholeNameWithItsArrowBesideIt)
{
    for (const QString& name :
         {QStringLiteral("m"), QStringLiteral("qwen2.5-72b-instruct & vision-preview")}) {
        configure({model(name)});
        makeView();
        auto* button = qobject_cast<ConversationModelMenuButton*>(composer->modelMenuButton());
        ASSERT_TRUE(button);
        const QImage image = button->grab().toImage();
        const QColor background = image.pixelColor(0, 0);
        const QRect text = button->textRect();
        const QRect arrow = button->chevronRect();
        SCOPED_TRACE(name.toStdString());
        EXPECT_GE(text.width(), button->fontMetrics().horizontalAdvance(name)) << "the name is not cut";
        EXPECT_TRUE(button->rect().contains(arrow));
        EXPECT_TRUE(hasInk(image, arrow, background)) << "the arrow is drawn";
        EXPECT_TRUE(hasInk(image, QRect(text.right() - 3, 0, 3, button->height()), background))
            << "the last letter is drawn";
        EXPECT_FALSE(hasInk(
            image, QRect(text.right() + 1, 0, arrow.left() - text.right() - 1, button->height()), background))
            << "a gap keeps the arrow off the last letter";
    }
}

TEST_F(ConversationOnScreenTest,
       QuestionAndAnswerShowAnAccentCaretAndSpacedLinesAndTheBorderKeepsItsAccentWhileInactive)
{
    makeConsentedView();
    ASSERT_NO_FATAL_FAILURE(activate());
    ask(QStringLiteral("Two lines?"), QStringLiteral("first line\nsecond line"));
    DraftQuestionEditor* editor = composer->editor();
    editor->setFocus();
    view->setQuestion(QStringLiteral("first line\nsecond line"));
    QTest::qWait(0);

    const QImage viewport = editor->viewport()->grab().toImage();
    const QRect caret = editor->caretRect().intersected(viewport.rect());
    bool accent = false;
    for (int x = caret.left(); x <= caret.right() && !accent; ++x) {
        for (int y = caret.top(); y <= caret.bottom() && !accent; ++y)
            accent = viewport.pixelColor(x, y) == QColor(Theme::selection());
    }
    EXPECT_TRUE(accent) << "the caret takes the accent colour";

    ASSERT_EQ(workspace->transcript().answerTexts().size(), 1);
    for (const QTextDocument* document :
         {editor->document(), workspace->transcript().answerTexts().at(0)->document()}) {
        const QAbstractTextDocumentLayout* layout = document->documentLayout();
        const QTextBlock first = document->firstBlock();
        const qreal step =
            layout->blockBoundingRect(first.next()).top() - layout->blockBoundingRect(first).top();
        EXPECT_EQ(qRound(step - first.layout()->lineAt(0).height()), 5) << "lines stand 5 apart";
    }

    ASSERT_TRUE(QTest::qWaitFor([&] { return view->inputFocused(); }, waitMs));
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QTest::qWait(0);
    EXPECT_TRUE(view->inputFocused()) << "only the window is inactive: the border keeps its accent";
    ASSERT_NO_FATAL_FAILURE(activate());
    composer->sendButton()->setFocusPolicy(Qt::StrongFocus);
    composer->sendButton()->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view->inputFocused(); }, waitMs)) << "focus left the editor";
}

TEST_F(ConversationOnScreenTest, AModelWithoutImageSupportIsNamedBeforeAnImageIsLeftOut)
{
    ConversationMaterial picture;
    picture.title = QStringLiteral("Screenshot");
    picture.imageData = QByteArray("\x89PNG\r\n\x1a\nrest");
    ConversationMaterial note;
    note.title = QStringLiteral("Note");
    note.text = QStringLiteral("text");
    const struct {
        QList<ConversationMaterial> materials;
        bool supportsImages;
        bool notice;
    } cases[] = {
        {{note, picture}, false, true},
        {{note, picture}, true, false},
        {{note}, false, false},
    };
    for (const auto& c : cases) {
        SavedModel saved = model(QStringLiteral("model-a"));
        saved.configuration.supportsImages = c.supportsImages;
        configure({saved});
        makeView(c.materials);
        QLabel* notice = workspace->imageNotice();
        EXPECT_EQ(notice->isVisible(), c.notice);
        if (c.notice) {
            EXPECT_EQ(notice->text(),
                      QStringLiteral("This model does not accept images, so image materials are "
                                     "left out of the question."));
        }
    }
}

} // namespace
