// Figures for the history store: loading and saving 5,000 clips of mixed text sizes and
// 500 image clips, merging two such stores, and how long the main thread stalls while a
// scheduled save runs in the background. Prints figures; never passes or fails.
#include "Models/ClipItem.h"
#include "Platform/Defaults.h"
#include "Store/ClipboardStore.h"
#include "Store/StoreFileCodec.h"
#include "Store/StoreMerge.h"
#include "Util/NotificationCenter.h"
#include "fakes/FakeDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

const QDateTime start(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);

// 80 % short texts (60 characters), 15 % of 2 KB, 5 % of 50 KB, one second apart.
StoreSnapshot textHistory(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    StoreSnapshot snapshot;
    for (int i = 0; i < count; ++i) {
        const int roll = int(random.bounded(100));
        const int length = roll < 80 ? 60 : roll < 95 ? 2048 : 50 * 1024;
        ClipItem clip;
        clip.text = QString(length, QChar(u'a' + i % 26)) + QString::number(i);
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
    ClipboardStore::Environment environment;
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
