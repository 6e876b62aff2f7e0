#include "Platform/linux/ProcessInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using Platform::ProcessInfo;

namespace {

TEST(ProcessInfo, readsThisProcess)
{
    const std::optional<ProcessInfo> info = ProcessInfo::read(getpid());
    ASSERT_TRUE(info);
    const QString self = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    EXPECT_EQ(info->executablePath, self);
    EXPECT_EQ(info->executableName(), QFileInfo(self).fileName());
    EXPECT_EQ(info->commandName,
              QFileInfo(QString::fromLocal8Bit(qApp->arguments().first().toLocal8Bit())).fileName());
    EXPECT_TRUE(ProcessInfo::isRunning(getpid()));
}

TEST(ProcessInfo, noProcessForImpossibleIdentifiers)
{
    for (const qint64 pid : {qint64(0), qint64(-1), qint64(-42), qint64(1) << 40}) {
        EXPECT_FALSE(ProcessInfo::read(pid)) << pid;
        EXPECT_FALSE(ProcessInfo::isRunning(pid)) << pid;
    }
}

// A process table of our own shows how the state field and the exe link are read.
class FakeProcessTable : public ::testing::Test {
protected:
    void addProcess(qint64 pid, const QByteArray& stat, const QByteArray& cmdline, const QString& exe)
    {
        const QString folder = root.path() + "/" + QString::number(pid);
        QDir().mkpath(folder);
        QFile statFile(folder + "/stat");
        ASSERT_TRUE(statFile.open(QIODevice::WriteOnly));
        statFile.write(stat);
        QFile cmdlineFile(folder + "/cmdline");
        ASSERT_TRUE(cmdlineFile.open(QIODevice::WriteOnly));
        cmdlineFile.write(cmdline);
        if (!exe.isEmpty())
            QFile::link(exe, folder + "/exe");
    }

    void write(const QString& name, const QByteArray& bytes)
    {
        QFile file(root.path() + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir root;
};

TEST_F(FakeProcessTable, zombiesAndDeadProcessesAreNotRunning)
{
    addProcess(10, "10 (editor) S 1 10 10 0", QByteArray("/usr/bin/editor\0--new\0", 22), "/usr/bin/editor");
    addProcess(11, "11 (gone) Z 1 11 11 0", QByteArray("gone\0", 5), {});
    addProcess(12, "12 (dead) X 1", {}, {});
    addProcess(13, "13 (a) Z) (b) R 1 13", {}, {}); // a command name that holds ") Z"
    addProcess(14, "14 (truncated", {}, {});
    addProcess(15, "", {}, {});
    EXPECT_TRUE(ProcessInfo::isRunning(10, root.path()));
    EXPECT_FALSE(ProcessInfo::isRunning(11, root.path()));
    EXPECT_FALSE(ProcessInfo::isRunning(12, root.path()));
    EXPECT_TRUE(ProcessInfo::isRunning(13, root.path()));
    EXPECT_FALSE(ProcessInfo::isRunning(14, root.path()));
    EXPECT_FALSE(ProcessInfo::isRunning(15, root.path()));
    EXPECT_FALSE(ProcessInfo::isRunning(16, root.path()));
    EXPECT_FALSE(ProcessInfo::read(11, root.path()));
}

TEST_F(FakeProcessTable, theProgramNameComesFromExeElseArgvZero)
{
    addProcess(20, "20 (editor) S 1", QByteArray("editor-wrapper\0--x\0", 19), "/usr/lib/editor/editor-bin");
    addProcess(21, "21 (script) S 1", QByteArray("/usr/local/bin/script\0", 22), {});
    addProcess(22, "22 (updated) S 1", {}, "/usr/bin/updated (deleted)");
    addProcess(23, "23 (kthread) S 2", {}, {});

    const std::optional<ProcessInfo> editor = ProcessInfo::read(20, root.path());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->executablePath, "/usr/lib/editor/editor-bin");
    EXPECT_EQ(editor->commandName, "editor-wrapper");
    EXPECT_EQ(editor->executableName(), "editor-bin");

    EXPECT_EQ(ProcessInfo::read(21, root.path())->executableName(), "script");
    EXPECT_EQ(ProcessInfo::read(22, root.path())->executableName(), "updated");
    EXPECT_EQ(ProcessInfo::read(23, root.path())->executableName(), "");
}

} // namespace
