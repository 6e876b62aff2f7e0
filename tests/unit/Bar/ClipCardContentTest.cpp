#include "UI/Bar/ClipCardContent.h"
#include "Util/Localization.h"

#include <QUrl>
#include <gtest/gtest.h>

namespace {

class ClipCardContentTest : public testing::Test {
protected:
    void SetUp() override { Localization::shared().setLanguage(AppLanguage::english); }
    void TearDown() override { Localization::shared().setLanguage(AppLanguage::english); }
};

ClipItem clipOf(ClipType type)
{
    ClipItem clip;
    clip.type = type;
    return clip;
}

TEST_F(ClipCardContentTest, PreviewsOnlyTheHeadOfAHugeText)
{
    ClipItem clip = clipOf(ClipType::text);
    QString text;
    for (int line = 0; text.size() < 10 * 1024 * 1024; ++line)
        text += QStringLiteral("line %1 of a very long log\n").arg(line);
    clip.text = text;
    const ClipCardContent content = ClipCardContent::of(clip);
    EXPECT_LE(content.preview.size(), ClipCardContent::maxPreviewCharacters);
    EXPECT_EQ(content.preview.count(u'\n') + 1, ClipCardContent::maxPreviewLines);
    EXPECT_TRUE(content.preview.startsWith(QStringLiteral("line 0 of a very long log\nline 1")));
    EXPECT_EQ(content.title, QStringLiteral("Text"));
}

TEST_F(ClipCardContentTest, CutsASingleHugeLineToTheCharacterLimit)
{
    ClipItem clip = clipOf(ClipType::text);
    clip.text = QString(10 * 1024 * 1024, u'y');
    EXPECT_EQ(ClipCardContent::of(clip).preview.size(), ClipCardContent::maxPreviewCharacters);
}

// Blank lines before the first words would fill the card with nothing.
TEST_F(ClipCardContentTest, PreviewStartsAtTheFirstLineThatIsNotBlank)
{
    const struct {
        ClipType type;
        QString text;
        QString preview;
    } cases[] = {
        {ClipType::text, QString(17, u'\n') + QStringLiteral("Important text"),
         QStringLiteral("Important text")},
        {ClipType::text, QStringLiteral(" \t\n  \n  indented\nnext"), QStringLiteral("  indented\nnext")},
        {ClipType::text, QStringLiteral("\n\n    func run() {}\n"), QStringLiteral("    func run() {}")},
        {ClipType::text, QStringLiteral("\n \n"), QString()},
    };
    for (const auto& c : cases) {
        ClipItem clip = clipOf(c.type);
        clip.text = c.text;
        EXPECT_EQ(ClipCardContent::of(clip).preview, c.preview) << c.text.toStdString();
    }
}

TEST_F(ClipCardContentTest, DescribesEachKind)
{
    ClipItem link = clipOf(ClipType::link);
    link.text = QStringLiteral("  https://docs.example.org/guide?page=2  ");
    ClipItem files = clipOf(ClipType::file);
    files.fileURLs = {QUrl::fromLocalFile(QStringLiteral("/tmp/a/report.pdf")),
                      QUrl::fromLocalFile(QStringLiteral("/tmp/b/photo 1.png"))};
    ClipItem oneFile = clipOf(ClipType::file);
    oneFile.fileURLs = {QUrl::fromLocalFile(QStringLiteral("/srv/notes.txt"))};
    ClipItem color = clipOf(ClipType::color);
    color.colorHex = QStringLiteral("#ff5a9f");
    ClipItem badColor = clipOf(ClipType::color);
    badColor.colorHex = QStringLiteral("not a colour");
    ClipItem rich = clipOf(ClipType::richText);
    rich.htmlData = QByteArrayLiteral("<p><b>Bold</b> words</p>");
    ClipItem image = clipOf(ClipType::image);
    image.ocrText = QStringLiteral("recognised");
    ClipItem titled = clipOf(ClipType::text);
    titled.text = QStringLiteral("body");
    titled.customTitle = QStringLiteral("  My snippet ");

    const ClipCardContent linkContent = ClipCardContent::of(link);
    EXPECT_EQ(linkContent.title, QStringLiteral("Link"));
    EXPECT_EQ(linkContent.linkHost, QStringLiteral("docs.example.org"));
    EXPECT_EQ(linkContent.preview, QStringLiteral("https://docs.example.org/guide?page=2"));
    EXPECT_EQ(linkContent.length, 37) << "the address's characters, as a text counts its own";

    const ClipCardContent filesContent = ClipCardContent::of(files);
    EXPECT_EQ(filesContent.title, QStringLiteral("2 Files"));
    EXPECT_EQ(filesContent.fileNames,
              (QStringList{QStringLiteral("report.pdf"), QStringLiteral("photo 1.png")}));
    EXPECT_EQ(ClipCardContent::of(oneFile).title, QStringLiteral("File"));

    const ClipCardContent colorContent = ClipCardContent::of(color);
    EXPECT_EQ(colorContent.title, QStringLiteral("Color"));
    ASSERT_TRUE(colorContent.color.has_value());
    EXPECT_EQ(*colorContent.color, QColor(0xFF, 0x5A, 0x9F));
    EXPECT_EQ(colorContent.preview, QStringLiteral("#FF5A9F"));
    EXPECT_FALSE(ClipCardContent::of(badColor).color.has_value());

    const ClipCardContent richContent = ClipCardContent::of(rich);
    EXPECT_EQ(richContent.title, QStringLiteral("Rich Text"));
    EXPECT_EQ(richContent.preview, QStringLiteral("Bold words"));

    EXPECT_EQ(ClipCardContent::of(image).title, QStringLiteral("Image"));
    EXPECT_TRUE(ClipCardContent::of(image).preview.isEmpty());
    EXPECT_EQ(ClipCardContent::of(titled).title, QStringLiteral("My snippet"));
}

TEST_F(ClipCardContentTest, ListsAtMostAFewFileNames)
{
    ClipItem files = clipOf(ClipType::file);
    for (int i = 0; i < 50; ++i)
        files.fileURLs.append(QUrl::fromLocalFile(QStringLiteral("/tmp/file%1.txt").arg(i)));
    const ClipCardContent content = ClipCardContent::of(files);
    EXPECT_EQ(content.fileNames.size(), ClipCardContent::maxFileNames);
    EXPECT_EQ(content.title, QStringLiteral("50 Files"));
}

TEST_F(ClipCardContentTest, KindTitlesFollowTheLanguage)
{
    Localization::shared().setLanguage(AppLanguage::chinese);
    EXPECT_EQ(ClipCardContent::kindTitle(clipOf(ClipType::link)), QStringLiteral("链接"));
    Localization::shared().setLanguage(AppLanguage::traditionalChinese);
    EXPECT_EQ(ClipCardContent::kindTitle(clipOf(ClipType::file)), QStringLiteral("檔案"));
    Localization::shared().setLanguage(AppLanguage::japanese);
    EXPECT_EQ(ClipCardContent::kindTitle(clipOf(ClipType::color)), QStringLiteral("カラー"));
}

} // namespace
