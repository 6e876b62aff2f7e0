#include "AppControllerFixture.h"

#include "Monitor/PasteboardTypes.h"
#include "Platform/Bundle.h"
#include "UI/AI/ConversationWindowController.h"

#include <QFile>

namespace {

// A conversation's answer actions, on the paste coordinator that conversation windows hold.
class ResultActionTest : public AppControllerTest {
protected:
    void TearDown() override
    {
        paste_.reset();
        AppControllerTest::TearDown();
    }

    PasteCoordinator& paste()
    {
        if (!paste_)
            paste_ = std::make_unique<PasteCoordinator>(PasteCoordinator::Environment{
                controller->monitor(), *store, Settings::shared(), targets_,
                [this](const QString& message, const QString& symbol, double seconds) {
                    toasts.append({message, symbol, seconds});
                },
                [] {}, [] {}});
        return *paste_;
    }

    // Runs the action and gives what its completion said, after checking it ran exactly once.
    std::optional<bool> run(ConversationResultAction action, const QString& answer,
                            const std::optional<Platform::RunningApplication>& target)
    {
        int calls = 0;
        std::optional<bool> result;
        paste().performResultAction(action, answer, target, [&](bool ok) {
            ++calls;
            result = ok;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return calls > 0; }, waitMs));
        QTest::qWait(100);
        EXPECT_EQ(calls, 1) << "the completion runs exactly once";
        return result;
    }

    LaunchOptions options_;
    PasteTargets targets_{options_};
    std::unique_ptr<PasteCoordinator> paste_;

    const ToastRecord closedTarget{
        QStringLiteral("The original app is closed. Copy the answer and choose a destination."),
        QStringLiteral("exclamationmark.triangle"), 3.0};
};

TEST_F(ResultActionTest, aBlankAnswerDoesNothing)
{
    for (const ConversationResultAction action :
         {ConversationResultAction::copy, ConversationResultAction::paste, ConversationResultAction::save}) {
        for (const QString& blank : {QString(), QStringLiteral("  \n\t \r\n")}) {
            EXPECT_EQ(run(action, blank, frontApplication()), false);
        }
    }
    EXPECT_EQ(pasteboard.count, 0);
    EXPECT_TRUE(store->history().isEmpty());
    EXPECT_TRUE(toasts.isEmpty());
}

TEST_F(ResultActionTest, copyWritesTheAnswerMovesTheChangeCountAndIsNotCaptured)
{
    const qint64 before = pasteboard.count;
    EXPECT_EQ(run(ConversationResultAction::copy, QStringLiteral("The answer ✓"), std::nullopt), true);
    EXPECT_EQ(pasteboard.count, before + 1);
    EXPECT_EQ(pasteboard.written(QStringLiteral("text/plain")), QByteArray("The answer ✓"));
    EXPECT_EQ(pasteboard.written(PasteboardTypes::source),
              Platform::mainBundle().bundleIdentifier().toUtf8());
    EXPECT_EQ(toasts, QList<ToastRecord>({{QStringLiteral("Copied to Clipboard"),
                                           QStringLiteral("checkmark.circle.fill"), 1.25}}));
    controller->monitor().checkForChanges();
    EXPECT_TRUE(store->history().isEmpty()) << "our own write is not captured";
}

TEST_F(ResultActionTest, pasteToAClosedOrMissingTargetShowsTheToastAndWritesNothing)
{
    Platform::RunningApplication terminated = frontApplication(5151);
    workspace.terminated.insert(5151);
    const Platform::RunningApplication unknown = application(6161);
    const Platform::RunningApplication ourselves = application(QCoreApplication::applicationPid());
    workspace.running.append(ourselves);
    const std::optional<Platform::RunningApplication> targets[] = {std::nullopt, terminated, unknown,
                                                                   ourselves};
    for (const auto& target : targets) {
        toasts.clear();
        EXPECT_EQ(run(ConversationResultAction::paste, QStringLiteral("answer"), target), false);
        EXPECT_EQ(toasts, QList<ToastRecord>{closedTarget});
    }
    EXPECT_EQ(pasteboard.count, 0);
    EXPECT_TRUE(keyEvents.strokes.isEmpty());
    EXPECT_TRUE(workspace.activated.isEmpty());
}

