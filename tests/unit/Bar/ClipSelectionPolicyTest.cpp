#include "UI/Bar/ClipSelectionPolicy.h"

#include <gtest/gtest.h>

namespace {

using Index = std::optional<qsizetype>;

TEST(ClipSelectionPolicy, SelectsTheFirstShownClipOfTheSelectionElseTheFirst)
{
    QList<ClipItem> shown(4);
    EXPECT_EQ(ClipSelectionPolicy::selectedIndex({}, {shown[0].id}), std::nullopt);
    EXPECT_EQ(ClipSelectionPolicy::selectedIndex(shown, {}), Index(0));
    EXPECT_EQ(ClipSelectionPolicy::selectedIndex(shown, {QUuid::createUuid()}), Index(0));
    EXPECT_EQ(ClipSelectionPolicy::selectedIndex(shown, {shown[2].id}), Index(2));
    EXPECT_EQ(ClipSelectionPolicy::selectedIndex(shown, {shown[3].id, shown[1].id}), Index(1));
}

TEST(ClipSelectionPolicy, MovingStopsAtBothEnds)
{
    struct Case {
        Index current;
        int step;
        qsizetype count;
        Index expected;
    };
    const Case cases[] = {
        {0, 1, 3, 1},  {1, 1, 3, 2},   {2, 1, 3, 2},  {0, -1, 3, 0}, {2, -1, 3, 1},
        {{}, 1, 3, 1}, {{}, -1, 3, 0}, {5, -1, 3, 2}, {0, 1, 1, 0},  {0, 1, 0, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClipSelectionPolicy::moved(c.current, c.step, c.count), c.expected)
            << c.current.value_or(-1) << " " << c.step << " " << c.count;
}

TEST(ClipSelectionPolicy, QuickPasteNumbersCountFromTheFirstCardInView)
{
    struct Case {
        int number;
        qsizetype firstInView;
        qsizetype count;
        Index expected;
    };
    const Case cases[] = {
        {1, 0, 5, 0},  {5, 0, 5, 4},    {6, 0, 5, std::nullopt}, {1, 10, 30, 10}, {9, 10, 30, 18},
        {0, 0, 5, {}}, {10, 0, 20, {}}, {-1, 0, 5, {}},          {1, 0, 0, {}},   {3, 28, 30, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClipSelectionPolicy::quickPasteIndex(c.number, c.firstInView, c.count), c.expected)
            << c.number << " " << c.firstInView << " " << c.count;
}

} // namespace
