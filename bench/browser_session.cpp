// Figures for reading a Chrome-family browser's open tabs from its session file: parsing a
// file of 1,000 tabs in 20 windows (six navigations each, with the other commands a real file
// holds), and a whole run of the tab-reading script over it. Prints figures; never passes or
// fails.
#include "BrowserLinks/BrowserPageReader.h"
#include "unit/BrowserScripting/SessionFileWriter.h"

#include "Platform/linux/ChromiumSessionFile.h"
#include "Platform/linux/ChromiumSessionScripting.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {

constexpr int tabCount = 1000;
constexpr int windowCount = 20;
constexpr int navigationsPerTab = 6;
constexpr int otherCommandBytes = 700; // page state and the like, as in real files

QByteArray largeSession()
{
    SessionFileWriter writer;
    const QByteArray other(otherCommandBytes, 'x');
    for (int tab = 1; tab <= tabCount; ++tab) {
        writer.setTabWindow(1 + tab % windowCount, tab).setTabIndex(tab, tab / windowCount);
        for (int n = 0; n < navigationsPerTab; ++n) {
            writer.navigation(
                tab, n,
                QStringLiteral("https://site%1.example/path/page-%2?q=%3").arg(tab).arg(n).arg(tab * n),
                QStringLiteral("Page %1 of tab %2 — a typical title").arg(n).arg(tab));
            writer.command(99, other);
        }
        writer.selectNavigation(tab, navigationsPerTab - 1);
    }
    return writer.bytes();
}

void BM_ParseSession1000Tabs(benchmark::State& state)
{
    const QByteArray bytes = largeSession();
    for (auto _ : state) {
        const auto parsed = Platform::ChromiumSessionFile::parse(bytes);
        benchmark::DoNotOptimize(std::get<QList<Platform::ChromiumSessionFile::Window>>(parsed).size());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["fileKiB"] = double(bytes.size()) / 1024;
}
BENCHMARK(BM_ParseSession1000Tabs)->Unit(benchmark::kMillisecond);

// Finding the running browser, its profiles and newest file, reading, parsing and answering.
void BM_RunChromeScript1000Tabs(benchmark::State& state)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QString folder = config.path() + QStringLiteral("/chromium");
    QDir().mkpath(folder + QStringLiteral("/Default/Sessions"));
    const QString lock = QSysInfo::machineHostName() + u'-' + QString::number(getpid());
    symlink(QFile::encodeName(lock).constData(),
            QFile::encodeName(folder + QStringLiteral("/SingletonLock")).constData());
    QFile file(folder + QStringLiteral("/Default/Sessions/Session_13441101099588420"));
    if (!file.open(QIODevice::WriteOnly) || file.write(largeSession()) < 0) {
        state.SkipWithError("can't write the session file");
        return;
    }
    file.close();
    Platform::ChromiumSessionScripting scripting;
    const auto script = scripting.compile(BrowserPageReader::source(LinkBrowser::chrome));
    for (auto _ : state) {
        const auto answer = scripting.run(*script);
        benchmark::DoNotOptimize(std::get<Platform::ScriptValue>(answer).count());
    }
    state.counters["rows"] = double(tabCount);
}
BENCHMARK(BM_RunChromeScript1000Tabs)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    BrowserPageReader::installScriptCatalogue();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
