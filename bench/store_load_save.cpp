// Figures for the history store: loading and saving 5,000 clips of mixed text sizes and
// 500 image clips, merging two such stores, and how long the main thread stalls while a
// scheduled save runs in the background; and at 500, 5,000 and 20,000 clips: loading in the
// background, the save after one copy, quitting with and without a change, and the first and
// later keystrokes of a search. Prints figures; never passes or fails.
#include "Models/ClipItem.h"
#include "Platform/Defaults.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "Store/StoreFileCodec.h"
#include "Store/StoreMerge.h"
#include "Store/StoreSaveSchedule.h"
#include "Util/NotificationCenter.h"
#include "fakes/FakeDefaults.h"

#include "BenchTexts.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <ctime>

namespace {

const QDateTime start(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);

// 80 % short texts (60 characters), 15 % of 2 KB, 5 % of 50 KB, one second apart.
StoreSnapshot textHistory(int count, quint32 seed, bool accented = false)
{
    QRandomGenerator random(seed);
    StoreSnapshot snapshot;
    for (int i = 0; i < count; ++i) {
        const int roll = int(random.bounded(100));
        const int length = roll < 80 ? 60 : roll < 95 ? 2048 : 50 * 1024;
        ClipItem clip;
        clip.text =
            (accented ? accentedProse(length) : QString(length, QChar(u'a' + i % 26))) + QString::number(i);
        clip.sourceBundleID = QStringLiteral("org.gnome.TextEditor");
        clip.sourceAppName = QStringLiteral("Text Editor");
        clip.createdAt = start.addSecs(-i);
        snapshot.history.append(clip);
    }
    return snapshot;
}

StoreSnapshot imageHistory(int count)
{
    StoreSnapshot snapshot;
    for (int i = 0; i < count; ++i) {
        ClipItem clip;
        clip.type = ClipType::image;
        clip.imageHash = QStringLiteral("%1").arg(i, 64, 16, QLatin1Char('0'));
        clip.imageFileName = *clip.imageHash + QStringLiteral(".png");
        clip.ocrText = QStringLiteral("recognised words of image %1").arg(i);
        clip.createdAt = start.addSecs(-i);
        snapshot.history.append(clip);
    }
    return snapshot;
}

std::unique_ptr<ClipboardStore> storeOver(const QTemporaryDir& dir, const StoreSnapshot& snapshot)
{
    ClipboardStore::Environment environment{Settings::shared()};
    environment.localDirectory = dir.path();
    auto store = std::make_unique<ClipboardStore>(environment);
    QFile file(dir.filePath(ClipboardStore::storeFileName));
    file.open(QIODevice::WriteOnly);
    file.write(StoreFileCodec::encode(snapshot));
    file.close();
    store->load();
    return store;
}

void setBytes(benchmark::State& state, const StoreSnapshot& snapshot)
{
    state.counters["fileMB"] = double(StoreFileCodec::encode(snapshot).size()) / (1024.0 * 1024.0);
}

void BM_Load(benchmark::State& state, StoreSnapshot (*make)())
{
    QTemporaryDir dir;
    const StoreSnapshot snapshot = make();
    auto store = storeOver(dir, snapshot);
    for (auto _ : state) {
        store->load();
        benchmark::DoNotOptimize(store->history().size());
    }
    setBytes(state, snapshot);
}

void BM_SaveNow(benchmark::State& state, StoreSnapshot (*make)())
{
    QTemporaryDir dir;
    const StoreSnapshot snapshot = make();
    auto store = storeOver(dir, snapshot);
    for (auto _ : state)
        store->saveNow();
    setBytes(state, snapshot);
}

StoreSnapshot texts5000()
{
    return textHistory(5000, 1);
}

StoreSnapshot images500()
{
    return imageHistory(500);
}

BENCHMARK_CAPTURE(BM_Load, texts5000, texts5000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, images500, images500)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveNow, texts5000, texts5000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveNow, images500, images500)->Unit(benchmark::kMillisecond);

