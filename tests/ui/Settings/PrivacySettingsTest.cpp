#include "UI/Settings/PrivacySettings.h"
#include "AI/AISharingConsentStore.h"
#include "Platform/Bundle.h"
#include "Platform/Workspace.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "Store/FileAccessStore.h"
#include "UI/Settings/ApplicationChooserDialog.h"
#include "UI/Settings/SettingsPanel.h"
#include "Util/AppIconProvider.h"
#include "Util/FileAccessPresentation.h"
#include "Util/Localization.h"
#include "fakes/FakeBundle.h"
#include "fakes/FakeCloudDrive.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeWorkspace.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString ownIdentifier = QStringLiteral("app.vellora.Vellora");
const QString cleared = QStringLiteral("Saved file permissions cleared.");
const QString folderFailed = QStringLiteral("The folder for saved file permissions could not be created.");

// The page over its own preferences, consent store and file-permission store in a temporary
// folder, with a desktop of four installed applications and one running without an entry.
class PrivacySettingsTest : public ::testing::Test {
protected:
    PrivacySettingsTest()
    {
        Localization::shared().setLanguage(AppLanguage::english);
        workspace.installed = {
            {QStringLiteral("org.gnome.TextEditor"), {QStringLiteral("Text Editor"), {}, {}}},
            {QStringLiteral("org.mozilla.firefox"), {QStringLiteral("Firefox"), {}, {}}},
            {QStringLiteral("com.example.Chat"), {QStringLiteral("Chat"), {}, {}}},
            {ownIdentifier, {QStringLiteral("Vellora"), {}, {}}},
        };
        // Vellora itself runs too, named by its window class as an uninstalled copy is.
        workspace.running = {{QStringLiteral("xterm"), QStringLiteral("XTerm"), {}, 42, 7, false},
                             {QStringLiteral("Vellora"), QStringLiteral("Vellora"), {}, 43, 8, false}};
        Platform::setWorkspaceForTesting(&workspace);
        bundle.info = {{QStringLiteral("CFBundleIdentifier"), ownIdentifier},
                       {QStringLiteral("CFBundleName"), QStringLiteral("Vellora")}};
        bundle.root = QStringLiteral(":/") + QLatin1String(Platform::resourceBundleName);
        Platform::setMainBundleForTesting(&bundle);
        AppIconProvider::clearCache();
        fileAccess = std::make_unique<FileAccessStore>(dataFolder() + QStringLiteral("/file-access.json"));
        store = std::make_unique<ClipboardStore>(
            ClipboardStore::Environment{settings, temporary.path() + QStringLiteral("/store"), &cloud, {}});
        store->load();
    }
    ~PrivacySettingsTest() override
    {
        Platform::setMainBundleForTesting(nullptr);
        Platform::setWorkspaceForTesting(nullptr);
        AppIconProvider::clearCache();
    }

    QString dataFolder() const { return temporary.path() + QStringLiteral("/data"); }

    PrivacySettings& page()
    {
        if (!page_)
            page_ = std::make_unique<PrivacySettings>(
                settings, consent, *fileAccess, *store,
                [this](PrivacySupportPage page) { askedPages.append(page); });
        return *page_;
    }

    template <typename T> T* child(const char* name)
    {
        T* found = page().findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QLabel* fileStatus() { return child<QLabel>("privacyFileStatus"); }

    QStringList rowIdentifiers()
    {
        QStringList identifiers;
        const QWidget* list = child<QWidget>("privacyIgnoredApps");
        for (const QWidget* row : list->findChildren<QWidget*>(QStringLiteral("privacyIgnoredApp")))
            identifiers.append(row->property("bundleIdentifier").toString());
        return identifiers;
    }

    QStringList rowNames()
    {
        QStringList names;
        for (const QLabel* name : page().findChildren<QLabel*>(QStringLiteral("privacyIgnoredAppName")))
            names.append(name->text());
        return names;
    }

    QToolButton* removeButton(const QString& identifier)
    {
        for (QWidget* row : page().findChildren<QWidget*>(QStringLiteral("privacyIgnoredApp"))) {
            if (row->property("bundleIdentifier").toString() == identifier)
                return row->findChild<QToolButton*>(QStringLiteral("privacyRemoveApp"));
        }
        ADD_FAILURE() << "no row for " << identifier.toStdString();
        return nullptr;
    }

    QJsonValue storedIgnoredApps() const
    {
        return defaults.value(QStringLiteral("ignoredSourceAppBundleIDs"));
    }

    // Presses "Add Apps" and, once the chooser is up, lets `act` work on it.
    void chooseWith(const std::function<void(ApplicationChooserDialog&)>& act)
    {
        bool acted = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<ApplicationChooserDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            acted = true;
            act(*dialog);
        });
        child<QPushButton>("privacyAddApps")->click();
        EXPECT_TRUE(acted);
    }

    static void select(ApplicationChooserDialog& dialog, const QStringList& names)
    {
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("applicationList"));
        for (const QString& name : names) {
            const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            found.first()->setSelected(true);
        }
    }

    static QPushButton* addButton(ApplicationChooserDialog& dialog)
    {
        return dialog.findChild<QPushButton*>(QStringLiteral("applicationAdd"));
    }

    QTemporaryDir temporary;
    FakeDefaults defaults;
    Settings settings{defaults};
    AISharingConsentStore consent{defaults};
    std::unique_ptr<FileAccessStore> fileAccess;
    FakeCloudDrive cloud;
    std::unique_ptr<ClipboardStore> store;
    FakeWorkspace workspace;
    FakeBundle bundle;
    std::unique_ptr<PrivacySettings> page_;
    QList<PrivacySupportPage> askedPages;
};

