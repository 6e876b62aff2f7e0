// Figures for the paste bar with 5,000 clips: from show() to fully shown (the slide driven
// to its end and the strip painted), the first show of a new bar, filtering per keystroke
// while a query is typed, and, for a key typed into the shown bar, the time until the field
// draws the character and until the cards of the query are drawn (p50 and p95). Prints
// figures; never passes or fails.
#include "BrowserLinks/BrowserShelfModel.h"
#include "Models/ClipItem.h"
#include "Models/ClipSearch.h"
#include "Platform/Defaults.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "Store/StoreFileCodec.h"
#include "UI/Bar/BarSearchField.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/BarWindowController.h"
#include "UI/Bar/ClipStripView.h"
#include "fakes/FakeDefaults.h"

#include "BenchTexts.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QVariantAnimation>
#include <algorithm>

#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

constexpr int clipCount = 5000;

// 80 % short texts, 15 % of 2 KB, 5 % of 50 KB, from a few applications, some with accents.
QList<ClipItem> history()
{
    QRandomGenerator random(7);
    const QStringList apps{QStringLiteral("Text Editor"), QStringLiteral("Firefox"),
                           QStringLiteral("Terminal")};
    QList<ClipItem> clips;
    for (int i = 0; i < clipCount; ++i) {
        const int roll = int(random.bounded(100));
        const int length = roll < 80 ? 60 : roll < 95 ? 2048 : 50 * 1024;
        ClipItem clip;
        clip.text = QStringLiteral("Résumé note %1 ").arg(i) + accentedProse(length);
        clip.sourceAppName = apps[i % apps.size()];
        clip.sourceBundleID = QStringLiteral("org.example.app%1").arg(i % apps.size());
        clips.append(clip);
    }
    return clips;
}

struct Environment {
    FakeDefaults defaults;
    QTemporaryDir dir;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<ClipboardStore> store;

    Environment()
    {
        Platform::setDefaultsForTesting(&defaults);
        settings = std::make_unique<Settings>(defaults);
        StoreSnapshot snapshot;
        snapshot.history = history();
        QFile file(QDir(dir.path()).filePath(ClipboardStore::storeFileName));
        file.open(QIODevice::WriteOnly);
        file.write(StoreFileCodec::encode(snapshot));
        file.close();
        store = std::make_unique<ClipboardStore>(
            ClipboardStore::Environment{Settings::shared(), dir.path(), nullptr, {}});
        store->load();
    }
};

std::unique_ptr<Environment> sharedEnvironment;

Environment& environment()
{
    if (!sharedEnvironment)
        sharedEnvironment = std::make_unique<Environment>();
    return *sharedEnvironment;
}

// Ends the running slide at once, as if its time had passed.
void finishSlide(BarWindowController& bar)
{
    for (QVariantAnimation* animation : bar.findChildren<QVariantAnimation*>()) {
        if (animation->state() == QAbstractAnimation::Running)
            animation->setCurrentTime(animation->duration());
    }
    QCoreApplication::processEvents();
}

void showFully(BarWindowController& bar)
{
    bar.resetForShow();
    bar.show();
    finishSlide(bar);
    bar.window()->repaint();
}

void BM_ShowToFullyShown(benchmark::State& state)
{
    Environment& env = environment();
    BarWindowController bar(*env.store, *env.settings, BrowserShelfModel::shared());
    for (auto _ : state) {
        showFully(bar);
        state.PauseTiming();
        bar.hide();
        finishSlide(bar);
        state.ResumeTiming();
    }
    state.counters["clips"] = double(bar.view()->shownClips().size());
}
BENCHMARK(BM_ShowToFullyShown)->Unit(benchmark::kMillisecond);

void BM_FirstShowOfANewBar(benchmark::State& state)
{
    Environment& env = environment();
    for (auto _ : state) {
        BarWindowController bar(*env.store, *env.settings, BrowserShelfModel::shared());
        showFully(bar);
    }
}
BENCHMARK(BM_FirstShowOfANewBar)->Unit(benchmark::kMillisecond);

