#include "Models/ClipItem.h"
#include "Models/BarSource.h"
#include "Models/ClipSearchFilter.h"
#include "Models/JsonCoding.h"
#include "Models/Pinboard.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {

ClipItem fullClip()
{
    ClipItem clip;
    clip.id = QUuid::fromString(QStringLiteral("{6f9619ff-8b86-d011-b42d-00c04fc964ff}"));
    clip.type = ClipType::file;
    clip.text = QStringLiteral("text");
    clip.rtfData = QByteArray("rtf");
    clip.htmlData = QByteArray("<p>");
    clip.imageFileName = QStringLiteral("h.png");
    clip.imageHash = QStringLiteral("h");
    clip.ocrText = QStringLiteral("ocr");
    clip.fileURLs = {QUrl(QStringLiteral("file:///tmp/a%20b.txt"))};
    clip.colorHex = QStringLiteral("#ABCDEF");
    clip.sourceBundleID = QStringLiteral("org.gnome.TextEditor");
    clip.sourceAppName = QStringLiteral("Text Editor");
    clip.customTitle = QStringLiteral("Title");
    clip.createdAt = QDateTime(QDate(2001, 1, 2), QTime(0, 0, 0, 500), Qt::UTC);
    clip.modifiedAt = QDateTime(QDate(2000, 12, 31), QTime(0, 0), Qt::UTC);
    return clip;
}

QJsonObject parsed(const char* json)
{
    return QJsonDocument::fromJson(json).object();
}

} // namespace

TEST(ClipType, RawValuesInOrder)
{
    QStringList raw;
    for (ClipType type : ClipTypes::allCases())
        raw.append(ClipTypes::rawValue(type));
    EXPECT_EQ(raw, (QStringList{"text", "richText", "link", "image", "file", "color"}));
    EXPECT_EQ(ClipTypes::fromRawValue(QStringLiteral("richText")), ClipType::richText);
    EXPECT_FALSE(ClipTypes::fromRawValue(QStringLiteral("RichText")));
}

TEST(ClipItem, JsonHasEveryFieldUnderItsNameInTheStoredConventions)
{
    const QJsonObject json = fullClip().toJson();
    EXPECT_EQ(json.keys(), (QStringList{"colorHex", "createdAt", "customTitle", "fileURLs", "htmlData", "id",
                                        "imageFileName", "imageHash", "modifiedAt", "ocrText", "rtfData",
                                        "sourceAppName", "sourceBundleID", "text", "type"}));
    EXPECT_EQ(json.value("id").toString(), QStringLiteral("6F9619FF-8B86-D011-B42D-00C04FC964FF"));
    EXPECT_DOUBLE_EQ(json.value("createdAt").toDouble(), 86400.5);
    EXPECT_DOUBLE_EQ(json.value("modifiedAt").toDouble(), -86400.0);
    EXPECT_EQ(json.value("rtfData").toString(), QStringLiteral("cnRm"));
    EXPECT_EQ(json.value("htmlData").toString(), QStringLiteral("PHA+"));
    EXPECT_EQ(json.value("fileURLs").toArray(), QJsonArray{QStringLiteral("file:///tmp/a%20b.txt")});
    EXPECT_EQ(ClipItem::fromJson(json), fullClip());
}

TEST(ClipItem, UnsetOptionalsAreLeftOutAndReadBackUnset)
{
    ClipItem clip;
    clip.createdAt = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    const QJsonObject json = clip.toJson();
    EXPECT_EQ(json.keys(), (QStringList{"createdAt", "id", "type"}));
    EXPECT_DOUBLE_EQ(json.value("createdAt").toDouble(), 0.0);
    const auto back = ClipItem::fromJson(json);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, clip);
    EXPECT_FALSE(back->text);

    clip.text = QString();
    EXPECT_EQ(ClipItem::fromJson(clip.toJson())->text, QString()) << "an empty text is still a text";
}

TEST(ClipItem, MalformedRecordsAreRefused)
{
    const char* cases[] = {
        R"({"type":"text","createdAt":1})",
        R"({"id":"x","type":"text","createdAt":1})",
        R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","type":"words","createdAt":1})",
        R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","type":"text"})",
        R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","type":"text","createdAt":"1"})",
        R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","type":"text","createdAt":1,"text":5})",
        R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","type":"text","createdAt":1,"rtfData":"%%"})",
        R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","type":"file","createdAt":1,"fileURLs":"file:///a"})",
        R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","type":"file","createdAt":1,"fileURLs":[1]})",
        R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","type":"text","createdAt":1,"modifiedAt":true})",
    };
    for (const char* json : cases)
        EXPECT_FALSE(ClipItem::fromJson(parsed(json))) << json;
    EXPECT_TRUE(ClipItem::fromJson(
        parsed(R"({"id":"6f9619ff-8b86-d011-b42d-00c04fc964ff","type":"text","createdAt":1,"text":null})")));
}