TEST_F(PrivacySettingsTest, ClearingAIPermissionsEmptiesTheStoreAtOnce)
{
    auto* clear = child<QPushButton>("privacyClearAI");
    EXPECT_FALSE(clear->isEnabled());

    consent.approve({QStringLiteral("https://api.example.com/v1/chat"), true, false, 10});
    EXPECT_TRUE(clear->isEnabled());
    ASSERT_TRUE(defaults.values.contains(AISharingConsentStore::storageKey));

    clear->click();
    EXPECT_TRUE(consent.grants().isEmpty());
    EXPECT_FALSE(defaults.values.contains(AISharingConsentStore::storageKey));
    EXPECT_FALSE(clear->isEnabled());
}

TEST_F(PrivacySettingsTest, ClearingFileAccessWritesAnEmptyTableOrShowsWhyNot)
{
    struct Step {
        bool folderBlocked;
        QString status;
        bool cleared;
    };
    const QString failed =
        folderFailed + QStringLiteral(" Could not write %1. Vellora keeps your changes and "
                                      "tries again with the next change and when it quits.")
                           .arg(dataFolder());
    // Two clears in a row both succeed; the error wins over an earlier success; a later
    // success clears the error. A failed clear still clears the table in memory.
    const Step steps[] = {
        {true, failed, false}, {false, cleared, true}, {false, cleared, true},
        {true, failed, true},  {false, cleared, true},
    };
    EXPECT_TRUE(fileStatus()->isHidden());
    fileAccess->grant(temporary.path());
    for (const Step& step : steps) {
        QDir(dataFolder()).removeRecursively();
        QFile::remove(dataFolder());
        if (step.folderBlocked) {
            // A file where the data folder should be: the folder can't be made.
            QFile blocker(dataFolder());
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        }
        const int revision = FileAccessPresentationState::shared().revision();
        child<QPushButton>("privacyClearFiles")->click();
        EXPECT_EQ(fileStatus()->text(), step.status);
        EXPECT_EQ(page().filePermissionError().has_value(), step.folderBlocked);
        EXPECT_EQ(page().filePermissionsCleared(), step.cleared);
        EXPECT_EQ(fileAccess->table(), FileAccessStore::Table());
        EXPECT_EQ(FileAccessPresentationState::shared().revision(), revision + 1);
        QFile file(fileAccess->filePath());
        const bool written = file.open(QIODevice::ReadOnly);
        EXPECT_EQ(written, !step.folderBlocked);
        if (written) {
            EXPECT_EQ(QJsonDocument::fromJson(file.readAll()), QJsonDocument(QJsonObject()));
        }
    }
}

TEST_F(PrivacySettingsTest, ChosenAppsAreAddedSortedWithoutDuplicates)
{
    settings.addIgnoredSourceApp(QStringLiteral("org.mozilla.firefox"));
    chooseWith([](ApplicationChooserDialog& dialog) {
        select(dialog, {QStringLiteral("Text Editor"), QStringLiteral("Firefox"), QStringLiteral("XTerm"),
                        QStringLiteral("Chat")});
        addButton(dialog)->click();
    });
    const QStringList expected{QStringLiteral("com.example.Chat"), QStringLiteral("org.gnome.TextEditor"),
                               QStringLiteral("org.mozilla.firefox"), QStringLiteral("xterm")};
    EXPECT_EQ(settings.ignoredSourceAppBundleIDs(), expected);
    EXPECT_EQ(storedIgnoredApps(), QJsonArray::fromStringList(expected));
    EXPECT_EQ(rowIdentifiers(), expected);
    // An application the desktop does not know is named by its identifier.
    EXPECT_EQ(rowNames(), (QStringList{QStringLiteral("Chat"), QStringLiteral("Text Editor"),
                                       QStringLiteral("Firefox"), QStringLiteral("xterm")}));
}

