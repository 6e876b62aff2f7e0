#include "Util/FormatConverter.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace FormatConverter;

namespace {

struct RtfCase {
    const char* name;
    QByteArray rtf;
    QString text;
};

const QList<RtfCase>& rtfCases()
{
    static const QList<RtfCase> cases{
        {"paragraphs", R"({\rtf1\ansi\deff0{\fonttbl{\f0 Helvetica;}}\f0 Hello\par World\par})",
         "Hello\nWorld"},
        {"colour table and style sheet skipped",
         R"({\rtf1{\colortbl;\red255\green0\blue0;}{\stylesheet{\s0 Normal;}}\cf1 Red text})", "Red text"},
        {"ignorable destinations skipped", R"({\rtf1{\*\generator Writer;}{\*\unknown secret}Kept})", "Kept"},
        {"code page 1252", R"({\rtf1\ansi\ansicpg1252 Caf\'e9 \'93quoted\'94})",
         QStringLiteral("Café “quoted”")},
        {"unicode with fallback", R"({\rtf1\uc1 \u26085?\u26412?})", QStringLiteral("日本")},
        {"unicode with two-byte fallback", R"({\rtf1\uc2 \u-10179\'3f\'3f\u-8695\'3f\'3fx})",
         QString::fromUtf8("\xF0\x9F\x98\x89x")},
        {"negative unicode", R"({\rtf1 \u-4064?})", QString(QChar(0xF020))},
        {"shift-jis code page", "{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}", QStringLiteral("あ")},
        {"escaped braces and backslash", R"({\rtf1 a\{b\}c\\d})", "a{b}c\\d"},
        {"tabs, lines and cells", R"({\rtf1 a\tab b\line c\cell d\row})", "a\tb\nc\td"},
        {"typographic words", R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})",
         QStringLiteral("—–•‘’“”")},
        {"non-breaking space and hyphen", R"({\rtf1 a\~b\_c\-d})", QStringLiteral("a\u00A0b-cd")},
        {"source line breaks ignored", "{\\rtf1 one\r\ntwo}", "onetwo"},
        {"picture skipped", R"({\rtf1 before{\pict\pngblip 89504e47}after})", "beforeafter"},
        {"field result kept, instruction skipped",
         R"({\rtf1 {\field{\*\fldinst HYPERLINK "https://x.test"}{\fldrslt link}}})", "link"},
        {"binary data skipped", QByteArray("{\\rtf1 a\\bin3 {}\\b}"), "ab"},
        {"unbalanced closing braces", R"(}}{\rtf1 text}}})", "text"},
        {"unterminated group", R"({\rtf1 {\b bold)", "bold"},
        {"trailing backslash", "{\\rtf1 end\\", "end"},
        {"not rtf at all", "plain words", "plain words"},
        {"empty", "", ""},
    };
    return cases;
}

} // namespace

TEST(FormatConverter, PlainTextFromRtf)
{
    for (const RtfCase& c : rtfCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(plainTextFromRtf(c.rtf), c.text);
    }
}

TEST(FormatConverter, PlainTextFromRtfSurvivesDeepNestingAndNoise)
{
    const QByteArray deep = QByteArray(100000, '{') + "x" + QByteArray(100000, '}');
    EXPECT_EQ(plainTextFromRtf(deep), "x");
    QByteArray noise;
    for (int i = 0; i < 5000; ++i)
        noise += QByteArray::number(i * 7919 % 251, 16) + "\\'{\\u}\\bin-5\\" + char(i % 256);
    EXPECT_NO_THROW(plainTextFromRtf(noise));
}

TEST(FormatConverter, PlainTextFromHtml)
{
    EXPECT_EQ(plainTextFromHtml("<p>One <b>bold</b> word</p><p>Two&nbsp;&amp; more</p>"),
              "One bold word\nTwo & more");
    EXPECT_EQ(plainTextFromHtml("<ul><li>a</li><li>b</li></ul>"), "a\nb");
    EXPECT_EQ(plainTextFromHtml("<script>alert(1)</script><style>p{}</style>Text"), "Text");
}