TEST_F(ResultActionTest, pasteBackPostsThePasteKeysToTheTarget)
{
    const Platform::RunningApplication target = frontApplication();
    workspace.frontmost = application(QCoreApplication::applicationPid());
    EXPECT_EQ(run(ConversationResultAction::paste, QStringLiteral("pasted answer"), target), true);
    EXPECT_EQ(workspace.activated, QList<Platform::RunningApplication>{target});
    EXPECT_EQ(keyEvents.strokes,
              (QList<std::pair<int, int>>{{PasteService::pasteKeyCode, PasteService::pasteModifiers}}));
    EXPECT_EQ(pasteboard.written(QStringLiteral("text/plain")), QByteArray("pasted answer"));
    EXPECT_TRUE(toasts.isEmpty());
}

TEST_F(ResultActionTest, aFailedPasteBackSaysTheAnswerIsStillThere)
{
    const Platform::RunningApplication target = frontApplication();
    accessibility.trusted = false;
    EXPECT_EQ(run(ConversationResultAction::paste, QStringLiteral("answer"), target), false);
    EXPECT_EQ(toasts,
              QList<ToastRecord>({{QStringLiteral("Paste Back failed. Your answer is still here; check "
                                                  "permission or copy it manually."),
                                   QStringLiteral("exclamationmark.triangle"), 4.0}}));
    EXPECT_TRUE(keyEvents.strokes.isEmpty());
}

TEST_F(ResultActionTest, saveAddsOneCapturedClipAndSavesAtOnce)
{
    store->addCaptured(textClip(QStringLiteral("older")));
    EXPECT_EQ(run(ConversationResultAction::save, QStringLiteral("  saved answer\n"), std::nullopt), true);
    ASSERT_EQ(store->history().size(), 2);
    const ClipItem& saved = store->history().first();
    EXPECT_EQ(saved.type, ClipType::text);
    EXPECT_EQ(saved.text, QStringLiteral("  saved answer\n")) << "the answer as it is";
    EXPECT_EQ(saved.sourceAppName, QStringLiteral("Vellora"));
    EXPECT_EQ(saved.sourceBundleID, Platform::mainBundle().bundleIdentifier());
    EXPECT_LE(saved.createdAt.secsTo(QDateTime::currentDateTimeUtc()), 5);
    EXPECT_EQ(toasts,
              QList<ToastRecord>({{QStringLiteral("Saved as Card"), QStringLiteral("checkmark"), 2.0}}));

    QFile file(store->storeFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "written without waiting for the debounced save";
    EXPECT_TRUE(file.readAll().contains("saved answer"));
    EXPECT_EQ(pasteboard.count, 0) << "saving leaves the clipboard alone";
}

TEST_F(ResultActionTest, aConversationWindowPastesBackIntoTheAppInFrontWhenItOpened)
{
    const Platform::RunningApplication editor = frontApplication(7000);
    controller->showBar();
    workspace.frontmost = application(QCoreApplication::applicationPid());
    askAI({textClip(QStringLiteral("material"))});
    ASSERT_EQ(controller->conversationWindows().size(), 1);
    ConversationWindowController* window = controller->conversationWindows().first();

    std::optional<bool> pasted;
    window->performResultAction(ConversationResultAction::paste, QStringLiteral("answer"),
                                [&](bool ok) { pasted = ok; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return pasted.has_value(); }, waitMs));
    EXPECT_TRUE(*pasted);
    EXPECT_EQ(workspace.activated.last(), editor);
    EXPECT_FALSE(window->window()->isVisible()) << "after a paste back the window stays hidden";
    EXPECT_FALSE(window->isClosed());
}

} // namespace