// Typing "résumé note 4321" one character at a time, then clearing it.
void BM_FilterPerKeystroke(benchmark::State& state)
{
    Environment& env = environment();
    BarView view(*env.store, *env.settings, BrowserShelfModel::shared());
    view.resize(1600, 352);
    const QString query = QStringLiteral("résumé note 4321");
    view.searchField()->setText(query); // folds every clip once
    view.searchField()->clear();
    qsizetype keystrokes = 0;
    for (auto _ : state) {
        for (qsizetype length = 1; length <= query.size(); ++length)
            view.searchField()->setText(query.left(length));
        view.searchField()->clear();
        keystrokes += query.size() + 1;
    }
    state.counters["per_keystroke"] =
        benchmark::Counter(double(keystrokes), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FilterPerKeystroke)->Unit(benchmark::kMillisecond);

void BM_FirstKeystrokeOfANewBar(benchmark::State& state)
{
    Environment& env = environment();
    for (auto _ : state) {
        state.PauseTiming();
        auto view = std::make_unique<BarView>(*env.store, *env.settings, BrowserShelfModel::shared());
        state.ResumeTiming();
        view->searchField()->setText(QStringLiteral("r"));
        benchmark::DoNotOptimize(view->shownClips().size());
    }
}
BENCHMARK(BM_FirstKeystrokeOfANewBar)->Unit(benchmark::kMillisecond);

double percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, size_t(fraction * double(samples.size())))];
}

// Watches the drawing of the search field and of the cards.
struct DrawWatch : QObject {
    QWidget* field = nullptr;
    QWidget* strip = nullptr;
    std::function<void(bool field)> drawn;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget == field)
                drawn(true);
            else if (widget == strip || strip->isAncestorOf(widget))
                drawn(false);
        }
        return false;
    }
};

// A key typed into the shown bar, one at a time: from the key to the field drawing the
// character, and to the cards of the query drawn.
void BM_TypedKeyToCharacterAndCards(benchmark::State& state)
{
    Environment& env = environment();
    BarWindowController bar(*env.store, *env.settings, BrowserShelfModel::shared());
    showFully(bar);
    BarSearchField* field = bar.view()->searchField();
    ClipStripView* strip = bar.view()->strip();
    const QString query = QStringLiteral("résumé note 4321");
    std::vector<qsizetype> expected;
    for (qsizetype length = 1; length <= query.size(); ++length)
        expected.push_back(ClipSearch::scan(env.store->history(), query.left(length)).size());
    std::vector<double> toCharacter;
    std::vector<double> toCards;
    QElapsedTimer clock;
    std::optional<double> characterAt;
    std::optional<double> cardsAt;
    qsizetype wantedCards = 0;
    QString wantedText;
    DrawWatch watch;
    watch.field = field;
    watch.strip = strip;
    watch.drawn = [&](bool isField) {
        const double at = double(clock.nsecsElapsed()) / 1e6;
        if (isField && !characterAt && field->text() == wantedText)
            characterAt = at;
        if (!isField && !cardsAt && field->text() == wantedText && strip->clips().size() == wantedCards)
            cardsAt = at;
    };
    qApp->installEventFilter(&watch);
    for (auto _ : state) {
        for (qsizetype length = 1; length <= query.size(); ++length) {
            wantedText = query.left(length);
            wantedCards = expected[size_t(length - 1)];
            characterAt.reset();
            cardsAt.reset();
            const QString typed = query.mid(length - 1, 1);
            clock.start();
            QCoreApplication::postEvent(field, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, typed));
            while ((!characterAt || !cardsAt) && clock.elapsed() < 5000)
                QCoreApplication::processEvents();
            toCharacter.push_back(characterAt.value_or(5000));
            toCards.push_back(cardsAt.value_or(5000));
        }
        state.PauseTiming();
        field->setText(QString());
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    qApp->removeEventFilter(&watch);
    state.counters["keyToCharacterP50Ms"] = percentile(toCharacter, 0.5);
    state.counters["keyToCharacterP95Ms"] = percentile(toCharacter, 0.95);
    state.counters["keyToCardsP50Ms"] = percentile(toCards, 0.5);
    state.counters["keyToCardsP95Ms"] = percentile(toCards, 0.95);
}
BENCHMARK(BM_TypedKeyToCharacterAndCards)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    sharedEnvironment.reset();
    Platform::setDefaultsForTesting(nullptr);
    return 0;
}
