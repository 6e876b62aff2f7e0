#include "Platform/linux/X11Workspace.h"
#include "EnvironmentVariable.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using Platform::X11Workspace;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void writePng(const QString& path, const QColor& color)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(color);
    ASSERT_TRUE(image.save(path, "PNG"));
}

class X11WorkspaceTest : public ::testing::Test {
protected:
    X11WorkspaceTest()
    {
        options.applicationFolders = {data.path() + "/applications"};
        options.dataFolders = {data.path()};
        options.openURL = [this](const QUrl& url) {
            opened.append(url);
            return true;
        };
        options.fileManagerService.clear();
        options.messageLocale = "de_DE.UTF-8";
    }

    void install(const QString& id, const QString& extra)
    {
        writeFile(data.path() + "/applications/" + id + ".desktop",
                  ("[Desktop Entry]\nType=Application\nName=" + id + "\nName[de]=" + id + " (de)\n" + extra)
                      .toUtf8());
    }

    QTemporaryDir data;
    X11Workspace::Options options;
    QList<QUrl> opened;
};

TEST_F(X11WorkspaceTest, withoutADisplayQueriesAnswerEmptyAndActionsFail)
{
    EnvironmentVariable noDisplay("DISPLAY", QByteArray());
    X11Workspace workspace(options);
    EXPECT_TRUE(workspace.runningApplications().isEmpty());
    EXPECT_FALSE(workspace.frontmostApplication());
    EXPECT_FALSE(workspace.applicationForWindow(0x400001));
    Platform::RunningApplication application;
    application.processIdentifier = getpid();
    application.windowIdentifier = 0x400001;
    EXPECT_FALSE(workspace.activate(application));
}

TEST_F(X11WorkspaceTest, applicationInfoIsLocalisedAndSaysWhetherInstalled)
{
    install("org.example.Notes", "Icon=notes\n");
    X11Workspace workspace(options);
    EXPECT_EQ(workspace.applicationInfo("org.example.Notes"),
              (Platform::ApplicationInfo{"org.example.Notes", "org.example.Notes (de)", "notes", true}));
    EXPECT_EQ(workspace.applicationInfo("org.example.Missing"),
              (Platform::ApplicationInfo{"org.example.Missing", "", "", false}));
    EXPECT_FALSE(workspace.applicationInfo("").installed);
}

TEST_F(X11WorkspaceTest, iconsComeFromAbsolutePathsAndPixmaps)
{
    writePng(data.path() + "/elsewhere/absolute.png", Qt::red);
    writePng(data.path() + "/pixmaps/legacy-tool.png", Qt::blue);
    install("absolute", "Icon=" + data.path() + "/elsewhere/absolute.png\n");
    install("legacy", "Icon=legacy-tool\n");
    install("vanished", "Icon=" + data.path() + "/elsewhere/vanished.png\n");
    install("noicon", "");
    install("unknown-name", "Icon=vellora-test-no-such-icon-anywhere\n");
    X11Workspace workspace(options);

    const QIcon absolute = workspace.icon("absolute");
    ASSERT_FALSE(absolute.isNull());
    EXPECT_EQ(absolute.pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::red));
    const QIcon legacy = workspace.icon("legacy");
    ASSERT_FALSE(legacy.isNull());
    EXPECT_EQ(legacy.pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::blue));
    EXPECT_TRUE(workspace.icon("vanished").isNull());
    EXPECT_TRUE(workspace.icon("noicon").isNull());
    EXPECT_TRUE(workspace.icon("unknown-name").isNull());
    EXPECT_TRUE(workspace.icon("not-installed").isNull());
}

TEST_F(X11WorkspaceTest, openURLRejectsInvalidAddresses)
{
    X11Workspace workspace(options);
    EXPECT_FALSE(workspace.openURL(QUrl()));
    EXPECT_FALSE(workspace.openURL(QUrl("http://[broken")));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(workspace.openURL(QUrl("https://example.org/a?b=c")));
    EXPECT_EQ(opened, QList<QUrl>({QUrl("https://example.org/a?b=c")}));
}

TEST_F(X11WorkspaceTest, revealFileWithoutAFileManagerOpensTheFolder)
{
    writeFile(data.path() + "/docs/report 1.txt", "x");
    X11Workspace workspace(options);
    EXPECT_FALSE(workspace.revealFile(data.path() + "/docs/missing.txt"));
    EXPECT_FALSE(workspace.revealFile(QString()));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(workspace.revealFile(data.path() + "/docs/report 1.txt"));
    EXPECT_EQ(opened, QList<QUrl>({QUrl::fromLocalFile(data.path() + "/docs")}));
}

// The current desktop's settings program first, then any other installed one; a desktop
// without one, or whose programs don't start, is a failure.
struct DesktopSettingsCase {
    const char* name;
    QStringList desktopNames;
    QStringList installed;
    QStringList refusing; // installed, but fail to start
    QStringList started;  // attempts, in order
    bool opened;
};

class X11WorkspaceDesktopSettings : public X11WorkspaceTest,
                                    public ::testing::WithParamInterface<DesktopSettingsCase> {};

TEST_P(X11WorkspaceDesktopSettings, StartsTheDesktopsOwnSettingsProgram)
{
    const DesktopSettingsCase& c = GetParam();
    const QString bin = data.path() + "/bin";
    for (const QString& program : c.installed) {
        writeFile(bin + "/" + program, "#!/bin/sh\n");
        QFile(bin + "/" + program).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    writeFile(bin + "/lxqt-config", "not executable");
    options.desktopNames = c.desktopNames;
    options.programFolders = {bin};
    QStringList started;
    options.startProgram = [&](const QString& program) {
        started.append(QFileInfo(program).fileName());
        return QFileInfo(program).absolutePath() == bin && !c.refusing.contains(started.last());
    };
    X11Workspace workspace(options);

    EXPECT_EQ(workspace.openDesktopSettings(), c.opened);
    EXPECT_EQ(started, c.started);
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, X11WorkspaceDesktopSettings,
    ::testing::Values(
        DesktopSettingsCase{
            "Kde", {"KDE"}, {"gnome-control-center", "systemsettings"}, {}, {"systemsettings"}, true},
        DesktopSettingsCase{"UbuntuGnome",
                            {"ubuntu", "GNOME"},
                            {"systemsettings", "gnome-control-center"},
                            {},
                            {"gnome-control-center"},
                            true},
        DesktopSettingsCase{
            "Xfce", {"XFCE"}, {"xfce4-settings-manager"}, {}, {"xfce4-settings-manager"}, true},
        DesktopSettingsCase{"UnknownDesktopTakesAnyInstalled",
                            {"openbox"},
                            {"mate-control-center"},
                            {},
                            {"mate-control-center"},
                            true},
        DesktopSettingsCase{"FailedStartTriesTheNext",
                            {"KDE"},
                            {"systemsettings", "xfce4-settings-manager"},
                            {"systemsettings"},
                            {"systemsettings", "xfce4-settings-manager"},
                            true},
        DesktopSettingsCase{"NoneInstalled", {"GNOME"}, {}, {}, {}, false},
        DesktopSettingsCase{"NoneStarts",
                            {"GNOME"},
                            {"gnome-control-center"},
                            {"gnome-control-center"},
                            {"gnome-control-center"},
                            false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