TEST(ClipItem, ContentKeyAgreesWithSameContent)
{
    const auto make = [](ClipType type, auto fill) {
        ClipItem clip;
        clip.type = type;
        fill(clip);
        return clip;
    };
    const QList<ClipItem> clips = {
        make(ClipType::text, [](ClipItem& c) { c.text = "a"; }),
        make(ClipType::text, [](ClipItem& c) { c.text = "a"; }),
        make(ClipType::text, [](ClipItem&) {}),
        make(ClipType::text, [](ClipItem& c) { c.text = ""; }),
        make(ClipType::link, [](ClipItem& c) { c.text = "a"; }),
        make(ClipType::richText, [](ClipItem& c) { c.text = "a", c.rtfData = QByteArray("1:x"); }),
        make(ClipType::richText, [](ClipItem& c) { c.text = "a", c.rtfData = QByteArray("1:x"); }),
        make(ClipType::richText, [](ClipItem& c) { c.text = "a", c.htmlData = QByteArray("1:x"); }),
        make(ClipType::richText, [](ClipItem& c) { c.text = "a1:x", c.rtfData = QByteArray(); }),
        make(ClipType::image, [](ClipItem& c) { c.imageHash = "h"; }),
        make(ClipType::image, [](ClipItem& c) { c.imageHash = "h"; }),
        make(ClipType::image, [](ClipItem&) {}),
        make(ClipType::file, [](ClipItem& c) { c.fileURLs = {QUrl("file:///a")}; }),
        make(ClipType::file, [](ClipItem& c) { c.fileURLs = {QUrl("file:///a")}; }),
        make(ClipType::file, [](ClipItem&) {}),
        make(ClipType::color, [](ClipItem& c) { c.colorHex = "#aBc"; }),
        make(ClipType::color, [](ClipItem& c) { c.colorHex = "#AbC"; }),
        make(ClipType::color, [](ClipItem&) {}),
    };
    for (const ClipItem& a : clips) {
        for (const ClipItem& b : clips) {
            EXPECT_EQ(a.hasSameContent(b), a.contentKey() == b.contentKey())
                << a.contentKey().toStdString() << " / " << b.contentKey().toStdString();
        }
        EXPECT_TRUE(a.hasSameContent(a));
    }
}

TEST(Pinboard, RoundTripsWithItsClipsAndPlaceholderFlag)
{
    Pinboard board;
    board.name = QStringLiteral("Work");
    board.colorHex = QStringLiteral("#FF0000");
    board.clips = {fullClip()};
    board.modifiedAt = QDateTime(QDate(2026, 1, 1), QTime(1, 2, 3), Qt::UTC);
    QJsonObject json = board.toJson();
    EXPECT_FALSE(json.contains("isCloudPlaceholder"));
    EXPECT_EQ(Pinboard::fromJson(json), board);

    board.isCloudPlaceholder = true;
    json = board.toJson();
    EXPECT_EQ(json.value("isCloudPlaceholder"), QJsonValue(true));
    EXPECT_EQ(Pinboard::fromJson(json), board);

    json.insert("clips", QJsonArray{QJsonObject{{"id", "bad"}}});
    EXPECT_FALSE(Pinboard::fromJson(json)) << "a malformed clip makes the pinboard malformed";
}

TEST(ClipDateFilter, RawValuesAndDays)
{
    QStringList raw;
    for (ClipDateFilter filter : ClipDateFilters::allCases())
        raw.append(ClipDateFilters::rawValue(filter));
    EXPECT_EQ(raw, (QStringList{"anyTime", "today", "last7Days", "last30Days"}));

    const QDateTime now = QDateTime(QDate(2026, 5, 20), QTime(12, 0)).toUTC();
    struct Case {
        ClipDateFilter filter;
        qint64 ageSeconds;
        bool included;
    };
    const Case cases[] = {
        {ClipDateFilter::anyTime, 400 * 86400, true},        {ClipDateFilter::today, 11 * 3600, true},
        {ClipDateFilter::today, 13 * 3600, false},           {ClipDateFilter::last7Days, 7 * 86400, true},
        {ClipDateFilter::last7Days, 7 * 86400 + 1, false},   {ClipDateFilter::last30Days, 30 * 86400, true},
        {ClipDateFilter::last30Days, 30 * 86400 + 1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClipDateFilters::includes(c.filter, now.addSecs(-c.ageSeconds), now), c.included)
            << ClipDateFilters::rawValue(c.filter).toStdString() << " " << c.ageSeconds;
    }
}

TEST(ClipSearchFilter, EveryPartMustMatch)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    ClipItem clip;
    clip.type = ClipType::link;
    clip.sourceBundleID = QStringLiteral("firefox");
    clip.createdAt = now.addDays(-3);

    ClipSearchFilter filter;
    EXPECT_FALSE(filter.isActive());
    EXPECT_TRUE(filter.matches(clip, now));
    filter.type = ClipType::link;
    filter.sourceBundleID = QStringLiteral("firefox");
    filter.date = ClipDateFilter::last7Days;
    EXPECT_TRUE(filter.isActive());
    EXPECT_TRUE(filter.matches(clip, now));
    filter.date = ClipDateFilter::today;
    EXPECT_FALSE(filter.matches(clip, now));
    filter.date = ClipDateFilter::anyTime;
    filter.sourceBundleID = QStringLiteral("chromium");
    EXPECT_FALSE(filter.matches(clip, now));
    filter.sourceBundleID.reset();
    filter.type = ClipType::text;
    EXPECT_FALSE(filter.matches(clip, now));
}

TEST(BarSource, KindsCompareByPinboard)
{
    const QUuid a = QUuid::createUuid();
    EXPECT_EQ(BarSource::history(), BarSource{});
    EXPECT_EQ(BarSource::pinboard(a), BarSource::pinboard(a));
    EXPECT_NE(BarSource::pinboard(a), BarSource::pinboard(QUuid::createUuid()));
    EXPECT_NE(BarSource::browserShelf(), BarSource::history());
}
