#include "Models/BarSource.h"
#include "Models/Pinboard.h"
#include "UI/Appearance.h"
#include "UI/Bar/PinboardTabs.h"
#include "UI/Theme.h"

#include <QScreen>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// What the bar draws, in real windows under Xvfb with a window manager and the installed fonts.
class BarLookTest : public ::testing::Test {
protected:
    ~BarLookTest() override { Appearance::shared().applyForThisRun(AppearanceMode::light); }
};

} // namespace

// A pinboard's dot on its own chosen tab stood out from the accent by only 1:1 (a pinboard of
// the accent's own blue) to 2:1 (a lighter blue in the dark look).
TEST_F(BarLookTest, APinboardsDotStaysVisibleOnItsChosenTab)
{
    constexpr double visibleContrast = 3.0; // the least for a shape to be told from its ground
    constexpr int dotReach = 8;             // the dot and its surround, from the tab's padding
    for (const bool dark : {false, true}) {
        Appearance::shared().applyForThisRun(dark ? AppearanceMode::dark : AppearanceMode::light);
        for (const char* color : {"#315BD6", "#0A84FF", "#007AFF"}) {
            SCOPED_TRACE(std::string(dark ? "dark " : "light ") + color);
            Pinboard board;
            board.name = QStringLiteral("Blue");
            board.colorHex = QLatin1String(color);
            QWidget window;
            auto* layout = new QVBoxLayout(&window);
            auto* tabs = new PinboardTabs(&window);
            layout->addWidget(tabs);
            tabs->setPinboards({board});
            tabs->setCurrent(BarSource::pinboard(board.id));
            window.move(100, 100);
            window.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
            QTest::qWait(50); // one frame to reach the screen
            const QRect tab = tabs->tabRect(1).translated(tabs->mapTo(&window, QPoint()));
            const QImage shot = window.screen()->grabWindow(window.winId()).toImage();
            const QColor accent = Theme::selection().resolved(dark);
            double best = 1;
            for (int x = tab.left() + 8; x < tab.left() + 8 + 2 * dotReach; ++x) {
                for (int y = tab.center().y() - dotReach / 2; y <= tab.center().y() + dotReach / 2; ++y)
                    best = std::max(best, Theme::contrastRatio(shot.pixelColor(x, y), accent));
            }
            EXPECT_GE(best, visibleContrast);
        }
    }
}