TEST(FormatConverter, DecodesHtmlInUtf16WithByteOrderMark)
{
    const QString html = QStringLiteral("<b>Grüße</b>");
    QByteArray utf16("\xFF\xFE", 2);
    utf16.append(reinterpret_cast<const char*>(html.utf16()), html.size() * 2);
    EXPECT_EQ(decodeHtml(utf16), html);
    EXPECT_EQ(plainTextFromHtml(utf16), QStringLiteral("Grüße"));
    EXPECT_EQ(decodeHtml(html.toUtf8()), html);
}

TEST(FormatConverter, CleanedHtmlKeepsStructureAndEmphasisOnly)
{
    const QByteArray html =
        R"(<html><head><style>p { color: red }</style></head><body>
        <h2 style="font-family: Comic Sans MS">Title</h2>
        <p class="x" style="color:#ff0000; font-size:30px"><span style="font-family:Arial">Plain</span>
        <b>bold</b> <i>italic</i> <u>under</u> <s>gone</s> <code>code()</code>
        <a href="https://example.test/?a=1&amp;b=2" style="color:green">link</a></p>
        <ul><li>one</li><li>two</li></ul><ol><li>first</li></ol>
        <p><font color="blue" size="7">big blue</font><br>next line</p>
        <img src="file:///tmp/x.png"><script>evil()</script></body></html>)";
    const QString cleaned = QString::fromUtf8(cleanedHtml(html));
    for (const char* expected :
         {"<h2>Title</h2>", "<b>bold</b>", "<i>italic</i>", "<u>under</u>", "<s>gone</s>",
          "<code>code()</code>", "<a href=\"https://example.test/?a=1&amp;b=2\">link</a>",
          "<ul><li>one</li><li>two</li></ul>", "<ol><li>first</li></ol>", "big blue<br>next line",
          "<meta charset=\"utf-8\">", "<p>Plain <b>bold</b>"})
        EXPECT_TRUE(cleaned.contains(QLatin1String(expected))) << expected << "\n" << cleaned.toStdString();
    for (const char* dropped :
         {"style", "color", "font", "class", "Arial", "Comic", "img", "script", "evil", "x.png"})
        EXPECT_FALSE(cleaned.contains(QLatin1String(dropped), Qt::CaseInsensitive)) << dropped;
}

TEST(FormatConverter, CleanedHtmlKeepsPreformattedLinesTogether)
{
    const QString cleaned = QString::fromUtf8(cleanedHtml("<pre>int x;\n  return x;</pre><p>after</p>"));
    EXPECT_TRUE(cleaned.contains(QLatin1String("<pre>int x;\n  return x;</pre><p>after</p>")))
        << cleaned.toStdString();
}

TEST(FormatConverter, CleanedHtmlEscapesText)
{
    const QString cleaned =
        QString::fromUtf8(cleanedHtml("<p>&lt;script&gt;x&lt;/script&gt; &amp; \"q\"</p>"));
    EXPECT_TRUE(cleaned.contains(QLatin1String("&lt;script&gt;x&lt;/script&gt; &amp; &quot;q&quot;")))
        << cleaned.toStdString();
}

TEST(FormatConverter, HtmlFromPlainTextEscapesAndKeepsLines)
{
    const QString html = QString::fromUtf8(htmlFromPlainText("a < b & c\nnext"));
    EXPECT_TRUE(html.contains(QLatin1String("<p>a &lt; b &amp; c<br>\nnext</p>"))) << html.toStdString();
    EXPECT_EQ(plainTextFromHtml(htmlFromPlainText("line 1\nline 2")), "line 1\nline 2");
}

TEST(FormatConverter, MarkdownFromHtml)
{
    struct Case {
        QByteArray html;
        QString markdown;
    };
    const Case cases[] = {
        {"<p>Some <b>bold</b> and <i>italic</i> text</p>", "Some **bold** and *italic* text"},
        {"<h1>Title</h1><p>Body</p>", "# Title\n\nBody"},
        {"<p><a href=\"https://example.test/\">site</a></p>", "[site](https://example.test/)"},
        {"<ul><li>one</li><li>two</li></ul>", "- one\n- two"},
        {"<ol><li>one</li><li>two</li></ol>", "1.  one\n2.  two"},
        {"<p><s>old</s></p>", "~~old~~"},
        {"<p><span style=\"color:red;font-size:40px\">plain</span></p>", "plain"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(markdownFromHtml(c.html), c.markdown) << c.html.constData();
}
