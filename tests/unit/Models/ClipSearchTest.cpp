#include "Models/ClipSearch.h"

#include <QUrl>
#include <gtest/gtest.h>

namespace {

QList<ClipItem> sampleClips()
{
    ClipItem cafe;
    cafe.text = QStringLiteral("Meet at the Café Zürich");
    cafe.sourceAppName = QStringLiteral("Notes");
    ClipItem scan;
    scan.type = ClipType::image;
    scan.ocrText = QStringLiteral("INVOICE 2041");
    scan.sourceAppName = QStringLiteral("Screenshot");
    ClipItem titled;
    titled.text = QStringLiteral("ssh deploy@10.0.0.7");
    titled.customTitle = QStringLiteral("Staging server");
    titled.sourceAppName = QStringLiteral("Terminal");
    ClipItem files;
    files.type = ClipType::file;
    files.fileURLs = {QUrl::fromLocalFile(QStringLiteral("/home/ana/Reports/Quarterly Résumé.pdf"))};
    files.sourceAppName = QStringLiteral("Files");
    ClipItem wide;
    wide.text = QStringLiteral("ＦＵＬＬＷＩＤＴＨ text");
    ClipItem japanese;
    japanese.text = QStringLiteral("クリップボードの履歴");
    // The accent is among the last characters, which no match can start at.
    ClipItem lateAccent;
    lateAccent.text = QString(30, u'x') + QStringLiteral("Café");
    // Across the edge of a block of sixteen characters.
    ClipItem straddling;
    straddling.text = QString(13, u'y') + QStringLiteral("NeedleZ") + QString(20, u'y');
    // Combining marks, which folding drops, between the letters of a match; accents both in a
    // match and next to it.
    ClipItem decomposed;
    decomposed.text = QStringLiteral("Cafe\u0301s et cre\u0300me bru\u0302le\u0301e");
    return {cafe, scan, titled, files, wide, japanese, lateAccent, straddling, decomposed};
}

struct Case {
    const char* query;
    QList<int> expected; // indexes into sampleClips()
};

class ClipSearchTest : public testing::TestWithParam<Case> {};

QList<int> indexesIn(const QList<ClipItem>& clips, const QList<ClipItem>& found)
{
    QList<int> indexes;
    for (const ClipItem& clip : found)
        indexes.append(int(std::find(clips.begin(), clips.end(), clip) - clips.begin()));
    return indexes;
}

// The index and the scan used while it is being prepared find the same clips.
TEST_P(ClipSearchTest, FindsClipsByAnyOfTheirTextsIgnoringCaseAndDiacritics)
{
    const QList<ClipItem> clips = sampleClips();
    const QString query = QString::fromUtf8(GetParam().query);
    ClipSearch index;
    EXPECT_EQ(indexesIn(clips, index.filter(clips, query)), GetParam().expected) << GetParam().query;
    EXPECT_EQ(indexesIn(clips, ClipSearch::scan(clips, query)), GetParam().expected) << GetParam().query;
}

INSTANTIATE_TEST_SUITE_P(Queries, ClipSearchTest,
                         testing::Values(Case{"", {0, 1, 2, 3, 4, 5, 6, 7, 8}},
                                         Case{"   ", {0, 1, 2, 3, 4, 5, 6, 7, 8}}, Case{"cafe", {0, 6, 8}},
                                         Case{"es et", {8}}, Case{"CRÈME BRÛLÉE", {8}},
                                         Case{"me brulee", {8}}, Case{"xcafe", {6}}, Case{"needlez", {7}},
                                         Case{"yneedlezy", {7}}, Case{"zy", {7}}, Case{"CAFÉ zurich", {0}},
                                         Case{"  zürich ", {0}}, Case{"invoice", {1}},
                                         Case{"screenshot", {1}}, Case{"staging", {2}}, Case{"TERMINAL", {2}},
                                         Case{"resume.pdf", {3}}, Case{"reports", {}}, Case{"fullwidth", {4}},
                                         Case{"ｆｕｌｌ", {4}}, Case{"ボードの履歴", {5}}, Case{"ﾎﾞｰﾄﾞ", {5}},
                                         Case{"e", {0, 1, 2, 3, 4, 6, 7, 8}}, Case{"nothing like this", {}}));

TEST(ClipSearch, SearchesTheNewTextOfAnEditedClip)
{
    ClipItem clip;
    clip.text = QStringLiteral("first draft");
    ClipSearch index;
    ASSERT_EQ(index.filter({clip}, QStringLiteral("draft")).size(), 1);

    clip.text = QStringLiteral("final version");
    clip.modifiedAt = clip.createdAt.addSecs(5);
    EXPECT_TRUE(index.filter({clip}, QStringLiteral("draft")).isEmpty());
    EXPECT_EQ(index.filter({clip}, QStringLiteral("version")).size(), 1);
}

TEST(ClipSearch, FoldsDecomposedAndComposedFormsAlike)
{
    EXPECT_EQ(ClipSearch::fold(QStringLiteral("E\u0301COLE")), QStringLiteral("ecole"));
    EXPECT_EQ(ClipSearch::fold(QStringLiteral("\u00C9cole")), QStringLiteral("ecole"));
}

// Long histories are searched in parts on several threads: the parts' clips come back whole
// and in order.
TEST(ClipSearch, SearchesALongHistoryInOrder)
{
    QList<ClipItem> clips;
    for (int i = 0; i < 6149; ++i) {
        ClipItem clip;
        clip.text = (i % 7 == 0 ? QStringLiteral("Café no. %1") : QStringLiteral("tea no. %1")).arg(i);
        clips.append(clip);
    }
    // Each text folded and searched whole, apart from the index's own matching.
    const auto expected = [&clips](const QString& query) {
        QList<ClipItem> found;
        for (const ClipItem& clip : clips) {
            if (ClipSearch::fold(*clip.text).contains(ClipSearch::fold(query)))
                found.append(clip);
        }
        return found;
    };
    ClipSearch index;
    EXPECT_EQ(index.filter(clips, QStringLiteral("cafe")).size(), 879);
    // "cafe no. 6" narrows the matches of "cafe"; the others search the whole history.
    for (const char* query : {"CAFÉ NO. 6146", "no. 4", "cafe", "cafe no. 6", "é"})
        EXPECT_EQ(index.filter(clips, QString::fromUtf8(query)), expected(QString::fromUtf8(query))) << query;
}

TEST(ClipSearch, FindsTextDeepInsideAVeryLargeClip)
{
    ClipItem big;
    big.text = QString(4 * 1024 * 1024, u'x') + QStringLiteral("needle");
    ClipSearch index;
    EXPECT_EQ(index.filter({big}, QStringLiteral("NEEDLE")).size(), 1);
    EXPECT_TRUE(index.filter({big}, QStringLiteral("haystack")).isEmpty());
}

} // namespace