// The longest gap between 1 ms ticks of the main thread while a scheduled save of 5,000
// clips runs: what the user would feel as a freeze.
void BM_MainThreadStallDuringScheduledSave(benchmark::State& state)
{
    QTemporaryDir dir;
    auto store = storeOver(dir, textHistory(5000, 2));
    QObject context;
    bool saved = false;
    NotificationCenter::shared().observe(Notifications::storeDidSave, &context,
                                         [&](QObject*) { saved = true; });
    double worstMs = 0;
    for (auto _ : state) {
        saved = false;
        ClipItem clip;
        clip.text = QStringLiteral("new %1").arg(QRandomGenerator::global()->generate());
        store->addCaptured(clip);
        QElapsedTimer gap;
        gap.start();
        double longest = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, double(gap.nsecsElapsed()) / 1e6);
            gap.restart();
        });
        tick.start();
        while (!saved)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        worstMs = std::max(worstMs, longest);
    }
    state.counters["worstStallMs"] = worstMs;
}
BENCHMARK(BM_MainThreadStallDuringScheduledSave)->Unit(benchmark::kMillisecond)->Iterations(10);

// One copy into a full history: the same-content search, insertion and trimming.
void BM_AddCapturedInto5000(benchmark::State& state)
{
    QTemporaryDir dir;
    auto store = storeOver(dir, textHistory(5000, 3));
    int i = 0;
    for (auto _ : state) {
        ClipItem clip;
        clip.text = QStringLiteral("copy %1").arg(++i);
        store->addCaptured(clip);
    }
}
BENCHMARK(BM_AddCapturedInto5000)->Unit(benchmark::kMicrosecond);

