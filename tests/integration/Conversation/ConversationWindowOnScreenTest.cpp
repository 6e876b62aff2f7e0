#include "ui/AI/ConversationViewFixture.h"

#include "UI/AI/ConversationMaterialsColumn.h"
#include "UI/AI/ConversationTranscript.h"
#include "UI/AI/ConversationTranscriptActions.h"
#include "UI/AI/ConversationTranscriptBubble.h"
#include "UI/AI/MaterialCard.h"
#include "UI/AI/MaterialExcerpt.h"
#include "UI/CopyToastController.h"

#include <QAbstractScrollArea>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

// The conversation window as a top-level window on a real X display with a window manager:
// its own layout passes, scrolling, pointer and popups, as a user meets them.
namespace {

class ConversationWindowOnScreenTest : public ConversationViewFixture {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "needs an X display";
        display_ = XOpenDisplay(nullptr);
        ASSERT_TRUE(display_);
        ConversationViewFixture::SetUp();
    }

    void TearDown() override
    {
        CopyToastController::shared().dismiss();
        ConversationViewFixture::TearDown();
        if (display_)
            XCloseDisplay(display_);
    }

    void showActive(QList<ConversationMaterial> materials = {})
    {
        configure({model(QStringLiteral("model-a")), model(QStringLiteral("model-b"))});
        makeView(std::move(materials));
        consent.approve(session->prepareSend(QStringLiteral("probe"))->scope);
        view->resize(1100, 720);
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    }

    // Moves the real pointer there and, when asked, clicks.
    void pointAt(QPoint global, bool click)
    {
        XTestFakeMotionEvent(display_, -1, global.x(), global.y(), CurrentTime);
        if (click) {
            XTestFakeButtonEvent(display_, Button1, True, CurrentTime);
            XTestFakeButtonEvent(display_, Button1, False, CurrentTime);
        }
        XFlush(display_);
    }

    // The rectangle of a widget in the transcript's viewport.
    QRect inViewport(const QWidget* widget) const
    {
        const QWidget* viewport = workspace->transcript().viewport();
        return {widget->mapTo(viewport, QPoint(0, 0)), widget->size()};
    }

    Display* display_ = nullptr;
};

// Guards the answer that first overflows the transcript resting above a blank the wheel
// can't remove, with its question scrolled away.
TEST_F(ConversationWindowOnScreenTest, TheAnswerThatFirstOverflowsTheTranscriptEndsAtItsBottom)
{
    // Paragraphs that wrap in the reading column, as a model's answers do.
    const auto paragraphs = [](int count) {
        return QStringLiteral("A sentence of the answer that goes on long enough to wrap. ").repeated(count);
    };
    const struct {
        const char* name;
        bool firstFails;
        int sentences; // of the answer that overflows
        bool questionFits;
    } cases[] = {{"two answers", false, 10, true}, {"a failed request, then an answer", true, 24, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(showActive());
        if (c.firstFails) {
            server.enqueue(Response::json(500, R"({"error":{"message":"overloaded"}})"));
            view->setQuestion(QStringLiteral("Why?"));
            composer->sendButton()->click();
            ASSERT_TRUE(QTest::qWaitFor([&] { return session->errorMessage().has_value(); }, waitMs));
        } else {
            ASSERT_NO_FATAL_FAILURE(ask(QStringLiteral("Why?"), paragraphs(4)));
        }
        ASSERT_NO_FATAL_FAILURE(ask(QStringLiteral("How?"), paragraphs(c.sentences)));
        ConversationTranscript& transcript = workspace->transcript();
        const QWidget* anchor = transcript.widget()->findChild<QWidget*>(QStringLiteral("latest"));
        ASSERT_TRUE(anchor);
        const ConversationTranscriptActions* lastRow = transcript.actionRows().last();
        const QLabel* lastQuestion =
            transcript.widget()->findChildren<ConversationTranscriptBubble*>().last();
        const QScrollBar* bar = transcript.verticalScrollBar();
        // Scrolled to the end, the anchor right under the last row, the question in view when
        // it fits with its answer.
        const auto settled = [&] {
            return bar->maximum() > 0 && bar->value() == bar->maximum() &&
                   inViewport(anchor).top() - inViewport(lastRow).bottom() <= 21 &&
                   (inViewport(lastQuestion).top() >= 0 || !c.questionFits);
        };
        EXPECT_TRUE(QTest::qWaitFor(settled, waitMs))
            << "anchor " << inViewport(anchor).top() << ", last row ends " << inViewport(lastRow).bottom()
            << ", question at " << inViewport(lastQuestion).top() << ", viewport "
            << transcript.viewport()->height() << ", scrolled " << bar->value() << " of " << bar->maximum();
    }
}

// Guards the grey pill staying on the model name after its menu closed elsewhere.
TEST_F(ConversationWindowOnScreenTest, TheModelNameLosesItsPillWhenItsMenuClosesAwayFromIt)
{
    ASSERT_NO_FATAL_FAILURE(showActive());
    QToolButton* button = composer->modelMenuButton();
    pointAt(view->mapToGlobal(QPoint(view->width() / 2, 20)), false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !button->underMouse(); }, waitMs));
    const QImage resting = button->grab().toImage();

    // The menu runs its own loop from the click until it closes: the second model is chosen
    // from inside it.
    QMenu* menu = button->menu();
    bool opened = false;
    QTimer chooser;
    QObject::connect(&chooser, &QTimer::timeout, [&] {
        if (!menu->isVisible() || opened)
            return;
        opened = true;
        pointAt(menu->mapToGlobal(menu->actionGeometry(menu->actions().at(1)).center()), true);
    });
    chooser.start(50);
    pointAt(button->mapToGlobal(button->rect().center()), true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened && !menu->isVisible(); }, waitMs))
        << "the menu never opened";
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return settings.configuration().model == QStringLiteral("model-b"); }, waitMs));
    // The label changes with the choice; the left end, before the label, shows the pill.
    const QRect beforeLabel(0, 0, 3, button->height());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return button->grab().toImage().copy(beforeLabel) == resting.copy(beforeLabel); }, waitMs))
        << "the model name keeps its pill";
}

