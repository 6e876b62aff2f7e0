#include "CaptureTestSupport.h"

#include "Monitor/PasteFormat.h"
#include "Platform/Bundle.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSignalSpy>
#include <QtEndian>
#include <algorithm>

namespace {

const QString plain = QStringLiteral("text/plain");

PasteboardEntries textEntries(const QString& text)
{
    return {{plain, text.toUtf8()}};
}

QByteArray colorBytes(quint16 r, quint16 g, quint16 b, quint16 a)
{
    const quint16 components[4]{r, g, b, a};
    return QByteArray(reinterpret_cast<const char*>(components), sizeof(components));
}

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    return ~crc;
}

// The signature and header of a PNG of the given size, without image data.
QByteArray pngHeader(quint32 width, quint32 height)
{
    QByteArray chunk("IHDR");
    chunk += QByteArray(8, '\0');
    qToBigEndian(width, chunk.data() + 4);
    qToBigEndian(height, chunk.data() + 8);
    chunk += QByteArray("\x08\x06\x00\x00\x00", 5);
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray length(4, '\0');
    qToBigEndian(quint32(13), length.data());
    QByteArray crc(4, '\0');
    qToBigEndian(crc32(chunk), crc.data());
    return png + length + chunk + crc;
}

} // namespace

TEST_F(CaptureTest, WhatIsOnTheClipboardAtLaunchIsNotCaptured)
{
    pasteboard.setContents(textEntries("before launch"));
    monitor = std::make_unique<ClipboardMonitor>(pasteboard, *store, settings());
    monitor->checkForChanges();
    EXPECT_TRUE(store->history().isEmpty());

    copyAndTick(textEntries("after launch"));
    ASSERT_EQ(store->history().size(), 1);
    EXPECT_EQ(store->history().first().text, "after launch");
}

TEST_F(CaptureTest, AnIdleTickOnlyComparesTheCount)
{
    copyAndTick(textEntries("one"));
    pasteboard.reads = 0;
    for (int i = 0; i < 5; ++i)
        monitor->checkForChanges();
    EXPECT_EQ(pasteboard.reads, 0);
    EXPECT_EQ(store->history().size(), 1);
}

TEST_F(CaptureTest, EachCopyIsTakenAsSoonAsItIsReadWhileRunning)
{
    pasteboard.setContents(textEntries("before start"));
    monitor->start();
    for (const char* text : {"one", "two", "three"})
        pasteboard.setContents(textEntries(text));
    ASSERT_EQ(store->history().size(), 3);
    EXPECT_EQ(store->history().at(0).text, "three");
    EXPECT_EQ(store->history().at(2).text, "one");
    monitor->stop();
    pasteboard.setContents(textEntries("after stop"));
    EXPECT_EQ(store->history().size(), 3);
}

// The timer ticks only for a pasteboard that can't tell of copies: one that can is not polled.
TEST_F(CaptureTest, TheTimerTicksEveryFourTenthsOfASecondOnlyWhereCopiesAreNotAnnounced)
{
    EXPECT_EQ(ClipboardMonitor::tickInterval, std::chrono::milliseconds(400));
    for (const bool announced : {false, true}) {
        store->clearHistory();
        pasteboard.notifiesCopies = announced;
        QSignalSpy spy(monitor.get(), &ClipboardMonitor::captured);
        monitor->start();
        EXPECT_TRUE(monitor->isRunning());
        pasteboard.notifiesCopies = false;
        pasteboard.setContents(textEntries("by the timer"));
        EXPECT_EQ(spy.wait(int(3 * ClipboardMonitor::tickInterval.count())), !announced) << announced;
        monitor->stop();
        EXPECT_FALSE(monitor->isRunning());
    }
}

TEST_F(CaptureTest, ChangesWhilePausedArePassedOverForGood)
{
    monitor->setPaused(true);
    copyAndTick(textEntries("while paused"));
    monitor->setPaused(false);
    monitor->checkForChanges();
    EXPECT_TRUE(store->history().isEmpty());

    copyAndTick(textEntries("after pause"));
    ASSERT_EQ(store->history().size(), 1);
    EXPECT_EQ(store->history().first().text, "after pause");
}

