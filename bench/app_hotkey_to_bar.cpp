// Figures for the application controller with 5,000 clips in the history: the time from a
// press of the clipboard hot key to the bar starting to show (the work done on the main
// thread before the slide begins) and to the bar fully shown (including the slide), on the
// offscreen platform. Prints figures; never passes or fails.
#include "AppController.h"
#include "Hotkey/HotKeyCenter.h"
#include "Platform/Defaults.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "UI/Bar/BarWindowController.h"
#include "fakes/FakeDefaults.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int historySize = 5000;
constexpr int waitMs = 5000;
constexpr int waitSliceMs = 1;

struct Fixture {
    Fixture()
    {
        Settings::shared().setHistoryLimit(ClipboardStore::historyCeiling);
        ClipboardStore::Environment environment{Settings::shared()};
        environment.localDirectory = folder.filePath(QStringLiteral("data"));
        store = std::make_unique<ClipboardStore>(environment);
        store->load();
        for (int i = 0; i < historySize; ++i) {
            ClipItem clip;
            clip.text = QStringLiteral("Clip number %1 with some words to search through").arg(i);
            clip.sourceAppName = QStringLiteral("Text Editor");
            clip.sourceBundleID = QStringLiteral("org.gnome.TextEditor");
            store->addCaptured(clip);
        }
        controller = std::make_unique<AppController>(AppController::Services{
            *store, Settings::shared(), HotKeyCenter::shared(), [](const QString&, const QString&, double) {},
            [](const AppController::Alert&) {}});
    }

    BarPhaseKind phase() const
    {
        return controller->barController() ? controller->barController()->phase().kind : BarPhaseKind::hidden;
    }
    void waitFor(BarPhaseKind kind) const
    {
        QElapsedTimer timer;
        timer.start();
        while (phase() != kind && timer.elapsed() < waitMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, waitSliceMs);
    }

    QTemporaryDir folder;
    std::unique_ptr<ClipboardStore> store;
    std::unique_ptr<AppController> controller;
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

// One press: the manual time runs from the press until `until` is reached.
void pressAndMeasure(benchmark::State& state, BarPhaseKind until)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        f.controller->clipboardHotKeyAction();
        f.waitFor(until);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        f.controller->hideBar();
        f.waitFor(BarPhaseKind::hidden);
    }
    state.counters["clips"] = double(f.store->history().size());
}

void BM_HotKeyToBarShowing(benchmark::State& state)
{
    pressAndMeasure(state, BarPhaseKind::showing);
}
BENCHMARK(BM_HotKeyToBarShowing)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_HotKeyToBarShown(benchmark::State& state)
{
    pressAndMeasure(state, BarPhaseKind::shown);
}
BENCHMARK(BM_HotKeyToBarShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FakeDefaults defaults;
    Platform::setDefaultsForTesting(&defaults);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Platform::setDefaultsForTesting(nullptr);
    return 0;
}
