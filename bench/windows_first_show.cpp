// Figures for the first show of the settings window on each of its panes and of a
// conversation window with a few materials: construction, layout and the first paint.
// Prints figures; never passes or fails.
#include "AI/ConversationDraft.h"
#include "Models/ClipItem.h"
#include "Platform/Defaults.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "UI/AI/ConversationWindowController.h"
#include "UI/Settings/SettingsNavigation.h"
#include "UI/Settings/SettingsPages.h"
#include "UI/Settings/SettingsTab.h"
#include "UI/Settings/SettingsWindowController.h"
#include "fakes/FakeDefaults.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// Lays out and paints a window once, as its first show does.
void renderOnce(QWidget* window)
{
    QCoreApplication::processEvents();
    QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
    window->render(&image);
    benchmark::DoNotOptimize(image.bits());
}

void BM_SettingsWindowFirstShow(benchmark::State& state)
{
    const auto tab = SettingsTabs::allCases().at(state.range(0));
    state.SetLabel(SettingsTabs::rawValue(tab).toStdString());
    ClipboardStore store({Settings::shared()});
    store.load();
    for (auto _ : state) {
        SettingsNavigation::shared().setTab(tab);
        auto controller = std::make_unique<SettingsWindowController>(
            SettingsPageServices{Settings::shared(), store, {}}, [] {});
        controller->present(tab);
        renderOnce(controller->window());
        controller->window()->close();
    }
}
BENCHMARK(BM_SettingsWindowFirstShow)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

ConversationDraft draftOfThree()
{
    QImage picture(1600, 1000, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");

    ClipItem text;
    text.type = ClipType::text;
    text.text = QString(4000, u'a');
    ClipItem code = text;
    code.text = QStringLiteral("for (int i = 0; i < n; ++i) {\n    sum += i;\n}\n").repeated(50);
    ClipItem image;
    image.type = ClipType::image;
    return ConversationDraft::capture({text, code, image}, [&](const ClipItem&) { return png; });
}

void BM_ConversationWindowFirstShow(benchmark::State& state)
{
    const ConversationDraft draft = draftOfThree();
    for (auto _ : state) {
        ConversationWindowController controller(
            draft, [](auto, const QString&, auto completion) { completion(false); });
        controller.window()->show();
        renderOnce(controller.window());
        controller.window()->close();
    }
}
BENCHMARK(BM_ConversationWindowFirstShow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The pages open the shared history store and preferences: keep them out of the user's.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    FakeDefaults defaults;
    Platform::setDefaultsForTesting(&defaults);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