TEST_F(CaptureTest, OurOwnWriteIsNotCaptured)
{
    auto* data = new QMimeData;
    data->setText(QStringLiteral("pasted by us"));
    monitor->ignoreChangeCount(pasteboard.write(data));
    monitor->checkForChanges();
    EXPECT_TRUE(store->history().isEmpty());

    // The next copy of another application is captured again.
    copyAndTick(textEntries("theirs"));
    ASSERT_EQ(store->history().size(), 1);
}

TEST_F(CaptureTest, ACopyMarkedWithOurIdentifierIsNotCaptured)
{
    const QByteArray ours = Platform::mainBundle().bundleIdentifier().toUtf8();
    copyAndTick({{plain, "ours"}, {"org.nspasteboard.source", ours}});
    EXPECT_TRUE(store->history().isEmpty());
    copyAndTick({{plain, "theirs"}, {"org.nspasteboard.source", "org.example.Other"}});
    ASSERT_EQ(store->history().size(), 1);
    EXPECT_EQ(store->history().first().text, "theirs");
}

TEST_F(CaptureTest, ConcealedAndTransientCopiesFollowThePreference)
{
    struct Case {
        const char* name;
        std::pair<QString, QByteArray> marker;
        bool secret;
    };
    const Case cases[] = {
        {"concealed", {"org.nspasteboard.ConcealedType", ""}, true},
        {"transient", {"org.nspasteboard.TransientType", ""}, true},
        {"auto-generated", {"org.nspasteboard.AutoGeneratedType", ""}, true},
        {"password hint", {"x-kde-passwordManagerHint", "secret"}, true},
        {"password hint with line break", {"x-kde-passwordManagerHint", "secret\n"}, true},
        {"other password hint", {"x-kde-passwordManagerHint", "public"}, false},
    };
    for (const bool ignoreConcealed : {true, false}) {
        settings().setIgnoreConcealed(ignoreConcealed);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (ignoreConcealed ? " ignored" : " kept"));
            const qsizetype before = store->history().size();
            const QString text = QStringLiteral("%1 %2").arg(QLatin1String(c.name)).arg(ignoreConcealed);
            copyAndTick({{plain, text.toUtf8()}, c.marker});
            const bool expectCaptured = !ignoreConcealed || !c.secret;
            EXPECT_EQ(store->history().size(), before + (expectCaptured ? 1 : 0));
        }
    }
}

TEST_F(CaptureTest, CopiesFromIgnoredApplicationsAreSkipped)
{
    settings().setIgnoredSourceAppBundleIDs({"org.keepassxc.KeePassXC"});
    copyAndTick(textEntries("password"), application("org.keepassxc.KeePassXC", "KeePassXC"));
    EXPECT_TRUE(store->history().isEmpty());

    copyAndTick(textEntries("note"), application("org.gnome.TextEditor", "Text Editor"));
    ASSERT_EQ(store->history().size(), 1);
    EXPECT_EQ(store->history().first().sourceBundleID, "org.gnome.TextEditor");
    EXPECT_EQ(store->history().first().sourceAppName, "Text Editor");
}

