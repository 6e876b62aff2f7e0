// Figures for capture: the cost of an idle monitor tick, the main-thread time and the total
// time from a copy to its clip in the store for texts and images, and, on an X display, the
// distribution of the time from another program's copy to its clip and the main thread's
// longest stall while a 20 MB copy arrives, each the old way and the current one. Prints
// figures; never passes or fails.
#include "Monitor/ClipboardMonitor.h"
#include "Platform/CloudDrive.h"
#include "Platform/Defaults.h"
#include "Platform/Pasteboard.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakePasteboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QJsonObject>
#include <QMimeData>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

constexpr int captureTimeoutMs = 30000;

class NoCloudDrive final : public Platform::CloudDrive {
public:
    QString folder() const override { return {}; }
    bool isAvailable() const override { return false; }
};

struct CaptureRig {
    CaptureRig(Platform::Pasteboard& pasteboard)
    {
        ClipboardStore::Environment environment{Settings::shared()};
        environment.localDirectory = dir.path();
        environment.cloudDrive = &cloud;
        store = std::make_unique<ClipboardStore>(environment);
        // Copies captured before the history is loaded wait for it: load it, empty, now.
        store->load();
        monitor = std::make_unique<ClipboardMonitor>(pasteboard, *store, Settings::shared());
    }

    QTemporaryDir dir;
    NoCloudDrive cloud;
    std::unique_ptr<ClipboardStore> store;
    std::unique_ptr<ClipboardMonitor> monitor;
};

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage noiseImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 7 + y) & 0xFF, (x ^ y) & 0xFF, (y * 3) & 0xFF);
    }
    return image;
}

// Runs the event loop until the condition holds; false on time-out.
template <typename Condition> bool waitFor(Condition condition, int timeoutMs = captureTimeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb") &&
           !QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty();
}

void BM_IdleTick(benchmark::State& state)
{
    FakePasteboard pasteboard;
    CaptureRig rig(pasteboard);
    for (auto _ : state)
        rig.monitor->checkForChanges();
}
BENCHMARK(BM_IdleTick);

// A text copy to its clip in the store (the store cuts texts over its limit).
void BM_CaptureText(benchmark::State& state)
{
    FakePasteboard pasteboard;
    CaptureRig rig(pasteboard);
    int i = 0;
    for (auto _ : state) {
        pasteboard.setContents(
            {{QStringLiteral("text/plain"), QByteArray(state.range(0), char('a' + i++ % 26))}});
        rig.monitor->checkForChanges();
    }
    state.counters["historyCount"] = double(rig.store->history().size());
}
BENCHMARK(BM_CaptureText)
    ->Arg(64)
    ->Arg(64 * 1024)
    ->Arg(4 * 1024 * 1024)
    ->Arg(50 * 1024 * 1024)
    ->Unit(benchmark::kMillisecond);

// An image copy: the main thread's share (the tick) and the time until the clip is stored.
void captureImage(benchmark::State& state, const char* type, const char* format)
{
    FakePasteboard pasteboard;
    CaptureRig rig(pasteboard);
    const QByteArray bytes = encoded(noiseImage(int(state.range(0)), int(state.range(1))), format);
    double mainThreadMs = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        rig.store->clearHistory();
        bool captured = false;
        const auto connection =
            QObject::connect(rig.monitor.get(), &ClipboardMonitor::captured, [&] { captured = true; });
        pasteboard.setContents({{QString::fromLatin1(type), bytes}});
        timer.start();
        rig.monitor->checkForChanges();
        mainThreadMs += double(timer.nsecsElapsed()) / 1e6;
        if (!waitFor([&] { return captured; }, captureTimeoutMs))
            state.SkipWithError("no capture");
        QObject::disconnect(connection);
    }
    state.counters["mainThreadMs"] = benchmark::Counter(mainThreadMs, benchmark::Counter::kAvgIterations);
    state.counters["inputMB"] = double(bytes.size()) / (1024.0 * 1024.0);
}

void BM_CapturePng(benchmark::State& state)
{
    captureImage(state, "image/png", "PNG");
}
BENCHMARK(BM_CapturePng)->Args({1000, 1000})->Args({4000, 3000})->Unit(benchmark::kMillisecond);

void BM_CaptureBmpConvertedToPng(benchmark::State& state)
{
    captureImage(state, "image/bmp", "BMP");
}
BENCHMARK(BM_CaptureBmpConvertedToPng)->Args({1000, 1000})->Args({4000, 3000})->Unit(benchmark::kMillisecond);

// xclip copying `bytes`; it serves the copy until another client takes the clipboard.
std::unique_ptr<QProcess> startXclip(const QByteArray& bytes)
{
    auto xclip = std::make_unique<QProcess>();
    xclip->start(QStringLiteral("xclip"), {"-quiet", "-selection", "clipboard", "-i"});
    xclip->write(bytes);
    xclip->closeWriteChannel();
    return xclip;
}

void stopXclip(QProcess& xclip)
{
    xclip.kill();
    xclip.waitForFinished();
}

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(fraction * double(values.size())))];
}

enum CaptureMode { tickOnly, onEachRead };

// Arg 0 of a benchmark: the monitor ticks only (how copies were taken before) or runs.
void startCapture(const benchmark::State& state, CaptureRig& rig, QTimer& tick)
{
    if (state.range(0) == onEachRead) {
        rig.monitor->start();
        return;
    }
    tick.setInterval(ClipboardMonitor::tickInterval);
    QObject::connect(&tick, &QTimer::timeout, rig.monitor.get(), &ClipboardMonitor::checkForChanges);
    tick.start();
}