// Every source a card names can be excluded: a running program whose desktop entry hides it
// from menus, and a source only the history or a pinboard still names, under the cards' names.
TEST_F(PrivacySettingsTest, ChooserOffersEverySourceACardNames)
{
    workspace.running.append(
        {QStringLiteral("python3.11"), QStringLiteral("Python (v3.11)"), {}, 44, 9, true});
    const auto clip = [](const char* text, const char* identifier, const char* name) {
        ClipItem item;
        item.text = QLatin1String(text);
        item.sourceBundleID = QLatin1String(identifier);
        item.sourceAppName = QLatin1String(name);
        return item;
    };
    store->addCaptured(clip("gone", "com.example.Gone", "Gone App"));
    store->addCaptured(clip("from the terminal", "xterm", "xterm of old"));
    store->addCaptured(clip("our own", "app.vellora.Vellora", "Vellora"));
    const ClipItem pinned = clip("pinned", "com.example.Pinned", "Pinned App");
    store->addCaptured(pinned);
    ASSERT_TRUE(store->pin(pinned.id, store->addPinboard(QStringLiteral("Kept"), QStringLiteral("#315BD6"))));
    store->deleteItems({pinned.id}, true);

    chooseWith([](ApplicationChooserDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("applicationList"));
        QStringList names;
        for (int row = 0; row < list->count(); ++row)
            names.append(list->item(row)->text());
        EXPECT_EQ(names,
                  (QStringList{QStringLiteral("Chat"), QStringLiteral("Firefox"), QStringLiteral("Gone App"),
                               QStringLiteral("Pinned App"), QStringLiteral("Python (v3.11)"),
                               QStringLiteral("Text Editor"), QStringLiteral("XTerm")}));
        select(dialog,
               {QStringLiteral("Python (v3.11)"), QStringLiteral("Gone App"), QStringLiteral("Pinned App")});
        dialog.accept();
    });
    EXPECT_EQ(settings.ignoredSourceAppBundleIDs(),
              (QStringList{QStringLiteral("com.example.Gone"), QStringLiteral("com.example.Pinned"),
                           QStringLiteral("python3.11")}));
}

TEST_F(PrivacySettingsTest, CancellingTheChooserChangesNothing)
{
    chooseWith([](ApplicationChooserDialog& dialog) {
        select(dialog, {QStringLiteral("Chat")});
        dialog.reject();
    });
    EXPECT_TRUE(settings.ignoredSourceAppBundleIDs().isEmpty());
    EXPECT_FALSE(defaults.values.contains(QStringLiteral("ignoredSourceAppBundleIDs")));
    EXPECT_NE(page().findChild<QWidget*>(QStringLiteral("privacyNoIgnoredApps")), nullptr);
}

TEST_F(PrivacySettingsTest, ChooserListsByNameAndFiltersByNameOrIdentifier)
{
    struct Filter {
        const char* text;
        QStringList visible;
    };
    const Filter filters[] = {
        {"", {"Chat", "Firefox", "Text Editor", "XTerm"}},
        {"vellora", {}}, // neither its installed entry nor its running window
        {"FOX", {"Firefox"}},
        {"gnome", {"Text Editor"}},
        {"  chat ", {"Chat"}},
        {"nothing such", {}},
    };
    ApplicationChooserDialog dialog(ApplicationChooserDialog::availableApplications());
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("applicationList"));
    auto* search = dialog.findChild<QLineEdit*>(QStringLiteral("applicationSearch"));
    for (const Filter& filter : filters) {
        search->setText(QLatin1String(filter.text));
        QStringList visible;
        for (int row = 0; row < list->count(); ++row) {
            if (!list->item(row)->isHidden())
                visible.append(list->item(row)->text());
        }
        EXPECT_EQ(visible, filter.visible) << filter.text;
    }
}

TEST_F(PrivacySettingsTest, ChooserAddsOnlyWithASelectionKeptAcrossSearches)
{
    ApplicationChooserDialog dialog(ApplicationChooserDialog::availableApplications());
    auto* search = dialog.findChild<QLineEdit*>(QStringLiteral("applicationSearch"));
    EXPECT_FALSE(addButton(dialog)->isEnabled());
    search->setText(QStringLiteral("text"));
    select(dialog, {QStringLiteral("Text Editor")});
    EXPECT_TRUE(addButton(dialog)->isEnabled());
    search->setText(QStringLiteral("chat"));
    select(dialog, {QStringLiteral("Chat")});
    EXPECT_EQ(dialog.chosenIdentifiers(),
              (QStringList{QStringLiteral("com.example.Chat"), QStringLiteral("org.gnome.TextEditor")}));
}

