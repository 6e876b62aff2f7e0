#include "fakes/FakeBundle.h"

#include "Platform/Bundle.h"
#include "UI/Settings/ThirdPartyLicensesView.h"
#include "Util/Localization.h"
#include "support/WidgetLookup.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString missingEnglish = QStringLiteral("The license document is missing from this copy of Vellora.");

class ThirdPartyLicensesViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousLanguage_ = Localization::shared().language();
        Localization::shared().setLanguage(AppLanguage::english);
        parent.resize(800, 600);
        parent.show();
    }

    void TearDown() override
    {
        view.reset();
        Platform::setMainBundleForTesting(nullptr);
        Localization::shared().setLanguage(previousLanguage_);
    }

    // A bundle with the real strings tables and, when given, these bytes as the notices.
    void useBundle(const std::optional<QByteArray>& notices)
    {
        ASSERT_TRUE(folder.isValid());
        const QDir root(folder.path());
        for (const char* language : {"en", "zh-Hans", "zh-Hant", "ja"}) {
            const QString table = QStringLiteral("%1.lproj/Localizable.strings").arg(QLatin1String(language));
            root.mkpath(QFileInfo(root.filePath(table)).path());
            QFile::remove(root.filePath(table));
            ASSERT_TRUE(
                QFile::copy(QStringLiteral(":/Vellora_Vellora.bundle/") + table, root.filePath(table)));
        }
        if (notices)
            writeNotices(*notices);
        bundle.root = folder.path();
        Platform::setMainBundleForTesting(&bundle);
    }

    void writeNotices(const QByteArray& bytes)
    {
        QFile file(QDir(folder.path()).filePath(QStringLiteral("ThirdPartyNotices.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    void present()
    {
        if (!view)
            view = std::make_unique<ThirdPartyLicensesView>([this] { ++closes; }, &parent);
        view->open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    QTextEdit* textEdit() const { return view->findChild<QTextEdit*>(); }

    QWidget parent;
    QTemporaryDir folder;
    FakeBundle bundle;
    std::unique_ptr<ThirdPartyLicensesView> view;
    int closes = 0;

private:
    AppLanguage previousLanguage_ = AppLanguage::system;
};

TEST_F(ThirdPartyLicensesViewTest, ShowsTheShippedNoticesAsSelectablePlainText)
{
    QFile source(QStringLiteral(VELLORA_SOURCE_DIR "/resources/ThirdPartyNotices.txt"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString shipped = QString::fromUtf8(source.readAll());
    ASSERT_FALSE(shipped.isEmpty());

    present();
    EXPECT_EQ(ThirdPartyLicensesView::license(), shipped);
    EXPECT_EQ(view->shownText(), shipped);
    EXPECT_EQ(view->windowModality(), Qt::WindowModal);
    EXPECT_EQ(view->size(), QSize(620, 480));
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Third-Party Licenses"));
    EXPECT_TRUE(labelTexts(*view).contains(QStringLiteral("Third-Party Licenses")));
    EXPECT_TRUE(button(*view, QStringLiteral("Close")));

    QTextEdit* text = textEdit();
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_TRUE(
        text->textInteractionFlags().testFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard));
    QTest::keyClicks(text, QStringLiteral("typed"));
    EXPECT_EQ(view->shownText(), shipped);
    EXPECT_EQ(text->font().pixelSize(), 12);
    EXPECT_EQ(text->font().styleHint(), QFont::Monospace);
    for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next()) {
        EXPECT_EQ(block.blockFormat().lineHeightType(), int(QTextBlockFormat::LineDistanceHeight));
        EXPECT_EQ(block.blockFormat().lineHeight(), 4.0);
    }
}

TEST_F(ThirdPartyLicensesViewTest, ShowsTextAsStoredNeverAsMarkup)
{
    const QByteArray notices(
        "<b>bold</b> &amp; <a href=\"https://example.com\">link</a>\n\tGr\xc3\xbc\xc3\x9f"
        "e \xe2\x80\x94 \xe7\x89\x88\xe6\x9d\x83 \xc2\xa9\n\nend");
    useBundle(notices);
    present();
    EXPECT_EQ(view->shownText(), QString::fromUtf8(notices));
}

TEST_F(ThirdPartyLicensesViewTest, ShowsTheMissingDocumentMessageInTheChosenLanguage)
{
    const std::vector<std::pair<const char*, std::optional<QByteArray>>> resources{
        {"no resource", std::nullopt},
        {"not UTF-8", QByteArray("caf\xe9 notices")},
        {"truncated UTF-8 sequence", QByteArray("notices \xe7\x89")},
    };
    const std::vector<std::pair<AppLanguage, QString>> messages{
        {AppLanguage::english, missingEnglish},
        {AppLanguage::chinese, QStringLiteral("此 Vellora 副本中缺少许可文档。")},
        {AppLanguage::traditionalChinese, QStringLiteral("此 Vellora 副本中缺少授權文件。")},
        {AppLanguage::japanese, QStringLiteral("この Vellora にはライセンス文書が含まれていません。")},
    };
    for (const auto& [name, notices] : resources) {
        for (const auto& [language, expected] : messages) {
            SCOPED_TRACE(std::string(name) + " in " + AppLanguages::rawValue(language).toStdString());
            QFile::remove(QDir(folder.path()).filePath(QStringLiteral("ThirdPartyNotices.txt")));
            useBundle(notices);
            Localization::shared().setLanguage(language);
            view.reset();
            present();
            EXPECT_EQ(view->shownText(), expected);
        }
    }
}

TEST_F(ThirdPartyLicensesViewTest, AFolderInPlaceOfTheNoticesIsMissingAndAnEmptyFileIsEmpty)
{
    useBundle(std::nullopt);
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("ThirdPartyNotices.txt")));
    EXPECT_EQ(ThirdPartyLicensesView::license(), missingEnglish);

    QDir(folder.path()).rmdir(QStringLiteral("ThirdPartyNotices.txt"));
    writeNotices({});
    present();
    EXPECT_EQ(view->shownText(), QString());
}

struct DismissRow {
    const char* name;
    std::function<void(ThirdPartyLicensesView&)> dismiss;
};

const std::vector<DismissRow> dismissRows{
    {"Escape on the sheet", [](ThirdPartyLicensesView& v) { QTest::keyClick(&v, Qt::Key_Escape); }},
    {"Escape in the text",
     [](ThirdPartyLicensesView& v) {
         QTest::keyClick(v.findChild<QTextEdit*>()->viewport(), Qt::Key_Escape);
     }},
    {"Escape in the focused text",
     [](ThirdPartyLicensesView& v) {
         QTextEdit* text = v.findChild<QTextEdit*>();
         text->setFocus();
         QTest::keyClick(text, Qt::Key_Escape);
     }},
    {"Close button",
     [](ThirdPartyLicensesView& v) {
         QTest::mouseClick(button(v, QStringLiteral("Close")), Qt::LeftButton);
     }},
    {"window closed", [](ThirdPartyLicensesView& v) { v.close(); }},
};

TEST_F(ThirdPartyLicensesViewTest, EachWayOfDismissingCallsOnCloseOncePerPresentation)
{
    for (const DismissRow& row : dismissRows) {
        SCOPED_TRACE(row.name);
        view.reset();
        closes = 0;
        present();
        row.dismiss(*view);
        EXPECT_EQ(closes, 1);
        EXPECT_FALSE(view->isVisible());

        // Once dismissed, a second Escape or cancel does not call it again...
        QTest::keyClick(view.get(), Qt::Key_Escape);
        view->reject();
        EXPECT_EQ(closes, 1);

        // ...but a new presentation can be dismissed again.
        present();
        row.dismiss(*view);
        EXPECT_EQ(closes, 2);
    }
}

TEST_F(ThirdPartyLicensesViewTest, ReturnDoesNotDismissTheSheet)
{
    present();
    QTest::keyClick(textEdit(), Qt::Key_Return);
    QTest::keyClick(view.get(), Qt::Key_Enter);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(closes, 0);
}

TEST_F(ThirdPartyLicensesViewTest, ReadsTheNoticesAgainForEachPresentation)
{
    useBundle(QByteArray("first notices"));
    present();
    EXPECT_EQ(view->shownText(), QStringLiteral("first notices"));
    view->reject();

    writeNotices("second notices");
    present();
    EXPECT_EQ(view->shownText(), QStringLiteral("second notices"));
    view->reject();

    QFile::remove(QDir(folder.path()).filePath(QStringLiteral("ThirdPartyNotices.txt")));
    present();
    EXPECT_EQ(view->shownText(), missingEnglish);
}

TEST_F(ThirdPartyLicensesViewTest, FollowsAChangeOfLanguageWhileShown)
{
    useBundle(std::nullopt);
    present();
    EXPECT_EQ(view->shownText(), missingEnglish);
    Localization::shared().setLanguage(AppLanguage::traditionalChinese);
    EXPECT_EQ(view->shownText(), QStringLiteral("此 Vellora 副本中缺少授權文件。"));
    EXPECT_EQ(view->windowTitle(), QStringLiteral("第三方授權"));
    EXPECT_TRUE(labelTexts(*view).contains(QStringLiteral("第三方授權")));
    EXPECT_TRUE(button(*view, QStringLiteral("關閉")));
}

TEST_F(ThirdPartyLicensesViewTest, ALongTextScrollsInsideTheFixedSheetAndCanBeCopied)
{
    QByteArray notices;
    for (int line = 1; line <= 2000; ++line)
        notices += "Line " + QByteArray::number(line) + " of the notices, long enough to need some room.\n";
    notices += "last line";
    useBundle(notices);
    present();
    EXPECT_EQ(view->size(), QSize(620, 480));
    QTextEdit* text = textEdit();
    EXPECT_GT(text->verticalScrollBar()->maximum(), 0);

    QGuiApplication::clipboard()->clear();
    text->setFocus();
    QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8(notices));
}

} // namespace
