#include "AppControllerFixture.h"

#include "AI/ConversationSession.h"
#include "AI/ModelError.h"
#include "UI/AI/ConversationWindowController.h"
#include "UI/Settings/SettingsWindowController.h"
#include "Util/SyncedFolderText.h"
#include "support/WidgetLookup.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

namespace {

class ServicesTest : public AppControllerTest {
protected:
    void TearDown() override
    {
        Localization::shared().setLanguage(AppLanguage::english);
        AppControllerTest::TearDown();
    }
};

TEST_F(ServicesTest, showSettingsPresentsTheRequestedPaneInEachLanguage)
{
    const struct {
        AppLanguage language;
        std::optional<SettingsTab> tab;
        const char* shown;
    } cases[] = {
        {AppLanguage::english, SettingsTab::privacy, "Privacy"},
        {AppLanguage::english, std::nullopt, "Privacy"},
        {AppLanguage::english, SettingsTab::general, "General"},
        {AppLanguage::chinese, SettingsTab::model, "模型"},
        {AppLanguage::traditionalChinese, SettingsTab::updates, "更新"},
        {AppLanguage::japanese, SettingsTab::about, "情報"},
        {AppLanguage::japanese, std::nullopt, "情報"},
    };
    for (const auto& c : cases) {
        Localization::shared().setLanguage(c.language);
        controller->showSettings(c.tab);
        QWidget* window = settingsWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        const QToolButton* selected = shownPaneButton(*window);
        ASSERT_NE(selected, nullptr);
        EXPECT_EQ(selected->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8(c.shown));
    }
    QWidget* first = settingsWindow();
    controller->showSettings(SettingsTab::general);
    EXPECT_EQ(settingsWindows(), QList<QWidget*>{first}) << "one settings window";
}

// A controller built by its constructor left its settings pages' and the privacy window's
// requests empty: their links did nothing.
TEST_F(ServicesTest, theSettingsPagesOpenThePrivacyWindowWhoseLinksOpenTheSettings)
{
    controller->showSettings(SettingsTab::about);
    ASSERT_NE(settingsWindow(), nullptr);
    QPushButton* help = button(*settingsWindow(), QStringLiteral("Help & Support"));
    ASSERT_NE(help, nullptr);
    help->click();
    QPushButton* modelSettings = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !modelSettings)
            modelSettings = button(*window, QStringLiteral("Open Model Settings"));
    }
    ASSERT_NE(modelSettings, nullptr) << "the privacy window shows its support page";
    modelSettings->click();
    const QToolButton* shown = shownPaneButton(*settingsWindow());
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->objectName(), SettingsWindowController::identifier(SettingsTab::model));
}

TEST_F(ServicesTest, settingsOpenedFromTheBarReturnToTheBarWhenClosed)
{
    // WORKAROUND: the offscreen platform deactivates the bar as the closed settings window
    // hands activation back, which would hide it by the click-outside rule.
    Settings::shared().setHideOnClickOutside(false);
    frontApplication();
    controller->showBar();
    ASSERT_TRUE(waitForPhase(BarPhaseKind::shown));
    emit controller->barController()->settingsRequested();
    EXPECT_FALSE(controller->barController()->phase().isVisible()) << "the bar hides for the settings";
    settingsWindow()->close();
    ASSERT_TRUE(waitForPhase(BarPhaseKind::shown)) << "and comes back when they close";

    controller->hideBar();
    ASSERT_TRUE(waitForPhase(BarPhaseKind::hidden));
    controller->showSettings(SettingsTab::about);
    settingsWindow()->close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(controller->barController()->phase().isVisible()) << "not opened from the bar: no return";
}