void BM_Merge5000With5000(benchmark::State& state)
{
    StoreSnapshot local = textHistory(5000, 4);
    StoreSnapshot remote = local;
    for (int i = 0; i < 500; ++i) {
        remote.history[i * 10].customTitle = QStringLiteral("edited");
        remote.history[i * 10].modifiedAt = start.addSecs(60);
        remote.deletedClips.insert(local.history[i * 10 + 1].id, start);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(StoreMerge::merge(local, remote).history.size());
}
BENCHMARK(BM_Merge5000With5000)->Unit(benchmark::kMillisecond);

double mainThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

void settle(int milliseconds)
{
    QElapsedTimer settling;
    settling.start();
    while (settling.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// A store over a file of `state.range(0)` clips, loaded and with its background work done.
std::unique_ptr<ClipboardStore> settledStore(const QTemporaryDir& dir, benchmark::State& state)
{
    auto store = storeOver(dir, textHistory(int(state.range(0)), 5));
    settle(1000);
    return store;
}

// From asking a new store to load until the history is published; the main thread's share
// is the publishing step.
void BM_LoadInBackground(benchmark::State& state)
{
    QTemporaryDir dir;
    storeOver(dir, textHistory(int(state.range(0)), 6));
    double mainMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ClipboardStore::Environment environment{Settings::shared()};
        environment.localDirectory = dir.path();
        auto store = std::make_unique<ClipboardStore>(environment);
        bool loaded = false;
        QObject::connect(store.get(), &ClipboardStore::loaded, [&] { loaded = true; });
        state.ResumeTiming();
        const double before = mainThreadCpuMs();
        store->loadInBackground();
        while (!loaded)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        mainMs += mainThreadCpuMs() - before;
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.counters["mainThreadMs"] = benchmark::Counter(mainMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_LoadInBackground)->Arg(500)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// One copy into a loaded history until the file is written: main-thread time, and the wall
// time of the save itself, from when it is due until the file is written.
void BM_SaveAfterOneCopy(benchmark::State& state)
{
    QTemporaryDir dir;
    auto store = settledStore(dir, state);
    QObject context;
    bool saved = false;
    NotificationCenter::shared().observe(Notifications::storeDidSave, &context,
                                         [&](QObject*) { saved = true; });
    QElapsedTimer wall;
    QObject::connect(store->findChild<StoreSaveSchedule*>(), &StoreSaveSchedule::due, &context,
                     [&] { wall.start(); });
    double mainMs = 0;
    double saveWallMs = 0;
    for (auto _ : state) {
        saved = false;
        ClipItem clip;
        clip.text = QStringLiteral("copied %1").arg(QRandomGenerator::global()->generate());
        const double before = mainThreadCpuMs();
        store->addCaptured(clip);
        while (!saved)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        mainMs += mainThreadCpuMs() - before;
        saveWallMs += double(wall.nsecsElapsed()) / 1e6;
    }
    state.counters["mainThreadMs"] = benchmark::Counter(mainMs, benchmark::Counter::kAvgIterations);
    state.counters["saveWallMs"] = benchmark::Counter(saveWallMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SaveAfterOneCopy)
    ->Arg(500)
    ->Arg(5000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// The store's part of quitting, with nothing unsaved or right after one copy.
void BM_Quit(benchmark::State& state)
{
    QTemporaryDir dir;
    auto store = settledStore(dir, state);
    const bool afterCopy = state.range(1) != 0;
    for (auto _ : state) {
        if (afterCopy) {
            state.PauseTiming();
            ClipItem clip;
            clip.text = QStringLiteral("copied %1").arg(QRandomGenerator::global()->generate());
            store->addCaptured(clip);
            state.ResumeTiming();
        }
        store->prepareForQuit();
    }
}
BENCHMARK(BM_Quit)
    ->ArgsProduct({{500, 5000, 20000}, {0, 1}})
    ->ArgNames({"clips", "afterCopy"})
    ->Unit(benchmark::kMillisecond);

double filterMs(ClipboardStore& store, const QString& query)
{
    QElapsedTimer timer;
    timer.start();
    benchmark::DoNotOptimize(store.searchIndex().filter(store.history(), query).size());
    return double(timer.nsecsElapsed()) / 1e6;
}

// The first keystroke at the instant the history is published (the background preparation
// still running), the first keystroke 0.3 s later (about the earliest a user types into a
// bar opened by the hot key), the keystrokes after it, and a new query searching every clip
// again.
// Arg 1: texts of letters, or of prose with accented words, which the search folds.
void BM_Keystrokes(benchmark::State& state)
{
    QTemporaryDir dir;
    const bool accented = state.range(1) != 0;
    auto store = storeOver(dir, textHistory(int(state.range(0)), 8, accented));
    double atLoadMs = 0;
    double firstMs = 0;
    double laterMs = 0;
    double newQueryMs = 0;
    const QString query = accented ? QStringLiteral("creme") : QStringLiteral("aaab");
    for (auto _ : state) {
        store->load();
        atLoadMs += filterMs(*store, QStringLiteral("z"));
        store->load();
        settle(300);
        firstMs += filterMs(*store, query.left(1));
        for (qsizetype length = 2; length <= query.size(); ++length)
            laterMs += filterMs(*store, query.left(length)) / double(query.size() - 1);
        newQueryMs += filterMs(*store, QStringLiteral("q"));
    }
    state.counters["atLoadMs"] = benchmark::Counter(atLoadMs, benchmark::Counter::kAvgIterations);
    state.counters["firstKeystrokeMs"] = benchmark::Counter(firstMs, benchmark::Counter::kAvgIterations);
    state.counters["laterKeystrokeMs"] = benchmark::Counter(laterMs, benchmark::Counter::kAvgIterations);
    state.counters["newQueryMs"] = benchmark::Counter(newQueryMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Keystrokes)
    ->ArgsProduct({{500, 5000, 20000}, {0, 1}})
    ->ArgNames({"clips", "accented"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    FakeDefaults defaults;
    defaults.setValue(QStringLiteral("historyRetentionMode"), QStringLiteral("timeInterval"));
    defaults.setValue(QStringLiteral("historyRetentionDays"), 0);
    Platform::setDefaultsForTesting(&defaults);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Platform::setDefaultsForTesting(nullptr);
    return 0;
}
