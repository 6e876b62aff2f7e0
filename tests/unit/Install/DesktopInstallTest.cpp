#include "ProcessRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// `cmake --install` into a prefix of its own gives the desktop what its menus, window manager
// and icon theme need.
namespace {

TEST(DesktopInstall, InstallsAValidEntryNamingTheInstalledBinaryAndTheIcons)
{
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    ASSERT_FALSE(validator.isEmpty()) << "scripts/setup installs desktop-file-utils";
    QTemporaryDir prefix(QDir::tempPath() + QStringLiteral("/vellora prefix-XXXXXX")); // a blank too
    ASSERT_TRUE(prefix.isValid());
    const ProcessRun install =
        ProcessRun::of(QStringLiteral(VELLORA_CMAKE_COMMAND),
                       {QStringLiteral("--install"), QStringLiteral(VELLORA_BINARY_DIR),
                        QStringLiteral("--prefix"), prefix.path()});
    ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();

    const QString binary = prefix.filePath(QStringLiteral("bin/vellora"));
    EXPECT_TRUE(QFileInfo(binary).isExecutable());
    const QString entryPath =
        prefix.filePath(QStringLiteral("share/applications/app.vellora.Vellora.desktop"));
    const ProcessRun validation = ProcessRun::of(validator, {entryPath});
    EXPECT_EQ(validation.exitCode, 0) << validation.output.toStdString();
    EXPECT_TRUE(validation.output.trimmed().isEmpty()) << "no warnings: " << validation.output.toStdString();

    QFile entry(entryPath);
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
    EXPECT_TRUE(lines.contains(QStringLiteral("Exec=\"%1\"").arg(binary)));
    EXPECT_TRUE(lines.contains(QStringLiteral("TryExec=") + binary));
    EXPECT_TRUE(lines.contains(QStringLiteral("Icon=app.vellora.Vellora")));
    EXPECT_TRUE(lines.contains(QStringLiteral("StartupWMClass=Vellora")));

    const QString icons = prefix.filePath(QStringLiteral("share/icons/hicolor/"));
    EXPECT_TRUE(QFileInfo::exists(icons + QStringLiteral("scalable/apps/app.vellora.Vellora.svg")));
    for (const int size : {48, 256}) {
        const QImage png(icons + QStringLiteral("%1x%1/apps/app.vellora.Vellora.png").arg(size));
        EXPECT_EQ(png.size(), QSize(size, size));
        EXPECT_GT(qAlpha(png.pixel(size / 2, size / 2)), 0) << size << " px: the mark is drawn";
    }
}

} // namespace
