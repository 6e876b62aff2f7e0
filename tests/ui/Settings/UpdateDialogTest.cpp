#include "UI/StandardUpdateUserDriver.h"
#include "Util/Localization.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using Choice = Platform::UpdateUserDriver::Choice;

struct AnswerRow {
    const char* name;
    bool offered;       // an update is offered, else a check runs
    const char* button; // object name, or null to close the window
    std::optional<Choice> reply;
    bool cancelled;
};

class UpdateDialogAnswerTest : public ::testing::TestWithParam<AnswerRow> {};

// Each button, and closing the window, gives the updater exactly one answer.
TEST_P(UpdateDialogAnswerTest, PassesTheUsersAnswerOnce)
{
    const AnswerRow& row = GetParam();
    StandardUpdateUserDriver driver;
    QList<Choice> replies;
    int cancels = 0;
    if (row.offered) {
        Platform::AppcastItem item;
        item.shortVersion = QStringLiteral("2.0");
        driver.showUpdateFound(item, QStringLiteral("1.5"), [&](Choice c) { replies << c; });
    } else {
        driver.showCheckingForUpdates([&] { ++cancels; });
    }
    UpdateDialog* dialog = driver.dialog();
    ASSERT_TRUE(dialog->isVisible());
    for (int i = 0; i < 2; ++i) {
        if (row.button)
            dialog->findChild<QPushButton*>(QString::fromLatin1(row.button))->click();
        else
            dialog->reject();
    }
    EXPECT_EQ(replies, row.reply ? QList<Choice>{*row.reply} : QList<Choice>{});
    EXPECT_EQ(cancels, row.cancelled ? 1 : 0);
    EXPECT_EQ(dialog->isVisible(), row.reply == Choice::install) << "only installing goes on in the window";
}

INSTANTIATE_TEST_SUITE_P(
    Answers, UpdateDialogAnswerTest,
    ::testing::Values(AnswerRow{"install", true, "updatePrimary", Choice::install, false},
                      AnswerRow{"later", true, "updateLater", Choice::later, false},
                      AnswerRow{"skip", true, "updateSkip", Choice::skip, false},
                      AnswerRow{"closing an offer", true, nullptr, Choice::later, false},
                      AnswerRow{"cancelling a check", false, "updatePrimary", std::nullopt, true},
                      AnswerRow{"closing a check", false, nullptr, std::nullopt, true}),
    [](const auto& info) { return QString::fromLatin1(info.param.name).replace(u' ', u'_').toStdString(); });

TEST(UpdateDialogTest, NamesBothVersionsInTheLanguageInUse)
{
    const AppLanguage previous = Localization::shared().language();
    Localization::shared().setLanguage(AppLanguage::japanese);
    StandardUpdateUserDriver driver;
    Platform::AppcastItem item;
    item.shortVersion = QStringLiteral("2.0");
    driver.showUpdateFound(item, QStringLiteral("1.5"), [](Choice) {});
    EXPECT_EQ(
        driver.dialog()->findChild<QLabel*>(QStringLiteral("updateMessage"))->text(),
        QStringLiteral("Vellora 2.0 が利用可能です（現在のバージョンは 1.5）。今すぐインストールしますか？"));
    Localization::shared().setLanguage(AppLanguage::english);
    EXPECT_EQ(driver.dialog()->findChild<QLabel*>(QStringLiteral("updateMessage"))->text(),
              QStringLiteral("Vellora 2.0 is now available—you have 1.5. Would you like to install it now?"));
    Localization::shared().setLanguage(previous);
}

// A downloaded AppImage is opened as it is; any other file is installed as this copy was.
TEST(UpdateDialogTest, SaysWhatToDoWithTheDownloadedFile)
{
    const struct {
        const char* path;
        const char* message;
    } cases[] = {
        {"/d/Vellora-2.0.AppImage",
         "Vellora 2.0 is in /d/Vellora-2.0.AppImage, ready to run. Quit Vellora and open "
         "that AppImage; then remove the copy you installed before if you no longer need "
         "it."},
        {"/d/vellora-2.0.tar.gz",
         "Vellora 2.0 is in /d/vellora-2.0.tar.gz. Quit Vellora and install it the way you "
         "installed this copy, for example with your package manager."},
    };
    for (const auto& c : cases) {
        StandardUpdateUserDriver driver;
        Platform::AppcastItem item;
        item.shortVersion = QStringLiteral("2.0");
        driver.showDownloadedUpdate(item, QString::fromLatin1(c.path));
        EXPECT_EQ(driver.dialog()->findChild<QLabel*>(QStringLiteral("updateMessage"))->text(),
                  QString::fromLatin1(c.message));
    }
}

} // namespace
