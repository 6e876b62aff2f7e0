#include "HelperProcess.h"
#include "fakes/FakeCloudDrive.h"

#include "Monitor/ClipboardMonitor.h"
#include "Monitor/PasteService.h"
#include "Platform/Accessibility.h"
#include "Platform/Pasteboard.h"
#include "Platform/Workspace.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
constexpr int focusTimeoutMs = 10000;
} // namespace

TEST(PasteIntoAnotherProcess, PastesIntoTheFocusedTextFieldOfAnotherProcess)
{
    ASSERT_TRUE(Platform::accessibility().isTrusted()) << "XTEST is needed";
    QTemporaryDir temp;
    FakeCloudDrive cloud(temp.filePath(QStringLiteral("cloud")));
    ClipboardStore::Environment environment{Settings::shared()};
    environment.localDirectory = temp.filePath(QStringLiteral("data"));
    environment.cloudDrive = &cloud;
    ClipboardStore store(environment);
    ClipboardMonitor monitor(Platform::pasteboard(), store, Settings::shared());
    PasteService service(monitor, store, Settings::shared());

    HelperProcess target;
    ASSERT_TRUE(target.startHelper(QStringLiteral("target")));
    ASSERT_EQ(target.waitForLine(QStringLiteral("ready")), QString());
    const qint64 pid = target.process.processId();
    std::optional<Platform::RunningApplication> front;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            front = Platform::workspace().frontmostApplication();
            return front && front->processIdentifier == pid;
        },
        focusTimeoutMs))
        << "the helper's window never came to the front";

    ClipItem item;
    item.type = ClipType::richText;
    item.text = QStringLiteral("Pasted ✓ from Vellora");
    item.htmlData = QByteArray("<b>Pasted ✓ from Vellora</b>");
    std::optional<bool> pasted;
    service.paste(item, PasteFormat::plainText, front, [&](bool ok) { pasted = ok; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return pasted.has_value(); }, focusTimeoutMs));
    EXPECT_TRUE(*pasted);
    EXPECT_EQ(target.waitForLine(QStringLiteral("text:")), QStringLiteral("Pasted ✓ from Vellora"));

    monitor.checkForChanges();
    EXPECT_TRUE(store.history().isEmpty()) << "the paste is not captured";
}
