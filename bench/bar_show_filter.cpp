// Figures for the paste bar with 5,000 clips: from show() to fully shown (the slide driven
// to its end and the strip painted), the first show of a new bar, and filtering per
// keystroke while a query is typed. Prints figures; never passes or fails.
#include "BrowserLinks/BrowserShelfModel.h"
#include "Models/ClipItem.h"
#include "Platform/Defaults.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "Store/StoreFileCodec.h"
#include "UI/Bar/BarSearchField.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/BarWindowController.h"
#include "UI/Bar/ClipStripView.h"
#include "fakes/FakeDefaults.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QVariantAnimation>
#include <benchmark/benchmark.h>
#include <memory>

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
        clip.text = QStringLiteral("Résumé note %1 ").arg(i) + QString(length, QChar(u'a' + i % 26));
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
