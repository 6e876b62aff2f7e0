#include "Platform/linux/DesktopEntryIndex.h"
#include "EnvironmentVariable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using Platform::DesktopEntryIndex;

namespace {

QByteArray entryText(const QString& name, const QString& extra = {})
{
    return ("[Desktop Entry]\nType=Application\nName=" + name + "\n" + extra).toUtf8();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class DesktopEntryIndexTest : public ::testing::Test {
protected:
    QString user() const { return folders.path() + "/user/applications"; }
    QString system() const { return folders.path() + "/system/applications"; }
    DesktopEntryIndex index() const { return DesktopEntryIndex({user(), system()}); }

    QTemporaryDir folders;
};

TEST_F(DesktopEntryIndexTest, anEarlierFolderHidesTheSameIdInLaterOnes)
{
    writeFile(system() + "/org.example.Editor.desktop", entryText("System Editor"));
    writeFile(user() + "/org.example.Editor.desktop", entryText("My Editor"));
    writeFile(system() + "/org.example.Viewer.desktop", entryText("Viewer"));
    const DesktopEntryIndex entries = index();
    ASSERT_NE(entries.entry("org.example.Editor"), nullptr);
    EXPECT_EQ(entries.entry("org.example.Editor")->name, "My Editor");
    EXPECT_EQ(entries.entry("org.example.Viewer")->name, "Viewer");
    EXPECT_EQ(entries.size(), 2);
}

TEST_F(DesktopEntryIndexTest, aHiddenEntryRemovesItsIdEverywhere)
{
    writeFile(system() + "/tool.desktop", entryText("Tool"));
    writeFile(user() + "/tool.desktop", entryText("Tool", "Hidden=true\n"));
    EXPECT_EQ(index().entry("tool"), nullptr);
}

TEST_F(DesktopEntryIndexTest, subfoldersGiveDashedIdsAndBadFilesAreSkipped)
{
    writeFile(system() + "/kde4/konsole.desktop", entryText("Konsole"));
    writeFile(system() + "/broken.desktop", "not a desktop entry");
    writeFile(system() + "/link.desktop", "[Desktop Entry]\nType=Link\nName=Site\n");
    writeFile(system() + "/notes.txt", entryText("Not an entry file"));
    writeFile(system() + "/huge.desktop", entryText("Huge", QString(300 * 1024, QLatin1Char('#')) + "\n"));
    const DesktopEntryIndex entries = index();
    ASSERT_NE(entries.entry("kde4-konsole"), nullptr);
    EXPECT_EQ(entries.entry("kde4-konsole")->id, "kde4-konsole");
    EXPECT_EQ(entries.entry("broken"), nullptr);
    EXPECT_EQ(entries.entry("link"), nullptr);
    EXPECT_EQ(entries.entry("huge"), nullptr);
    EXPECT_EQ(entries.size(), 1);
}

TEST_F(DesktopEntryIndexTest, missingFoldersGiveAnEmptyIndex)
{
    const DesktopEntryIndex entries({folders.path() + "/nowhere"});
    EXPECT_EQ(entries.size(), 0);
    EXPECT_EQ(entries.match("Anything", "anything", "anything"), nullptr);
}

TEST_F(DesktopEntryIndexTest, matchesRunningProgramsInOrder)
{
    // Each entry would match by a weaker rule than the one the case expects.
    writeFile(system() + "/by-class.desktop", entryText("By Class", "StartupWMClass=Firefox-esr\n"));
    writeFile(system() + "/firefox-esr.desktop", entryText("By Id", "Exec=other\n"));
    writeFile(system() + "/org.gnome.TextEditor.desktop",
              entryText("Text Editor", "Exec=gnome-text-editor\n"));
    writeFile(system() + "/xterm.desktop", entryText("XTerm", "Exec=xterm -e bash\n"));
    writeFile(system() + "/uxterm.desktop",
              entryText("UXTerm", "Exec=xterm -class UXTerm\nNoDisplay=true\n"));
    writeFile(system() + "/env-app.desktop", entryText("Env App", "Exec=env A=1 /opt/envapp/run %u\n"));
    writeFile(system() + "/a-script.desktop", entryText("Script", "Exec=python3 /opt/script/main.py\n"));
    writeFile(system() + "/a-shell.desktop", entryText("Shell", "Exec=sh -c \"cd /opt && ./tool\"\n"));
    const DesktopEntryIndex entries = index();

    const struct {
        const char* windowClass;
        const char* instance;
        const char* executable;
        const char* expectedId; // "" for no match
    } cases[] = {
        {"Firefox-esr", "Navigator", "firefox-esr", "by-class"},             // StartupWMClass first
        {"firefox-esr", "", "", "by-class"},                                 // ignoring case
        {"Other", "FIREFOX-ESR", "", "by-class"},                            // the instance name counts too
        {"org.gnome.TextEditor", "", "", "org.gnome.TextEditor"},            // the id
        {"Texteditor", "", "", "org.gnome.TextEditor"},                      // the id's last part
        {"Unknown", "unknown", "gnome-text-editor", "org.gnome.TextEditor"}, // the program
        {"XTerm", "xterm", "xterm", "xterm"},                                // the id before the program
        {"Unknown", "", "xterm", "xterm"},                                   // a shown entry wins
        {"", "", "run", "env-app"},                                          // past env and assignments
        {"Unknown", "unknown", "unknown", ""},
        {"Some-python-app", "", "python3", ""}, // not every Python program
        {"", "", "sh", ""},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        const Platform::DesktopEntry* entry = entries.match(c.windowClass, c.instance, c.executable);
        const QString id = entry ? entry->id : QString();
        EXPECT_EQ(id, QString::fromUtf8(c.expectedId)) << c.windowClass << " / " << c.executable;
    }
}

TEST(DesktopEntryIndexFolders, followTheXdgVariablesInPrecedenceOrder)
{
    {
        EnvironmentVariable home("XDG_DATA_HOME", "/home/u/data");
        EnvironmentVariable dirs("XDG_DATA_DIRS", "/opt/share:relative/skipped::/usr/share:/opt/share");
        EXPECT_EQ(
            DesktopEntryIndex::standardApplicationFolders(),
            QStringList({"/home/u/data/applications", "/opt/share/applications", "/usr/share/applications"}));
    }
    {
        EnvironmentVariable home("XDG_DATA_HOME", QByteArray());
        EnvironmentVariable dirs("XDG_DATA_DIRS", "");
        EXPECT_EQ(DesktopEntryIndex::standardDataFolders(),
                  QStringList({QDir::homePath() + "/.local/share", "/usr/local/share", "/usr/share"}));
    }
}

} // namespace

namespace {

TEST(VelloraDesktopEntry, isFoundForVellorasOwnWindows)
{
    const DesktopEntryIndex index({QStringLiteral(VELLORA_SOURCE_DIR "/resources")});
    const Platform::DesktopEntry* entry = index.match("Vellora", "vellora", "vellora");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->id, "app.vellora.Vellora");
    EXPECT_EQ(entry->nameForLocale("ja_JP.UTF-8"), "Vellora");
    EXPECT_EQ(entry->executableName(), "vellora");
    EXPECT_EQ(entry->icon, "app.vellora.Vellora");
}

} // namespace
