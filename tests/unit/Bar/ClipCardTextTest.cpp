#include "UI/Bar/ClipCardText.h"
#include "UI/Bar/ClipCardContent.h"
#include "UI/Bar/ClipRichTextPreview.h"
#include "UI/VelloraTypography.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextList>
#include <gtest/gtest.h>

namespace {

const QChar ellipsis(0x2026);
constexpr int visibleLines = 4;

struct Layout {
    QFont font = VelloraTypography::body();
    QSizeF box{180, QFontMetricsF(font).lineSpacing() * visibleLines};

    ClipCardText of(const QString& text, bool isCode = false, bool more = false) const
    {
        return ClipCardText::layout(text, font, box, isCode, more);
    }
    qreal width(const QString& line) const { return QFontMetricsF(font).horizontalAdvance(line); }
};

TEST(ClipCardText, ElidesWhatDoesNotFitAndSaysSo)
{
    const Layout layout;
    const QString address =
        QStringLiteral("https://example.test/a/long/path/that/never/ends/report-2024.pdf");
    const QString prose = QStringLiteral("many short words that wrap onto the next line ").repeated(8);
    struct Case {
        const char* name;
        QString text;
        bool more;
        QString firstStartsWith, lastEndsWith;
        bool leftOut;
    };
    const Case cases[] = {
        {"fits", QStringLiteral("hello world"), false, QStringLiteral("hello world"), QStringLiteral("world"),
         false},
        {"long word", QString(300, u'w'), false, QStringLiteral("www"), QString(ellipsis), true},
        {"address keeps its head and tail", address, false, QStringLiteral("https://"),
         QStringLiteral("2024.pdf"), true},
        {"too many lines", prose, false, QStringLiteral("many short"), QString(ellipsis), true},
        {"head of a longer text", QStringLiteral("short head"), true, QStringLiteral("short"),
         QString(ellipsis), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ClipCardText text = layout.of(c.text, false, c.more);
        ASSERT_FALSE(text.lines.isEmpty());
        EXPECT_LE(text.lines.size(), visibleLines);
        EXPECT_TRUE(text.lines.first().startsWith(c.firstStartsWith)) << text.lines.first().toStdString();
        EXPECT_TRUE(text.lines.last().endsWith(c.lastEndsWith)) << text.lines.last().toStdString();
        EXPECT_EQ(text.leftOut, c.leftOut);
        for (const QString& line : text.lines)
            EXPECT_LE(layout.width(line), layout.box.width()) << line.toStdString();
    }
}

TEST(ClipCardText, ProseBreaksOnlyBetweenWords)
{
    const Layout layout;
    const QString prose = QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota kappa lambda");
    const QStringList words = prose.split(u' ');
    for (const QString& line : layout.of(prose).lines) {
        for (const QString& word : line.split(u' ', Qt::SkipEmptyParts))
            EXPECT_TRUE(words.contains(word)) << word.toStdString();
    }
}

TEST(ClipCardText, CodeShowsInMonospaceWithItsIndentation)
{
    ClipItem clip;
    clip.type = ClipType::text;
    clip.text = QStringLiteral("func area() -> Int {\n\tlet side = 4\n        return side * side\n}\n");
    const ClipCardContent content = ClipCardContent::of(clip);
    ASSERT_TRUE(content.isCode);
    EXPECT_TRUE(QFontInfo(VelloraTypography::code()).fixedPitch());

    Layout layout;
    layout.font = VelloraTypography::code();
    layout.box.setWidth(400);
    const ClipCardText text = layout.of(content.preview, true);
    EXPECT_EQ(text.lines,
              (QStringList{QStringLiteral("func area() -> Int {"), QStringLiteral("    let side = 4"),
                           QStringLiteral("        return side * side"), QStringLiteral("}")}));
    EXPECT_FALSE(text.leftOut);
}

TEST(ClipRichTextPreview, KeepsEmphasisListsAndLinksButNoImagesColoursOrSizes)
{
    const QByteArray html =
        "<p style=\"color:#ff0000; font-size:40px; font-family:Comic\"><b>Bold</b> <i>italic</i> "
        "<a href=\"https://example.test/\">link</a><img src=\"file:///etc/hostname\">"
        "<img src=\"https://example.test/x.png\"></p><ul><li>one</li><li>two</li></ul>";
    const std::shared_ptr<QTextDocument> document = ClipRichTextPreview::make(html);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->toPlainText(), QStringLiteral("Bold italic link\none\ntwo"));
    QStringList bold, italic, links;
    int listItems = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        listItems += block.textList() ? 1 : 0;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QString text = it.fragment().text();
            if (format.fontWeight() == QFont::Bold)
                bold.append(text);
            if (format.fontItalic())
                italic.append(text);
            if (format.isAnchor())
                links.append(format.anchorHref());
            EXPECT_FALSE(format.hasProperty(QTextFormat::ForegroundBrush)) << text.toStdString();
            EXPECT_FALSE(format.hasProperty(QTextFormat::FontPixelSize)) << text.toStdString();
            EXPECT_FALSE(format.hasProperty(QTextFormat::FontFamilies)) << text.toStdString();
            EXPECT_FALSE(format.isImageFormat());
        }
    }
    EXPECT_EQ(bold, QStringList{QStringLiteral("Bold")});
    EXPECT_EQ(italic, QStringList{QStringLiteral("italic")});
    EXPECT_EQ(links, QStringList{QStringLiteral("https://example.test/")});
    EXPECT_EQ(listItems, 2);
}

} // namespace