TEST_F(ServicesTest, iCloudSyncUnavailableShowsTheAlertAndChangesNothing)
{
    ASSERT_FALSE(QFileInfo::exists(cloud.path));
    controller->toggleSyncedFolder();
    // The alert names the folder that was looked for and how to set one up.
    const AppController::Alert expected{
        QStringLiteral("Synced Folder Unavailable"),
        QStringLiteral(
            "Vellora looked for %1 and found no folder. Set up a file-sync client there, or set "
            "VELLORA_CLOUD_DRIVE to a synced folder, to sync your clipboard across your computers.")
            .arg(SyncedFolderText::folderName(cloud.path))};
    EXPECT_EQ(alerts, QList<AppController::Alert>{expected});
    EXPECT_FALSE(Settings::shared().iCloudSync());
    EXPECT_FALSE(store->isSyncedFolderActive());
}

TEST_F(ServicesTest, iCloudSyncTogglesThePreferenceAndTheStoreTogether)
{
    ASSERT_TRUE(QDir().mkpath(cloud.path));
    store->addCaptured(textClip(QStringLiteral("synced")));
    controller->toggleSyncedFolder();
    EXPECT_TRUE(alerts.isEmpty());
    EXPECT_TRUE(Settings::shared().iCloudSync());
    EXPECT_TRUE(store->isSyncedFolderActive());
    EXPECT_TRUE(store->baseDir().startsWith(cloud.path));

    cloud.enabled = false;
    controller->toggleSyncedFolder();
    EXPECT_TRUE(alerts.isEmpty()) << "turning off needs no cloud";
    EXPECT_FALSE(Settings::shared().iCloudSync());
    EXPECT_FALSE(store->isSyncedFolderActive());
}

TEST_F(ServicesTest, materialsNotReadyAlertOpensNothing)
{
    ClipItem color;
    color.type = ClipType::color;
    color.colorHex = QStringLiteral("#FF0000");
    ClipItem missingImage;
    missingImage.type = ClipType::image;
    missingImage.imageHash = QStringLiteral("00");
    missingImage.imageFileName = QStringLiteral("00.png");
    ClipItem missingFile;
    missingFile.type = ClipType::file;
    missingFile.fileURLs = {QUrl::fromLocalFile(temp.filePath(QStringLiteral("gone.png")))};
    const struct {
        QList<ClipItem> items;
        ModelError::Kind error;
    } cases[] = {
        {{}, ModelError::Kind::noMaterials},
        {{color}, ModelError::Kind::noMaterials},
        {{textClip(QStringLiteral("fine")), missingImage}, ModelError::Kind::unreadableImage},
        {{missingFile}, ModelError::Kind::unreadableImage},
    };
    for (const auto& c : cases) {
        alerts.clear();
        askAI(c.items);
        EXPECT_EQ(alerts, QList<AppController::Alert>({{QStringLiteral("Materials Not Ready"),
                                                        ModelError(c.error).errorDescription()}}));
        EXPECT_TRUE(controller->conversationWindows().isEmpty());
    }
}

TEST_F(ServicesTest, askAIHidesTheBarAndListsTheMaterials)
{
    frontApplication();
    controller->showBar();
    ASSERT_TRUE(waitForPhase(BarPhaseKind::shown));
    ClipItem text = textClip(QStringLiteral("What does <b>this</b> mean?"));
    text.sourceAppName = QStringLiteral("Editor");
    emit controller->barController()->askAIRequested({text});
    EXPECT_FALSE(controller->barController()->phase().isVisible());
    ASSERT_EQ(controller->conversationWindows().size(), 1);
    ConversationWindowController* window = controller->conversationWindows().first();
    EXPECT_TRUE(window->window()->isVisible());
    EXPECT_EQ(window->window()->windowTitle(), QStringLiteral("Vellora · New Conversation"));
    EXPECT_EQ(window->number(), 1);
    const QList<ConversationMaterial>& materials = window->session().materials();
    ASSERT_EQ(materials.size(), 1);
    EXPECT_EQ(materials.first().text, QStringLiteral("What does <b>this</b> mean?"));
    EXPECT_EQ(materials.first().source, QStringLiteral("Editor"));
}