// From xclip's start to the clip in the store. Arg 0: only the 0.4 s tick (how copies were
// taken before), arg 1: each copy taken as soon as it is read.
void BM_CopyToCaptured(benchmark::State& state)
{
    if (!onX11()) {
        state.SkipWithError("needs an X display and xclip");
        return;
    }
    CaptureRig rig(Platform::pasteboard());
    QTimer tick;
    startCapture(state, rig, tick);
    QRandomGenerator random(7);
    std::vector<double> latencies;
    int i = 0;
    for (auto _ : state) {
        // Copies come at any moment of the tick, not just after the last one.
        state.PauseTiming();
        waitFor([] { return false; }, int(random.bounded(quint32(ClipboardMonitor::tickInterval.count()))));
        state.ResumeTiming();
        bool captured = false;
        const auto connection =
            QObject::connect(rig.monitor.get(), &ClipboardMonitor::captured, [&] { captured = true; });
        QElapsedTimer timer;
        timer.start();
        const std::unique_ptr<QProcess> xclip = startXclip(QByteArray("copy ") + QByteArray::number(i++));
        if (!waitFor([&] { return captured; }, captureTimeoutMs))
            state.SkipWithError("no capture");
        latencies.push_back(double(timer.nsecsElapsed()) / 1e6);
        QObject::disconnect(connection);
        stopXclip(*xclip);
    }
    state.counters["p50Ms"] = percentile(latencies, 0.5);
    state.counters["p90Ms"] = percentile(latencies, 0.9);
    state.counters["maxMs"] = percentile(latencies, 1.0);
}
BENCHMARK(BM_CopyToCaptured)
    ->Arg(tickOnly)
    ->Arg(onEachRead)
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// 20 copies 0.1 s apart: how many become clips, the old way (tick only) and the current one.
void BM_BurstCaptured(benchmark::State& state)
{
    if (!onX11()) {
        state.SkipWithError("needs an X display and xclip");
        return;
    }
    constexpr int copies = 20;
    constexpr int copyIntervalMs = 100;
    CaptureRig rig(Platform::pasteboard());
    QTimer tick;
    startCapture(state, rig, tick);
    for (auto _ : state) {
        rig.store->clearHistory();
        std::vector<std::unique_ptr<QProcess>> copiers;
        for (int i = 0; i < copies; ++i) {
            copiers.push_back(startXclip(QByteArray("burst ") + QByteArray::number(i)));
            waitFor([] { return false; }, copyIntervalMs);
        }
        const auto burstClips = [&rig] {
            return std::count_if(
                rig.store->history().cbegin(), rig.store->history().cend(),
                [](const ClipItem& clip) { return clip.text && clip.text->startsWith("burst "); });
        };
        waitFor([&] { return burstClips() == copies; }, int(5 * ClipboardMonitor::tickInterval.count()));
        state.counters["captured"] = double(burstClips());
        for (const auto& copier : copiers)
            stopXclip(*copier);
    }
    state.counters["copies"] = copies;
}
BENCHMARK(BM_BurstCaptured)->Arg(tickOnly)->Arg(onEachRead)->Iterations(1)->Unit(benchmark::kMillisecond);

// The main thread's longest stall while xclip hands over a 20 MB copy (in INCR chunks).
// Arg 0: the copy read again through QClipboard on the main thread, as copies were read
// before (after the reader is done with it: xclip serves one transfer at a time); arg 1: read
// by the pasteboard's reader thread and taken by the running monitor.
void BM_MainThreadStallDuringLargeCopy(benchmark::State& state)
{
    if (!onX11()) {
        state.SkipWithError("needs an X display and xclip");
        return;
    }
    constexpr qsizetype copyBytes = 20 * 1024 * 1024;
    constexpr int settleMs = 200;
    const bool throughQt = state.range(0) == tickOnly;
    CaptureRig rig(Platform::pasteboard());
    if (!throughQt)
        rig.monitor->start();
    double longestStallMs = 0;
    int i = 0;
    for (auto _ : state) {
        const QByteArray text = QByteArray::number(i++) + QByteArray(copyBytes, 'x');
        bool captured = false;
        const auto connection =
            QObject::connect(rig.monitor.get(), &ClipboardMonitor::captured, [&] { captured = true; });
        QElapsedTimer sinceLastPass;
        sinceLastPass.start();
        const std::unique_ptr<QProcess> xclip = startXclip(text);
        bool done = waitFor([&] {
            if (!throughQt)
                longestStallMs = std::max(longestStallMs, double(sinceLastPass.nsecsElapsed()) / 1e6);
            sinceLastPass.restart();
            return throughQt ? Platform::pasteboard().data(QStringLiteral("text/plain")) == text : captured;
        });
        if (done && throughQt) {
            // Until QClipboard too has heard of the new owner.
            waitFor([] { return false; }, settleMs);
            QElapsedTimer read;
            read.start();
            const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
            done = data && data->data(QStringLiteral("text/plain")).size() == text.size();
            longestStallMs = std::max(longestStallMs, double(read.nsecsElapsed()) / 1e6);
        }
        if (!done)
            state.SkipWithError("the copy never arrived");
        QObject::disconnect(connection);
        stopXclip(*xclip);
    }
    state.counters["longestStallMs"] = longestStallMs;
}
BENCHMARK(BM_MainThreadStallDuringLargeCopy)
    ->Arg(tickOnly)
    ->Arg(onEachRead)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    FakeDefaults defaults;
    Platform::setDefaultsForTesting(&defaults);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Platform::setDefaultsForTesting(nullptr);
    return 0;
}
