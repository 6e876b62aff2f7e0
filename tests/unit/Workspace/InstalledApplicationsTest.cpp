#include "Platform/linux/X11Workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct EntryFile {
    const char* folder; // "home" or "system"
    const char* relativePath;
    const char* contents;
};

// The applications a user can pick: menu entries only, each id once (the earlier folder
// wins), in id order, named in the message locale.
TEST(InstalledApplicationsTest, ListsMenuEntriesOnceInIdOrder)
{
    const EntryFile files[] = {
        {"system", "org.example.Zed.desktop", "[Desktop Entry]\nType=Application\nName=Zed\n"},
        {"system", "org.example.Notes.desktop", "[Desktop Entry]\nType=Application\nName=System Notes\n"},
        {"home", "org.example.Notes.desktop",
         "[Desktop Entry]\nType=Application\nName=Notes\nName[de]=Notizen\n"},
        {"system", "vendor/tool.desktop", "[Desktop Entry]\nType=Application\nName=Tool\nIcon=tool\n"},
        {"system", "org.example.Helper.desktop",
         "[Desktop Entry]\nType=Application\nName=Helper\nNoDisplay=true\n"},
        {"home", "org.example.Gone.desktop", "[Desktop Entry]\nType=Application\nName=Gone\nHidden=true\n"},
        {"system", "org.example.Gone.desktop", "[Desktop Entry]\nType=Application\nName=Gone\n"},
        {"system", "org.example.Link.desktop",
         "[Desktop Entry]\nType=Link\nName=Link\nURL=https://e.example\n"},
    };
    QTemporaryDir data;
    for (const EntryFile& file : files) {
        const QString path =
            data.path() + '/' + file.folder + "/applications/" + QString::fromLatin1(file.relativePath);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file.contents);
    }
    Platform::X11Workspace::Options options;
    options.applicationFolders = {data.path() + "/home/applications", data.path() + "/system/applications"};
    options.messageLocale = "de_DE.UTF-8";
    Platform::X11Workspace workspace(options);

    const QList<Platform::ApplicationInfo> expected{
        {"org.example.Notes", "Notizen", "", true},
        {"org.example.Zed", "Zed", "", true},
        {"vendor-tool", "Tool", "tool", true},
    };
    EXPECT_EQ(workspace.installedApplications(), expected);
}

} // namespace