TEST_F(CaptureTest, KindsAreTakenInOrder)
{
    const QByteArray png = encoded(sampleImage(), "PNG");
    const QByteArray html = "<p>Some <b>rich</b> text</p>";
    const QByteArray fileList = "# comment\r\nfile:///tmp/report.pdf\r\nfile:///tmp/a%20b.txt\r\n";
    struct Case {
        const char* name;
        PasteboardEntries entries;
        std::optional<ClipType> type;
    };
    const Case cases[] = {
        {"files before everything",
         {{"text/uri-list", fileList},
          {"image/png", png},
          {"text/html", html},
          {plain, "x"},
          {"application/x-color", colorBytes(1, 2, 3, 4)}},
         ClipType::file},
        {"image before rich text", {{"text/html", html}, {"image/png", png}, {plain, "x"}}, ClipType::image},
        {"rich text before plain text", {{plain, "Some rich text"}, {"text/html", html}}, ClipType::richText},
        {"rtf is rich text", {{"text/rtf", R"({\rtf1 From rtf})"}}, ClipType::richText},
        {"colour before text",
         {{plain, "red"}, {"text/html", html}, {"application/x-color", colorBytes(1, 2, 3, 4)}},
         ClipType::color},
        {"colour", {{"application/x-color", colorBytes(0xFFFF, 0, 0, 0xFFFF)}}, ClipType::color},
        {"web addresses in a uri list are not files",
         {{"text/uri-list", "https://x.test/\r\n"}, {plain, "https://x.test/"}},
         ClipType::link},
        {"gnome file list", {{"x-special/gnome-copied-files", "copy\nfile:///tmp/one"}}, ClipType::file},
        {"a link", {{plain, "https://example.test/path?q=1"}}, ClipType::link},
        {"a link with spaces around", {{plain, "  http://example.test  \n"}}, ClipType::link},
        {"text with a link inside", {{plain, "see https://example.test"}}, ClipType::text},
        {"another scheme", {{plain, "ftp://example.test/file"}}, ClipType::text},
        {"a scheme without host", {{plain, "https://"}}, ClipType::text},
        {"white space only", {{plain, " \n\t "}}, std::nullopt},
        {"nothing readable", {{"application/x-unknown", "zzz"}}, std::nullopt},
        {"broken image", {{"image/png", "not an image"}, {plain, "fallback"}}, std::nullopt},
        {"empty rich text with text", {{"text/html", "<p></p>"}, {plain, "words"}}, ClipType::richText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store->clearHistory();
        QSignalSpy spy(monitor.get(), &ClipboardMonitor::captured);
        copyAndTick(c.entries);
        if (c.type == ClipType::image || !c.type)
            spy.wait(c.type ? 5000 : 200);
        ASSERT_EQ(store->history().size(), c.type ? 1 : 0);
        if (c.type) {
            EXPECT_EQ(ClipTypes::rawValue(store->history().first().type), ClipTypes::rawValue(*c.type));
        }
    }
}

TEST_F(CaptureTest, FieldsOfEachKind)
{
    copyAndTick(
        {{"text/uri-list", "file:///tmp/report.pdf\r\n# note\r\nhttps://x.test/\r\nfile:///tmp/a%20b.txt"}});
    EXPECT_EQ(store->history().first().fileURLs,
              (QList<QUrl>{QUrl::fromLocalFile("/tmp/report.pdf"), QUrl::fromLocalFile("/tmp/a b.txt")}));

    copyAndTick({{plain, "  https://example.test/a  "}});
    EXPECT_EQ(store->history().first().text, "https://example.test/a");

    copyAndTick({{plain, "  indented\n"}});
    EXPECT_EQ(store->history().first().text, "  indented\n");

    copyAndTick({{"application/x-color", colorBytes(0xFFFF, 0x8080, 0, 0xFFFF)}});
    EXPECT_EQ(store->history().first().colorHex, "#FF8000");

    copyAndTick({{"application/x-color", "#00ff7f"}});
    EXPECT_EQ(store->history().first().colorHex, "#00FF7F");
}

TEST_F(CaptureTest, AColourWrittenAsHexBecomesAColourThatPastesBackAsTheSameText)
{
    struct Case {
        PasteboardEntries entries;
        std::optional<QString> colorHex; // none: not a colour
    };
    const Case cases[] = {
        {{{plain, "#3A7BD5"}}, "#3A7BD5"},
        {{{plain, "  #3a7bd5\n"}}, "#3A7BD5"},
        {{{plain, "#abc"}}, "#AABBCC"},
        {{{plain, "#abcd"}}, "#AABBCCDD"},
        {{{plain, "#3A7BD580"}}, "#3A7BD580"},
        {{{"text/html", "<span style=\"color:red\">#0F0</span>"}, {plain, "#0F0"}}, "#00FF00"},
        {{{plain, "#3A7BD"}}, std::nullopt},
        {{{plain, "3A7BD5"}}, std::nullopt},
        {{{plain, "#GG0000"}}, std::nullopt},
        {{{plain, "color: #3A7BD5"}}, std::nullopt},
        {{{plain, "#3A7BD5 #FFFFFF"}}, std::nullopt},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.entries.last().second);
        SCOPED_TRACE(text.toStdString());
        store->clearHistory();
        copyAndTick(c.entries);
        const ClipItem& clip = store->history().first();
        EXPECT_EQ(clip.type == ClipType::color, c.colorHex.has_value());
        if (!c.colorHex)
            continue;
        EXPECT_EQ(clip.colorHex, c.colorHex);
        for (const PasteFormat format : {PasteFormat::asCaptured, PasteFormat::plainText}) {
            const PasteboardContents written = PasteFormats::contents(clip, format);
            const auto textEntry = std::find_if(written.cbegin(), written.cend(),
                                                [](const auto& entry) { return entry.first == plain; });
            ASSERT_NE(textEntry, written.cend());
            EXPECT_EQ(QString::fromUtf8(textEntry->second), text);
        }
    }
}

