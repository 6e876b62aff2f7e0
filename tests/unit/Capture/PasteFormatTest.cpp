#include "Monitor/PasteFormat.h"

#include <QMimeData>
#include <gtest/gtest.h>

namespace {

const QList<PasteFormat> allFormats{PasteFormat::asCaptured, PasteFormat::plainText,
                                    PasteFormat::cleanedRichText, PasteFormat::markdown};

QStringList typesOf(const PasteboardContents& contents)
{
    QStringList types;
    for (const auto& entry : contents)
        types.append(entry.first);
    return types;
}

QByteArray valueOf(const PasteboardContents& contents, const QString& type)
{
    for (const auto& [entryType, bytes] : contents) {
        if (entryType == type)
            return bytes;
    }
    return {};
}

ClipItem textClip(ClipType type, const QString& text)
{
    ClipItem item;
    item.type = type;
    item.text = text;
    return item;
}

ClipItem richClip()
{
    ClipItem item;
    item.type = ClipType::richText;
    item.text = QStringLiteral("Hello bold world");
    item.htmlData =
        QByteArray(R"(<p style="color:red">Hello <b>bold</b> <a href="https://x.test/">world</a></p>)");
    item.rtfData = QByteArray(R"({\rtf1 Hello {\b bold} world})");
    return item;
}

} // namespace

TEST(PasteFormat, TextAndLinksAreTheirTextInEveryFormat)
{
    for (const ClipType type : {ClipType::text, ClipType::link}) {
        const ClipItem item = textClip(type, QStringLiteral("Grüße https://x.test/"));
        for (const PasteFormat format : allFormats) {
            const PasteboardContents contents = PasteFormats::contents(item, format);
            EXPECT_EQ(typesOf(contents), QStringList{"text/plain"});
            EXPECT_EQ(QString::fromUtf8(valueOf(contents, "text/plain")), *item.text);
        }
    }
}

TEST(PasteFormat, RichTextPerFormat)
{
    const ClipItem item = richClip();

    const PasteboardContents captured = PasteFormats::contents(item, PasteFormat::asCaptured);
    EXPECT_EQ(typesOf(captured), (QStringList{"text/rtf", "text/html", "text/plain"}));
    EXPECT_EQ(valueOf(captured, "text/rtf"), *item.rtfData);
    EXPECT_EQ(valueOf(captured, "text/html"), *item.htmlData);

    const PasteboardContents plain = PasteFormats::contents(item, PasteFormat::plainText);
    EXPECT_EQ(typesOf(plain), QStringList{"text/plain"});
    EXPECT_EQ(valueOf(plain, "text/plain"), "Hello bold world");

    const PasteboardContents cleaned = PasteFormats::contents(item, PasteFormat::cleanedRichText);
    EXPECT_EQ(typesOf(cleaned), (QStringList{"text/html", "text/plain"}));
    const QString cleanedHtml = QString::fromUtf8(valueOf(cleaned, "text/html"));
    EXPECT_TRUE(cleanedHtml.contains(QLatin1String("<b>bold</b>"))) << cleanedHtml.toStdString();
    EXPECT_FALSE(cleanedHtml.contains(QLatin1String("color")));

    const PasteboardContents markdown = PasteFormats::contents(item, PasteFormat::markdown);
    EXPECT_EQ(typesOf(markdown), QStringList{"text/plain"});
    EXPECT_EQ(valueOf(markdown, "text/plain"), "Hello **bold** [world](https://x.test/)");
}

// An image in a copied document leaves no U+FFFC in the text pasted for it, whether the text
// is the source's own (a Qt program writes one per image) or read from its HTML.
TEST(PasteFormat, PlainTextCarriesNoObjectReplacementForImages)
{
    const QString withImage = QStringLiteral("Before\uFFFC after");
    const struct {
        const char* name;
        std::optional<QString> text;
        QByteArray html;
    } cases[] = {
        {"the source's text", withImage, "<p>Before<img src=\"a.png\"> after</p>"},
        {"only HTML", std::nullopt, "<p>Before<img src=\"a.png\"> after</p>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClipItem item;
        item.type = ClipType::richText;
        item.text = c.text;
        item.htmlData = c.html;
        for (const PasteFormat format : {PasteFormat::plainText, PasteFormat::asCaptured})
            EXPECT_EQ(valueOf(PasteFormats::contents(item, format), "text/plain"), "Before after");
    }
}

TEST(PasteFormat, RichTextWithOnlyRtf)
{
    ClipItem item;
    item.type = ClipType::richText;
    item.rtfData = QByteArray(R"({\rtf1 First\par Second <&>})");

    EXPECT_EQ(PasteFormats::plainText(item), "First\nSecond <&>");
    EXPECT_EQ(valueOf(PasteFormats::contents(item, PasteFormat::plainText), "text/plain"),
              "First\nSecond <&>");
    EXPECT_EQ(valueOf(PasteFormats::contents(item, PasteFormat::markdown), "text/plain"),
              "First\nSecond <&>");
    const QString html =
        QString::fromUtf8(valueOf(PasteFormats::contents(item, PasteFormat::cleanedRichText), "text/html"));
    EXPECT_TRUE(html.contains(QLatin1String("<p>First<br>\nSecond &lt;&amp;&gt;</p>"))) << html.toStdString();
}

TEST(PasteFormat, ImagesAreTheirPngInEveryFormat)
{
    ClipItem item;
    item.type = ClipType::image;
    const QByteArray png("\x89PNG fake");
    for (const PasteFormat format : allFormats) {
        const PasteboardContents contents = PasteFormats::contents(item, format, png);
        EXPECT_EQ(typesOf(contents), QStringList{"image/png"});
        EXPECT_EQ(valueOf(contents, "image/png"), png);
        EXPECT_TRUE(PasteFormats::contents(item, format).isEmpty())
            << "an image without its file writes nothing";
    }
}

TEST(PasteFormat, FilesAsUrlsOrAsPaths)
{
    ClipItem item;
    item.type = ClipType::file;
    item.fileURLs = {QUrl::fromLocalFile("/tmp/a b.txt"), QUrl::fromLocalFile("/tmp/ü.png")};

    const PasteboardContents captured = PasteFormats::contents(item, PasteFormat::asCaptured);
    EXPECT_EQ(typesOf(captured),
              (QStringList{"text/uri-list", "x-special/gnome-copied-files", "text/plain"}));
    EXPECT_EQ(valueOf(captured, "text/uri-list"), "file:///tmp/a%20b.txt\r\nfile:///tmp/%C3%BC.png\r\n");
    EXPECT_EQ(valueOf(captured, "x-special/gnome-copied-files"),
              "copy\nfile:///tmp/a%20b.txt\nfile:///tmp/%C3%BC.png");
    EXPECT_EQ(QString::fromUtf8(valueOf(captured, "text/plain")), QStringLiteral("/tmp/a b.txt\n/tmp/ü.png"));

    for (const PasteFormat format : {PasteFormat::plainText, PasteFormat::markdown}) {
        const PasteboardContents contents = PasteFormats::contents(item, format);
        EXPECT_EQ(typesOf(contents), QStringList{"text/plain"});
        EXPECT_EQ(QString::fromUtf8(valueOf(contents, "text/plain")),
                  QStringLiteral("/tmp/a b.txt\n/tmp/ü.png"));
    }
}

TEST(PasteFormat, ColoursAsColourOrAsHexText)
{
    ClipItem item;
    item.type = ClipType::color;
    item.colorHex = QStringLiteral("#ff5a9f");

    const PasteboardContents captured = PasteFormats::contents(item, PasteFormat::asCaptured);
    EXPECT_EQ(typesOf(captured), (QStringList{"application/x-color", "text/plain"}));
    const QByteArray color = valueOf(captured, "application/x-color");
    ASSERT_EQ(color.size(), 8);
    quint16 components[4];
    std::memcpy(components, color.constData(), sizeof(components));
    EXPECT_EQ(components[0], 0xFFFF);
    EXPECT_EQ(components[1], 0x5A5A);
    EXPECT_EQ(components[2], 0x9F9F);
    EXPECT_EQ(components[3], 0xFFFF);
    EXPECT_EQ(valueOf(captured, "text/plain"), "#FF5A9F");
    EXPECT_EQ(typesOf(PasteFormats::contents(item, PasteFormat::plainText)), QStringList{"text/plain"});

    item.colorHex = QStringLiteral("not a colour");
    EXPECT_TRUE(PasteFormats::contents(item, PasteFormat::asCaptured).isEmpty());
}

TEST(PasteFormat, EmptyClipsWriteNothing)
{
    EXPECT_TRUE(PasteFormats::contents(textClip(ClipType::text, {}), PasteFormat::asCaptured).isEmpty());
    ClipItem rich;
    rich.type = ClipType::richText;
    for (const PasteFormat format : allFormats)
        EXPECT_TRUE(PasteFormats::contents(rich, format).isEmpty());
    ClipItem files;
    files.type = ClipType::file;
    EXPECT_TRUE(PasteFormats::contents(files, PasteFormat::asCaptured).isEmpty());
}

TEST(PasteFormat, MimeDataHoldsEveryEntry)
{
    std::unique_ptr<QMimeData> data(
        PasteFormats::mimeData(PasteFormats::contents(richClip(), PasteFormat::asCaptured)));
    EXPECT_EQ(data->text(), "Hello bold world");
    EXPECT_TRUE(data->hasHtml());
    EXPECT_EQ(data->data("text/rtf"), *richClip().rtfData);
}