// Guards a toast covering the preset buttons, or any other control, of the window it is about.
TEST_F(ConversationWindowOnScreenTest, AToastInTheWindowCoversNoControl)
{
    ASSERT_NO_FATAL_FAILURE(showActive());
    ASSERT_NO_FATAL_FAILURE(ask(QStringLiteral("Why?"), QStringLiteral("Because.")));
    for (const AppLanguage language : {AppLanguage::english, AppLanguage::japanese}) {
        SCOPED_TRACE(AppLanguages::rawValue(language).toStdString());
        Localization::shared().setLanguage(language);
        CopyToastController::shared().show(Localization::string(QStringLiteral("Copied to Clipboard")),
                                           QStringLiteral("checkmark"), 2);
        QWidget* toast = CopyToastController::shared().window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(toast));
        const QRect covered = toast->geometry();
        EXPECT_TRUE(QRect(view->mapToGlobal(QPoint(0, 0)), view->size()).contains(covered))
            << "inside its window";
        QList<QWidget*> controls;
        for (QWidget* widget : view->findChildren<QWidget*>()) {
            if (widget->isVisible() &&
                (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QAbstractScrollArea*>(widget) ||
                 qobject_cast<QLabel*>(widget)))
                controls << widget;
        }
        ASSERT_GE(controls.size(), 10);
        for (const QWidget* control : controls) {
            const QRect rect(control->mapToGlobal(QPoint(0, 0)), control->size());
            EXPECT_FALSE(rect.intersects(covered))
                << control->metaObject()->className() << " " << control->accessibleName().toStdString();
        }
    }
}

// Guards the card's last shown line losing its indentation where the text is cut.
TEST_F(ConversationWindowOnScreenTest, AMaterialCardKeepsTheIndentationOfItsCutLastLine)
{
    ConversationMaterial snippet;
    snippet.id = QUuid::createUuid();
    snippet.title = QStringLiteral("snippet.py");
    snippet.source = QStringLiteral("Editor");
    snippet.text =
        QStringLiteral("def f(x):\n    if x:\n        return x\n    y = x\n    return None\nf(1)\n");
    ASSERT_NO_FATAL_FAILURE(showActive({snippet}));
    auto* excerpt = qobject_cast<MaterialExcerpt*>(view->materialsColumn()->cards().at(0)->detail());
    ASSERT_TRUE(excerpt);
    const QStringList lines = excerpt->visibleLines(excerpt->width());
    ASSERT_EQ(lines.size(), MaterialCard::excerptLines);
    EXPECT_EQ(lines.last(), QStringLiteral("    return None\u2026"));
}

} // namespace
