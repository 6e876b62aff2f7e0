#include "Util/AppIconProvider.h"

#include "fakes/FakeWorkspace.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

QIcon solidIcon(const QColor& color)
{
    QPixmap pixmap(8, 8);
    pixmap.fill(color);
    return QIcon(pixmap);
}

class AppIconProviderTest : public ::testing::Test {
protected:
    AppIconProviderTest()
    {
        workspace.installed.insert("org.example.Editor", {"Editor", "editor", solidIcon(Qt::green)});
        workspace.installed.insert("org.example.Blank", {"Blank", "", QIcon()});
        Platform::setWorkspaceForTesting(&workspace);
        AppIconProvider::clearCache();
    }
    ~AppIconProviderTest() override
    {
        AppIconProvider::clearCache();
        Platform::setWorkspaceForTesting(nullptr);
    }

    FakeWorkspace workspace;
};

TEST_F(AppIconProviderTest, givesTheApplicationsOwnIcon)
{
    const QIcon icon = AppIconProvider::icon(QString("org.example.Editor"));
    EXPECT_EQ(icon.pixmap(8).toImage().pixelColor(4, 4), QColor(Qt::green));
}

TEST_F(AppIconProviderTest, everyOtherCaseGivesTheGenericIcon)
{
    const std::optional<QString> cases[] = {std::nullopt, QString(), QString("  "),
                                            QString("org.example.Missing"), QString("org.example.Blank")};
    for (const std::optional<QString>& id : cases) {
        const QIcon icon = AppIconProvider::icon(id);
        EXPECT_FALSE(icon.isNull()) << id.value_or("(none)").toStdString();
        EXPECT_FALSE(icon.pixmap(16).isNull()) << id.value_or("(none)").toStdString();
    }
    EXPECT_EQ(AppIconProvider::icon(std::nullopt).cacheKey(), AppIconProvider::icon(QString()).cacheKey());
    EXPECT_EQ(workspace.iconRequests, 2) << "no identifier never reaches the workspace";
}

TEST_F(AppIconProviderTest, cachesPerIdentifierUntilCleared)
{
    const qint64 first = AppIconProvider::icon(QString("org.example.Editor")).cacheKey();
    AppIconProvider::icon(QString("org.example.Missing"));
    AppIconProvider::icon(QString("org.example.Editor"));
    AppIconProvider::icon(QString("org.example.Missing"));
    EXPECT_EQ(workspace.iconRequests, 2);
    EXPECT_EQ(AppIconProvider::icon(QString("org.example.Editor")).cacheKey(), first);

    AppIconProvider::clearCache();
    workspace.installed["org.example.Editor"].icon = solidIcon(Qt::magenta);
    const QIcon fresh = AppIconProvider::icon(QString("org.example.Editor"));
    EXPECT_EQ(workspace.iconRequests, 3);
    EXPECT_EQ(fresh.pixmap(8).toImage().pixelColor(4, 4), QColor(Qt::magenta));
}

} // namespace
