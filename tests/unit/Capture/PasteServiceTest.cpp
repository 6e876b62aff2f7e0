#include "CaptureTestSupport.h"

#include "fakes/FakeAccessibility.h"
#include "fakes/FakeKeyEvents.h"
#include "fakes/FakeSystemSound.h"
#include "fakes/FakeWorkspace.h"

#include "Monitor/PasteService.h"
#include "Platform/Accessibility.h"
#include "Platform/Bundle.h"
#include "Platform/KeyEvents.h"
#include "Platform/SystemSound.h"

#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int completionTimeoutMs = 5000;

ClipItem textClip(const QString& text)
{
    ClipItem item;
    item.type = ClipType::text;
    item.text = text;
    return item;
}

// Collects the one answer of a paste.
struct Completion {
    std::function<void(bool)> callback()
    {
        return [this](bool posted) { answers.append(posted); };
    }
    bool waitForAnswer()
    {
        return QTest::qWaitFor([this] { return !answers.isEmpty(); }, completionTimeoutMs);
    }
    QList<bool> answers;
};

} // namespace

class PasteServiceTest : public CaptureTest {
protected:
    void SetUp() override
    {
        CaptureTest::SetUp();
        Platform::setPasteboardForTesting(&pasteboard);
        Platform::setWorkspaceForTesting(&workspace);
        Platform::setKeyEventsForTesting(&keys);
        Platform::setAccessibilityForTesting(&accessibility);
        Platform::setSystemSoundForTesting(&sound);
        editor = application("org.gnome.TextEditor", "Text Editor");
        other = application("org.gnome.Terminal", "Terminal");
        other.processIdentifier = 5151;
        workspace.running = {editor, other};
        workspace.frontmost = other;
        service = std::make_unique<PasteService>(*monitor, *store, settings());
    }

    void TearDown() override
    {
        service.reset();
        Platform::setPasteboardForTesting(nullptr);
        Platform::setWorkspaceForTesting(nullptr);
        Platform::setKeyEventsForTesting(nullptr);
        Platform::setAccessibilityForTesting(nullptr);
        Platform::setSystemSoundForTesting(nullptr);
    }

    FakeWorkspace workspace;
    FakeKeyEvents keys;
    FakeAccessibility accessibility;
    FakeSystemSound sound;
    Platform::RunningApplication editor;
    Platform::RunningApplication other;
    std::unique_ptr<PasteService> service;
};

TEST_F(PasteServiceTest, CopyMarksTheWriteAndTheMonitorSkipsIt)
{
    ASSERT_TRUE(service->copy(textClip("hello"), PasteFormat::asCaptured));
    EXPECT_EQ(pasteboard.written("text/plain"), "hello");
    EXPECT_EQ(QString::fromUtf8(pasteboard.written("org.nspasteboard.source")),
              Platform::mainBundle().bundleIdentifier());
    // Even without the marker check the change count alone keeps it out.
    pasteboard.entries.removeIf([](const auto& entry) { return entry.first == "org.nspasteboard.source"; });
    monitor->checkForChanges();
    EXPECT_TRUE(store->history().isEmpty());
}

TEST_F(PasteServiceTest, CopyOfAnImageWithoutItsFileLeavesTheClipboardAlone)
{
    pasteboard.setContents({{"text/plain", "untouched"}});
    ClipItem image;
    image.type = ClipType::image;
    image.imageHash = QStringLiteral("0000");
    image.imageFileName = QStringLiteral("0000.png");
    const qint64 count = pasteboard.changeCount();
    EXPECT_FALSE(service->copy(image, PasteFormat::asCaptured));
    EXPECT_EQ(pasteboard.changeCount(), count);

    Completion completion;
    service->paste(image, PasteFormat::asCaptured, editor, completion.callback());
    EXPECT_EQ(completion.answers, QList<bool>{false});
    EXPECT_TRUE(keys.strokes.isEmpty());
    EXPECT_TRUE(workspace.activated.isEmpty());
}

TEST_F(PasteServiceTest, PastesIntoTheTargetOnceItIsInFront)
{
    Completion completion;
    service->paste(textClip("to the editor"), PasteFormat::plainText, editor, completion.callback());
    EXPECT_TRUE(completion.answers.isEmpty()) << "the keys wait for the target";
    ASSERT_TRUE(completion.waitForAnswer());
    EXPECT_EQ(completion.answers, QList<bool>{true});
    ASSERT_EQ(workspace.activated.size(), 1);
    EXPECT_EQ(workspace.activated.first().processIdentifier, editor.processIdentifier);
    EXPECT_EQ(keys.strokes, (QList<std::pair<int, int>>{{9, 0x100}}));
    EXPECT_EQ(pasteboard.written("text/plain"), "to the editor");
}

TEST_F(PasteServiceTest, WaitsForTheTargetToComeToTheFront)
{
    Completion completion;
    service->paste(textClip("late"), PasteFormat::asCaptured, editor, completion.callback());
    workspace.frontmost = other; // the window manager has not moved the focus yet
    QTest::qWait(4 * PasteService::frontmostPollInterval.count());
    EXPECT_TRUE(keys.strokes.isEmpty());
    workspace.frontmost = editor;
    ASSERT_TRUE(completion.waitForAnswer());
    EXPECT_EQ(completion.answers, QList<bool>{true});
    EXPECT_EQ(keys.strokes.size(), 1);
}

