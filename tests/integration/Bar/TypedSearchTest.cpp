#include "ui/Bar/ControlledBrowserReader.h"

#include "Models/ClipSearch.h"
#include "Platform/Defaults.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "Store/StoreFileCodec.h"
#include "UI/Bar/BarSearchField.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/BarWindowController.h"
#include "UI/Bar/ClipStripView.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int waitMs = 15000;
// Long enough that a search takes longer than drawing a character.
constexpr int clipCount = 3000;

QList<QUuid> ids(const QList<ClipItem>& clips)
{
    QList<QUuid> result;
    for (const ClipItem& clip : clips)
        result.append(clip.id);
    return result;
}

// A history of accented prose, each clip ending in its number: every digit typed narrows the
// matches.
StoreSnapshot accentedHistory()
{
    const QString prose = QStringLiteral("Le café du coin sert une crème brûlée que le touriste naïf de "
                                         "Zürich commande; sa façade et chaque résumé de la rue. ")
                              .repeated(12);
    StoreSnapshot snapshot;
    for (int i = 0; i < clipCount; ++i) {
        ClipItem clip;
        clip.text = prose + QString::number(i);
        snapshot.history.append(clip);
    }
    return snapshot;
}

// What the search field showed the first time it drew a text, and the cards under it then.
struct FirstDrawing {
    QString text;
    QList<QUuid> cards;
};

// The bar as a real window on the display, over a long history, typed into by another X client.
class TypedSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "needs an X display";
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty());
        QFile file(QDir(dir.path()).filePath(ClipboardStore::storeFileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(StoreFileCodec::encode(accentedHistory()));
        file.close();
        store =
            std::make_unique<ClipboardStore>(ClipboardStore::Environment{settings, dir.path(), nullptr, {}});
        store->load();
        ASSERT_EQ(store->history().size(), clipCount);
        bar = std::make_unique<BarWindowController>(*store, settings, shelf);
        bar->resetForShow();
        bar->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(bar->window()));
    }

    // Types the text with xdotool, as fast as it can, while the event loop runs.
    void type(const QString& text)
    {
        QProcess xdotool;
        xdotool.start(QStandardPaths::findExecutable(QStringLiteral("xdotool")),
                      {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("0"), text});
        ASSERT_TRUE(xdotool.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, waitMs));
        ASSERT_EQ(xdotool.exitCode(), 0);
    }

    QTemporaryDir dir;
    Settings settings{Platform::defaults()};
    ControlledBrowserReader browsers;
    BrowserShelfModel shelf{browsers.reader()};
    std::unique_ptr<ClipboardStore> store;
    std::unique_ptr<BarWindowController> bar;
};

// Guards a typed character showing only together with its cards (the field waiting for the
// search), and a fast typist losing a character or being left with an earlier query's cards.
TEST_F(TypedSearchTest, eachCharacterIsDrawnBeforeItsCardsAndTheCardsEndOnTheFinalQuery)
{
    BarSearchField* field = bar->view()->searchField();
    QList<FirstDrawing> drawings;
    struct Recorder : QObject {
        std::function<void()> record;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                record();
            return false;
        }
    } recorder;
    recorder.record = [&] {
        if (drawings.isEmpty() || drawings.last().text != field->text())
            drawings.append({field->text(), ids(bar->view()->strip()->clips())});
    };
    field->installEventFilter(&recorder);

    const QString query = QStringLiteral("1234");
    type(query);
    ASSERT_TRUE(QTest::qWaitFor([&] { return field->text() == query; }, waitMs))
        << "no typed character is lost: " << field->text().toStdString();
    const QList<QUuid> finalCards = ids(ClipSearch::scan(store->history(), query));
    ASSERT_EQ(finalCards.size(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ids(bar->view()->strip()->clips()) == finalCards; }, waitMs));
    EXPECT_EQ(bar->view()->selectedClips().size(), 1);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !drawings.isEmpty() && drawings.last().text == query; }, waitMs))
        << "the field draws the final query";
    for (const FirstDrawing& drawing : drawings) {
        if (drawing.text.isEmpty())
            continue;
        EXPECT_NE(drawing.cards, ids(ClipSearch::scan(store->history(), drawing.text)))
            << "\"" << drawing.text.toStdString() << "\" was drawn only with its cards";
    }
}

} // namespace