TEST_F(ServicesTest, aFailedPasteSaysWhatHappened)
{
    ClipItem missingImage;
    missingImage.type = ClipType::image;
    missingImage.imageHash = QStringLiteral("ab");
    missingImage.imageFileName = QStringLiteral("ab.png");
    const QString warning = QStringLiteral("exclamationmark.triangle");

    frontApplication();
    controller->showBar();
    controller->pasteItem(missingImage, PasteFormat::asCaptured);
    EXPECT_EQ(toasts,
              QList<ToastRecord>(
                  {{QStringLiteral("This clip can't be pasted: its content is missing."), warning, 3.0}}));

    toasts.clear();
    workspace.terminated.insert(4242);
    controller->pasteItem(textClip(QStringLiteral("to a closed app")), PasteFormat::asCaptured);
    EXPECT_EQ(toasts,
              QList<ToastRecord>({{QStringLiteral("The app you were using is closed. Your clip is on the "
                                                  "clipboard."),
                                   warning, 3.0}}));
    EXPECT_EQ(pasteboard.written(QStringLiteral("text/plain")), QByteArray("to a closed app"));

    toasts.clear();
    workspace.terminated.clear();
    accessibility.trusted = false;
    controller->pasteItem(textClip(QStringLiteral("no permission")), PasteFormat::asCaptured);
    EXPECT_EQ(toasts,
              QList<ToastRecord>({{QStringLiteral("Vellora can't send the paste keys here. Your clip is on "
                                                  "the clipboard."),
                                   warning, 3.0}}));
    ASSERT_NE(controller->pastePermissionGuide(), nullptr);
    EXPECT_TRUE(controller->pastePermissionGuide()->isShowing());
    EXPECT_TRUE(keyEvents.strokes.isEmpty());
}

TEST_F(ServicesTest, aPasteSupersededByTheNextOneShowsNoToast)
{
    frontApplication();
    controller->showBar();
    controller->pasteItem(textClip(QStringLiteral("first")), PasteFormat::asCaptured);
    controller->pasteItem(textClip(QStringLiteral("second")), PasteFormat::asCaptured);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !keyEvents.strokes.isEmpty(); }, waitMs));
    QTest::qWait(100);
    EXPECT_EQ(keyEvents.strokes.size(), 1);
    EXPECT_EQ(pasteboard.written(QStringLiteral("text/plain")), QByteArray("second"));
    EXPECT_TRUE(toasts.isEmpty());
}

TEST_F(ServicesTest, promoteOnPasteMovesAPastedHistoryClipToTheTop)
{
    for (const char* text : {"old", "middle", "new"})
        store->addCaptured(textClip(QString::fromLatin1(text)));
    const ClipItem old = store->history().last();
    frontApplication();
    controller->pasteItem(old, PasteFormat::asCaptured);
    EXPECT_EQ(store->history().first().text, QStringLiteral("new")) << "off by default";

    Settings::shared().setPromoteOnPaste(true);
    controller->pasteItem(old, PasteFormat::asCaptured);
    EXPECT_EQ(store->history().first().text, QStringLiteral("old"));
    EXPECT_EQ(store->history().size(), 3);
    controller->pasteItem(textClip(QStringLiteral("not in the history")), PasteFormat::asCaptured);
    EXPECT_EQ(store->history().size(), 3) << "only history clips move";
}

} // namespace

namespace {

TEST_F(ServicesTest, anUnreadableHistoryFileIsToldAtLaunchAndKept)
{
    const QByteArray garbage("{ this is not a store");
    QFile file(store->storeFilePath());
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(garbage);
    file.close();
    store->load();
    ASSERT_TRUE(store->unreadableStoreFile());

    controller->applicationDidFinishLaunching({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !alerts.isEmpty(); }, waitMs));
    EXPECT_EQ(alerts, QList<AppController::Alert>(
                          {{ClipboardStore::unreadableStoreMessage(), *store->unreadableStoreFile()}}));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), garbage);
}

} // namespace