TEST_F(CaptureTest, RichTextKeepsItsFormsAndItsText)
{
    const QString html = QStringLiteral("<p>Grüße <b>aus</b> Köln</p>");
    QByteArray utf16("\xFF\xFE", 2);
    utf16.append(reinterpret_cast<const char*>(html.utf16()), html.size() * 2);
    copyAndTick({{"text/html", utf16}, {"text/rtf", R"({\rtf1 Gr\'fc\'dfe})"}});
    const ClipItem item = store->history().first();
    EXPECT_EQ(item.type, ClipType::richText);
    EXPECT_EQ(item.htmlData, html.toUtf8()) << "stored as UTF-8";
    EXPECT_EQ(item.rtfData, QByteArray(R"({\rtf1 Gr\'fc\'dfe})"));
    EXPECT_EQ(item.text, QStringLiteral("Grüße aus Köln"))
        << "text from the HTML when no plain text is offered";

    copyAndTick({{"text/rtf", R"({\rtf1 Only\par rtf})"}});
    EXPECT_EQ(store->history().first().text, "Only\nrtf");

    copyAndTick({{"text/html", "<b>x</b>"}, {plain, "offered text"}});
    EXPECT_EQ(store->history().first().text, "offered text");
}

TEST_F(CaptureTest, PngImagesAreStoredAsTheyCameUnderTheirHash)
{
    const QByteArray png = encoded(sampleImage(), "PNG");
    QSignalSpy spy(monitor.get(), &ClipboardMonitor::captured);
    copyAndTick({{"image/png", png}}, application("org.gimp.GIMP", "GIMP"));
    ASSERT_TRUE(spy.wait(5000));
    const ClipItem item = store->history().first();
    const QString hash =
        QString::fromLatin1(QCryptographicHash::hash(png, QCryptographicHash::Sha256).toHex());
    EXPECT_EQ(item.type, ClipType::image);
    EXPECT_EQ(item.imageHash, hash);
    EXPECT_EQ(item.sourceBundleID, "org.gimp.GIMP");
    store->saveNow();
    const std::optional<QString> path = store->imageFilePath(item);
    ASSERT_TRUE(path.has_value());
    QFile file(*path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), png);
}

TEST_F(CaptureTest, OtherImageFormatsBecomePng)
{
    QSignalSpy spy(monitor.get(), &ClipboardMonitor::captured);
    copyAndTick({{"image/bmp", encoded(sampleImage(), "BMP")}});
    ASSERT_TRUE(spy.wait(5000));
    store->saveNow();
    QFile file(*store->imageFilePath(store->history().first()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    EXPECT_TRUE(stored.startsWith("\x89PNG"));
    EXPECT_EQ(QImage::fromData(stored).convertToFormat(QImage::Format_RGB32), sampleImage());
}

TEST_F(CaptureTest, ImagesOverTheLimitsAreRefused)
{
    QSignalSpy spy(monitor.get(), &ClipboardMonitor::captured);
    // 12000 × 9000 is 108 million pixels: refused from the header, before decoding.
    copyAndTick({{"image/png", pngHeader(12000, 9000)}});
    EXPECT_FALSE(spy.wait(500));
    EXPECT_TRUE(store->history().isEmpty());

    copyAndTick({{"image/png", QByteArray(ClipboardStore::maxImageBytes + 1, 'x')}});
    EXPECT_FALSE(spy.wait(300));
    EXPECT_TRUE(store->history().isEmpty());
}

TEST_F(CaptureTest, ClipsReachTheStoreInTheOrderTheyWereCopied)
{
    QImage large(1600, 1200, QImage::Format_RGB32);
    large.fill(Qt::darkCyan);
    QSignalSpy spy(monitor.get(), &ClipboardMonitor::captured);
    copyAndTick({{"image/bmp", encoded(large, "BMP")}});
    copyAndTick(textEntries("copied after the image"));
    while (spy.size() < 2 && spy.wait(5000)) {
    }
    ASSERT_EQ(store->history().size(), 2);
    EXPECT_EQ(store->history().at(0).text, "copied after the image");
    EXPECT_EQ(store->history().at(1).type, ClipType::image);
    EXPECT_EQ(spy.at(0).at(0).value<ClipItem>().type, ClipType::image);
}
