#include "Platform/FileSystem.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr qsizetype fillerChunk = 4096;

// A full disk: a small file system of its own, filled up. Mounting it needs the right to;
// without it the test is skipped.
TEST(WriteFileAtomically, AFullDiskFailsAndLeavesTheOldFileAsItWas)
{
    QTemporaryDir dir;
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=16k", "tmpfs", dir.path()}) != 0)
        GTEST_SKIP() << "no small file system can be mounted here";
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {dir.path()}); });
    const QString path = dir.filePath("preferences.json");
    const QByteArray saved = R"({"historyLimit": 5000})";
    ASSERT_EQ(Platform::writeFileAtomically(path, saved), std::nullopt);

    QFile filler(dir.filePath("filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(fillerChunk, '\0')) == fillerChunk) {
    }
    filler.close();

    EXPECT_NE(Platform::writeFileAtomically(path, R"({"historyLimit": 5000, "playSound": true})"),
              std::nullopt);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), saved);
}

} // namespace