TEST_F(PasteServiceTest, ATargetThatNeverComesToTheFrontGetsNoKeys)
{
    Completion completion;
    keys.onPost = [&] { ADD_FAILURE() << "keys posted to the wrong window"; };
    service->paste(textClip("stays"), PasteFormat::asCaptured, editor, completion.callback());
    workspace.frontmost = other;
    ASSERT_TRUE(completion.waitForAnswer());
    EXPECT_EQ(completion.answers, QList<bool>{false});
    EXPECT_EQ(pasteboard.written("text/plain"), "stays") << "the clip stays on the clipboard";
}

TEST_F(PasteServiceTest, WithoutThePermissionTheClipStaysOnTheClipboard)
{
    accessibility.trusted = false;
    Completion completion;
    service->paste(textClip("manual"), PasteFormat::asCaptured, editor, completion.callback());
    EXPECT_EQ(completion.answers, QList<bool>{false});
    QTest::qWait(3 * PasteService::frontmostPollInterval.count());
    EXPECT_TRUE(keys.strokes.isEmpty());
    EXPECT_EQ(pasteboard.written("text/plain"), "manual");
    EXPECT_EQ(workspace.activated.size(), 1) << "the target comes back before the check";
}

TEST_F(PasteServiceTest, AClosedTargetFails)
{
    workspace.terminated.insert(editor.processIdentifier);
    Completion completion;
    service->paste(textClip("nowhere"), PasteFormat::asCaptured, editor, completion.callback());
    EXPECT_EQ(completion.answers, QList<bool>{false});
    EXPECT_TRUE(keys.strokes.isEmpty());
}

TEST_F(PasteServiceTest, WithoutATargetTheFocusedWindowGetsTheKeys)
{
    Completion completion;
    service->paste(textClip("here"), PasteFormat::asCaptured, std::nullopt, completion.callback());
    ASSERT_TRUE(completion.waitForAnswer());
    EXPECT_EQ(completion.answers, QList<bool>{true});
    EXPECT_TRUE(workspace.activated.isEmpty());
    EXPECT_EQ(keys.strokes.size(), 1);
}

TEST_F(PasteServiceTest, AFailedKeyPostIsReported)
{
    keys.succeeds = false;
    Completion completion;
    service->paste(textClip("x"), PasteFormat::asCaptured, editor, completion.callback());
    ASSERT_TRUE(completion.waitForAnswer());
    EXPECT_EQ(completion.answers, QList<bool>{false});
}

TEST_F(PasteServiceTest, AdvancingTheGenerationDropsThePendingKeys)
{
    Completion completion;
    service->paste(textClip("dropped"), PasteFormat::asCaptured, editor, completion.callback());
    const quint64 generation = service->generation();
    service->advanceGeneration();
    EXPECT_GT(service->generation(), generation);
    EXPECT_EQ(completion.answers, QList<bool>{false});
    QTest::qWait(4 * PasteService::frontmostPollInterval.count());
    EXPECT_TRUE(keys.strokes.isEmpty());
    EXPECT_EQ(completion.answers.size(), 1) << "the completion runs once";
}

TEST_F(PasteServiceTest, ANewerPasteReplacesAPendingOne)
{
    Completion first;
    Completion second;
    service->paste(textClip("first"), PasteFormat::asCaptured, editor, first.callback());
    service->paste(textClip("second"), PasteFormat::asCaptured, editor, second.callback());
    EXPECT_EQ(first.answers, QList<bool>{false});
    ASSERT_TRUE(second.waitForAnswer());
    EXPECT_EQ(second.answers, QList<bool>{true});
    EXPECT_EQ(keys.strokes.size(), 1);
    EXPECT_EQ(pasteboard.written("text/plain"), "second");
}

TEST_F(PasteServiceTest, PlaysASoundOnlyWhenThePreferenceSaysSo)
{
    for (const bool playSound : {false, true}) {
        settings().setPlaySound(playSound);
        sound.beeps = 0;
        Completion completion;
        service->paste(textClip("sound"), PasteFormat::asCaptured, editor, completion.callback());
        ASSERT_TRUE(completion.waitForAnswer());
        EXPECT_EQ(sound.beeps, playSound ? 1 : 0);
    }
}

TEST_F(PasteServiceTest, PastedFormatsReachTheClipboard)
{
    ClipItem rich;
    rich.type = ClipType::richText;
    rich.text = QStringLiteral("Bold words");
    rich.htmlData = QByteArray("<p><b>Bold</b> words</p>");
    ASSERT_TRUE(service->copy(rich, PasteFormat::markdown));
    EXPECT_EQ(pasteboard.written("text/plain"), "**Bold** words");
    EXPECT_TRUE(pasteboard.written("text/html").isEmpty());
    ASSERT_TRUE(service->copy(rich, PasteFormat::asCaptured));
    EXPECT_EQ(pasteboard.written("text/html"), *rich.htmlData);
}
