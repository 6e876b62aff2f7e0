#include "UI/Bar/ClipCardText.h"
#include "UI/Bar/ClipCardContent.h"
#include "UI/Bar/ClipCardView.h"
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

// Snippets that are not taken for code keep the indentation that gives them their meaning.
TEST(ClipCardText, EveryTextKeepsTheIndentationOfItsLines)
{
    Layout layout;
    layout.box = QSizeF(400, QFontMetricsF(layout.font).lineSpacing() * 8);
    const struct {
        const char* name;
        QString text;
        QStringList lines;
    } cases[] = {
        {"Python",
         QStringLiteral("def area(side):\n    if side < 0:\n        return 0\n    return side * side\n"),
         {"def area(side):", "    if side < 0:", "        return 0", "    return side * side"}},
        {"shell",
         QStringLiteral("for f in *.txt; do\n\techo \"$f\"\ndone"),
         {"for f in *.txt; do", "    echo \"$f\"", "done"}},
        {"YAML",
         QStringLiteral("server:\n  port: 8080\n  hosts:\n    - a.example\n"),
         {"server:", "  port: 8080", "  hosts:", "    - a.example"}},
    };
    for (const auto& c : cases) {
        ClipItem clip;
        clip.type = ClipType::text;
        clip.text = c.text;
        const ClipCardContent content = ClipCardContent::of(clip);
        ASSERT_FALSE(content.isCode) << c.name;
        EXPECT_EQ(layout.of(content.preview).lines, c.lines) << c.name;
    }

    // A wrapped indented line keeps its indentation on every line it takes.
    const ClipCardText wrappedText =
        Layout().of(QStringLiteral("    alpha beta gamma delta epsilon zeta eta theta iota kappa"));
    ASSERT_GT(wrappedText.lines.size(), 1);
    for (const QString& line : wrappedText.lines)
        EXPECT_TRUE(line.startsWith(QStringLiteral("    ")) && !line.at(4).isSpace()) << line.toStdString();
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

// A card that leaves some of its text out says how long the clip is, a link's as a text's.
TEST(ClipCardView, TextAndLinkCardsShowTheirLengthWhereTextIsLeftOut)
{
    const QSizeF body = ClipCardView::bodySize(QSizeF(240, 260));
    const struct {
        const char* name;
        ClipType type;
        QString text;
        bool showsLength;
    } cases[] = {
        {"short text", ClipType::text, QStringLiteral("hello"), false},
        {"long text", ClipType::text, QStringLiteral("words that go on and on ").repeated(40), true},
        {"short link", ClipType::link, QStringLiteral("https://a.example/"), false},
        {"long link", ClipType::link,
         QStringLiteral("https://example.test/a/long/path/that/never/ends/report-2024.pdf?download=1"), true},
    };
    for (const auto& c : cases) {
        ClipItem clip;
        clip.type = c.type;
        clip.text = c.text;
        ClipCardView card;
        card.type = c.type;
        card.content = ClipCardContent::of(clip);
        EXPECT_EQ(card.showsLength(body), c.showsLength) << c.name;
    }
}

// The source's name gives way to the time: however narrow the line, the time shows whole.
TEST(ClipCardView, TheCaptionElidesTheSourceNameBeforeTheTime)
{
    const QFontMetricsF metrics(VelloraTypography::caption());
    const struct {
        const char* name;
        QString source;
        QString time;
    } cases[] = {
        {"English", QStringLiteral("A Text Editor With A Long Name"), QStringLiteral("5 min ago")},
        {"Japanese", QStringLiteral("テキストエディター"), QStringLiteral("たった今")},
    };
    for (const auto& c : cases) {
        ClipCardView card;
        card.quickPasteNumber = 1;
        card.sourceName = c.source;
        card.timeText = c.time;
        const QString whole = card.captionText();
        ClipCardView nameless = card;
        nameless.sourceName.clear();
        const qreal withoutName = metrics.horizontalAdvance(nameless.captionText());
        // From room for everything down to room for the number and the time only.
        for (qreal width = metrics.horizontalAdvance(whole); width >= withoutName; width -= 1) {
            const QString shown = card.fittedCaption(metrics, width);
            EXPECT_TRUE(shown.endsWith(c.time)) << c.name << " at " << width << ": " << shown.toStdString();
            EXPECT_LE(metrics.horizontalAdvance(shown), width) << c.name;
        }
    }
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
