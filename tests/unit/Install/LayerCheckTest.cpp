#include "ProcessRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Include {
    const char* file;
    const char* header;
    int exitCode;
    // The offender line the check prints, or empty when it passes.
    const char* offender;
};

// The layer check refuses an include into Platform's Linux inside from outside Platform/ and
// an include that points up; Platform and its inside include each other freely.
TEST(LayerCheck, RefusesIncludesUpOrIntoPlatformsInside)
{
    const Include cases[] = {
        {"UI/Bar/Key.cpp", "Platform/linux/Map.h", 1,
         "src/UI/Bar/Key.cpp:1 -> Platform/linux/Map.h (only Platform/ may include Platform/linux/)"},
        {"Models/Item.cpp", "UI/View.h", 1, "src/Models/Item.cpp:1 -> UI/View.h"},
        {"Platform/Keys.cpp", "Platform/linux/Map.h", 0, ""},
        {"Platform/linux/Map.cpp", "Platform/Keys.h", 0, ""},
        {"UI/Bar/Key.cpp", "Platform/Keys.h", 0, ""},
    };
    const QStringList headers{"Platform/linux/Map.h", "Platform/Keys.h", "UI/View.h"};
    for (const Include& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " -> " + c.header);
        QTemporaryDir src;
        ASSERT_TRUE(src.isValid());
        for (const QString& header : headers) {
            ASSERT_TRUE(QDir(src.path()).mkpath(QFileInfo(header).path()));
            QFile(src.filePath(header)).open(QIODevice::WriteOnly);
        }
        const QString file = QString::fromUtf8(c.file);
        ASSERT_TRUE(QDir(src.path()).mkpath(QFileInfo(file).path()));
        QFile source(src.filePath(file));
        ASSERT_TRUE(source.open(QIODevice::WriteOnly));
        source.write(QByteArray("#include \"") + c.header + "\"\n");
        source.close();

        const ProcessRun run =
            ProcessRun::of(QStringLiteral(VELLORA_SOURCE_DIR "/scripts/check-layers"), {src.path()});
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output.toStdString();
        EXPECT_EQ(run.output.section(u'\n', 0, 0), c.exitCode ? QString::fromUtf8(c.offender) : QString());
    }
}

} // namespace
