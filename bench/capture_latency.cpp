// Figures for capture: the cost of an idle monitor tick, the main-thread time and the total
// time from a copy to its clip in the store for texts and images, and, on an X display, how
// long reading a large copy of another program holds the main thread and how long a copy
// takes to reach the store through the 0.4 s tick. Prints figures; never passes or fails.
#include "Monitor/ClipboardMonitor.h"
#include "Platform/CloudDrive.h"
#include "Platform/Defaults.h"
#include "Platform/Pasteboard.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakePasteboard.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>
#include <memory>

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
        ClipboardStore::Environment environment;
        environment.localDirectory = dir.path();
        environment.cloudDrive = &cloud;
        store = std::make_unique<ClipboardStore>(environment);
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

// Reading a copy of xclip through Qt's clipboard: this much holds the main thread.
void BM_ReadLargeXCopy(benchmark::State& state)
{
    if (!onX11()) {
        state.SkipWithError("needs an X display and xclip");
        return;
    }
    const QByteArray text(state.range(0), 'x');
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {"-quiet", "-selection", "clipboard", "-i"});
    xclip.write(text);
    xclip.closeWriteChannel();
    Platform::Pasteboard& pasteboard = Platform::pasteboard();
    if (!waitFor([&] { return pasteboard.types().contains(QStringLiteral("text/plain")); }, captureTimeoutMs))
        state.SkipWithError("xclip did not copy");
    for (auto _ : state)
        benchmark::DoNotOptimize(pasteboard.text());
    xclip.kill();
    xclip.waitForFinished();
}
BENCHMARK(BM_ReadLargeXCopy)
    ->Arg(1024 * 1024)
    ->Arg(10 * 1024 * 1024)
    ->Arg(50 * 1024 * 1024)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// From the moment xclip owns the clipboard to the clip in the store, through the timer.
void BM_CopyToStoreThroughTheTick(benchmark::State& state)
{
    if (!onX11()) {
        state.SkipWithError("needs an X display and xclip");
        return;
    }
    CaptureRig rig(Platform::pasteboard());
    rig.monitor->start();
    QRandomGenerator random(7);
    int i = 0;
    for (auto _ : state) {
        // Copies come at any moment of the tick, not just after the last one.
        state.PauseTiming();
        waitFor([] { return false; }, int(random.bounded(quint32(ClipboardMonitor::tickInterval.count()))));
        state.ResumeTiming();
        bool captured = false;
        const auto connection =
            QObject::connect(rig.monitor.get(), &ClipboardMonitor::captured, [&] { captured = true; });
        QProcess xclip;
        xclip.start(QStringLiteral("xclip"), {"-quiet", "-selection", "clipboard", "-i"});
        xclip.write(QByteArray("copy ") + QByteArray::number(i++));
        xclip.closeWriteChannel();
        if (!waitFor([&] { return captured; }, captureTimeoutMs))
            state.SkipWithError("no capture");
        QObject::disconnect(connection);
        xclip.kill();
        xclip.waitForFinished();
    }
}
BENCHMARK(BM_CopyToStoreThroughTheTick)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

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