// From the keyboard: Return takes the only application shown; Down goes from the search to the
// list and Return takes the row it is on; with several shown and none chosen Return does nothing.
TEST_F(PrivacySettingsTest, ChooserCanBeAnsweredFromTheKeyboard)
{
    const struct {
        const char* search;
        QList<Qt::Key> keys;
        QStringList chosen; // empty: still open
    } cases[] = {
        {"fox", {Qt::Key_Return}, {QStringLiteral("org.mozilla.firefox")}},
        {"", {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}, {QStringLiteral("org.mozilla.firefox")}},
        {"", {Qt::Key_Return}, {}},
    };
    for (const auto& c : cases) {
        ApplicationChooserDialog dialog(ApplicationChooserDialog::availableApplications());
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        auto* search = dialog.findChild<QLineEdit*>(QStringLiteral("applicationSearch"));
        search->setFocus();
        QTest::keyClicks(search, QLatin1String(c.search));
        for (const Qt::Key key : c.keys)
            QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, !c.chosen.isEmpty()) << c.search;
        EXPECT_EQ(dialog.chosenIdentifiers(), c.chosen) << c.search;
    }
}

TEST_F(PrivacySettingsTest, RemovingAppsStoresTheListAndEndsInTheEmptyState)
{
    settings.setIgnoredSourceAppBundleIDs({QStringLiteral("com.example.Chat"),
                                           QStringLiteral("org.gnome.TextEditor"), QStringLiteral("xterm")});
    EXPECT_EQ(removeButton(QStringLiteral("org.gnome.TextEditor"))->toolTip(),
              QStringLiteral("Allow clips from Text Editor"));
    EXPECT_EQ(removeButton(QStringLiteral("xterm"))->toolTip(), QStringLiteral("Allow clips from xterm"));

    const QStringList removals{QStringLiteral("org.gnome.TextEditor"), QStringLiteral("xterm"),
                               QStringLiteral("com.example.Chat")};
    QStringList remaining = settings.ignoredSourceAppBundleIDs();
    for (const QString& identifier : removals) {
        EXPECT_EQ(page().findChild<QWidget*>(QStringLiteral("privacyNoIgnoredApps")), nullptr);
        removeButton(identifier)->click();
        remaining.removeAll(identifier);
        EXPECT_EQ(settings.ignoredSourceAppBundleIDs(), remaining);
        EXPECT_EQ(storedIgnoredApps(), QJsonArray::fromStringList(remaining));
        EXPECT_EQ(rowIdentifiers(), remaining);
    }
    const QWidget* empty = page().findChild<QWidget*>(QStringLiteral("privacyNoIgnoredApps"));
    ASSERT_NE(empty, nullptr);
    QStringList texts;
    for (const QLabel* label : empty->findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            texts.append(label->text());
    }
    EXPECT_EQ(texts, (QStringList{QStringLiteral("No apps excluded"),
                                  QStringLiteral("Add an app to keep its copied content out of Vellora.")}));
}

TEST_F(PrivacySettingsTest, ListFollowsOutsideChanges)
{
    EXPECT_TRUE(rowIdentifiers().isEmpty());
    settings.addIgnoredSourceApp(QStringLiteral("org.mozilla.firefox"));
    settings.addIgnoredSourceApp(QStringLiteral("com.gone.App"));
    EXPECT_EQ(rowIdentifiers(),
              (QStringList{QStringLiteral("com.gone.App"), QStringLiteral("org.mozilla.firefox")}));
    EXPECT_EQ(rowNames(), (QStringList{QStringLiteral("com.gone.App"), QStringLiteral("Firefox")}));
    settings.removeIgnoredSourceApp(QStringLiteral("com.gone.App"));
    EXPECT_EQ(rowIdentifiers(), QStringList{QStringLiteral("org.mozilla.firefox")});
}

TEST_F(PrivacySettingsTest, LinksOpenThePrivacyAndSupportPages)
{
    struct Link {
        const char* button;
        PrivacySupportPage page;
    };
    const Link links[] = {{"privacyHelpLink", PrivacySupportPage::support},
                          {"privacyPolicyLink", PrivacySupportPage::privacy}};
    for (const Link& link : links) {
        askedPages.clear();
        child<QPushButton>(link.button)->click();
        EXPECT_EQ(askedPages, QList<PrivacySupportPage>{link.page}) << link.button;
    }
    EXPECT_EQ(child<QPushButton>("privacyPolicyLink")->text(), QStringLiteral("Privacy Policy"));
    // "&" would otherwise mark a mnemonic.
    EXPECT_EQ(child<QPushButton>("privacyHelpLink")->text(), QStringLiteral("Help && Support"));
}

} // namespace
