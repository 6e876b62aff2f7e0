#include "UI/Settings/SettingsDetailPage.h"
#include "support/WidgetLookup.h"
#include "ui/Settings/AboutViewRecordFixture.h"
#include "ui/Settings/ModelEditorFixture.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <functional>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#undef Status // Xlib's, not the store's

// Settings windows on a real X display with a window manager: the pointer, its wheel and its
// clicks come through XTest.
namespace {

constexpr int waitMs = 10'000;

class DesktopPointer {
public:
    DesktopPointer()
        : display_(XOpenDisplay(nullptr))
    {}
    ~DesktopPointer()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    DesktopPointer(const DesktopPointer&) = delete;
    DesktopPointer& operator=(const DesktopPointer&) = delete;

    bool isOpen() const { return display_ != nullptr; }

    void moveTo(const QWidget* widget)
    {
        const QPoint at = widget->mapToGlobal(widget->rect().center());
        // From elsewhere first: a pointer already there would enter nothing.
        XTestFakeMotionEvent(display_, -1, 0, 0, CurrentTime);
        XTestFakeMotionEvent(display_, -1, at.x(), at.y(), CurrentTime);
        XFlush(display_);
    }
    // One notch: X buttons 4 and 5 are the wheel turned up and down.
    void wheel(bool down) { press(down ? Button5 : Button4); }
    void click() { press(Button1); }

private:
    void press(unsigned int button)
    {
        XTestFakeButtonEvent(display_, button, True, CurrentTime);
        XTestFakeButtonEvent(display_, button, False, CurrentTime);
        XFlush(display_);
    }

    Display* display_ = nullptr;
};

bool onScreen()
{
    return QGuiApplication::platformName() == QStringLiteral("xcb");
}

// The wheel over a menu or stepper of the model editor scrolls the sheet and changes nothing.
struct EditorWheelCase {
    const char* control;
    std::function<QString(const ModelConfiguration&)> value;
    friend void PrintTo(const EditorWheelCase& c, std::ostream* out) { *out << c.control; }
};

class ModelEditorWheelTest : public ModelEditorFixture,
                             public ::testing::WithParamInterface<EditorWheelCase> {
protected:
    DesktopPointer pointer;
};

TEST_P(ModelEditorWheelTest, ScrollsTheSheetAndLeavesTheValue)
{
    ASSERT_TRUE(onScreen() && pointer.isOpen()) << "needs an X display";
    SavedModel saved = model();
    saved.configuration.thinking = ThinkingMode::enabled; // every menu of the thinking section shows
    open(saved, false, true);
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    child<QToolButton>(QStringLiteral("advancedParameters"))->setChecked(true);
    auto* sheet = view->findChild<QScrollArea*>();
    ASSERT_TRUE(sheet);
    QScrollBar* bar = sheet->verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->maximum() > 0; }, waitMs)) << "the sheet must overflow";
    auto* control = child<QWidget>(QString::fromLatin1(GetParam().control));
    // Once the opened sections are laid out, the control lies below the sheet's top: bring it in view.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            sheet->ensureWidgetVisible(control);
            const QRect shown(control->mapTo(sheet->viewport(), QPoint()), control->size());
            return control->mapTo(sheet->widget(), QPoint()).y() > 0 &&
                   sheet->viewport()->rect().contains(shown);
        },
        waitMs));
    // Room to scroll in the direction of the notch.
    const bool down = bar->value() < bar->maximum();
    const int before = bar->value();
    const QString value = GetParam().value(view->configuration());
    pointer.moveTo(control);
    ASSERT_TRUE(QTest::qWaitFor([&] { return control->underMouse(); }, waitMs));

    pointer.wheel(down);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->value() != before; }, waitMs)) << "the sheet stays put";
    EXPECT_EQ(down, bar->value() > before);
    EXPECT_EQ(GetParam().value(view->configuration()), value);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ModelEditorWheelTest,
    ::testing::Values(
        EditorWheelCase{"provider", [](const auto& c) { return ModelProviders::rawValue(c.provider); }},
        EditorWheelCase{"thinkingMode", [](const auto& c) { return ThinkingModes::rawValue(c.thinking); }},
        EditorWheelCase{"thinkingEffort",
                        [](const auto& c) { return ReasoningEfforts::rawValue(c.reasoningEffort); }},
        EditorWheelCase{"timeout", [](const auto& c) { return QString::number(c.timeoutSeconds); }}),
    [](const auto& info) { return std::string(info.param.control); });

// The About page of a build whose record is served over loopback HTTPS, in a real window.
using Response = LoopbackHttpServer::Response;
using Status = PublicConfigurationStore::Status;

Response record(qint64 revision)
{
    QJsonArray products;
    for (int i = 0; i < 12; ++i) // enough to overflow the window
        products.append(QJsonObject{{"id", QStringLiteral("p%1").arg(i)},
                                    {"name", QStringLiteral("Product %1").arg(i)},
                                    {"summaryEn", "A tool"},
                                    {"url", QStringLiteral("https://example.com/p%1").arg(i)},
                                    {"enabled", true},
                                    {"sortOrder", i}});
    const QJsonObject fields{{"configKey", "public-catalog-v1"},
                             {"schemaVersion", 1},
                             {"revision", revision},
                             {"authorName", "Served Maker"},
                             {"authorBioEn", "Makes tools"},
                             {"websiteURL", ""},
                             {"productsJSON", QString::fromUtf8(QJsonDocument(products).toJson())}};
    return Response::json(
        200, QJsonDocument(QJsonObject{{"recordType", "PublicAppConfig"}, {"fields", fields}}).toJson());
}

// Refresh Author & Apps at the foot of the page leaves the page there, with its result in view.
struct RefreshCase {
    const char* name;
    std::optional<Response> response; // none: asked too soon, nothing is read
    const char* result;               // the line that must stay in view
    friend void PrintTo(const RefreshCase& c, std::ostream* out) { *out << c.name; }
};

class AboutRefreshTest : public AboutViewRecordFixture, public ::testing::WithParamInterface<RefreshCase> {
protected:
    DesktopPointer pointer;
};

TEST_P(AboutRefreshTest, KeepsThePageWhereItIsWithItsResultInView)
{
    const RefreshCase& c = GetParam();
    ASSERT_TRUE(onScreen() && pointer.isOpen()) << "needs an X display";
    server.enqueue(record(3));
    makeView();
    view->resize(600, 420);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return store->status() == Status::saved; }, waitMs));
    const auto page = [&] { return view->findChild<SettingsDetailPage*>(); };
    const auto inView = [&](const QWidget* widget) {
        const QRect shown(widget->mapTo(page()->viewport(), QPoint()), widget->size());
        return widget->isVisible() && page()->viewport()->rect().contains(shown);
    };
    // Once the served record is laid out, "Quit" lies below the first screen: scroll to it.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QScrollBar* bar = page()->verticalScrollBar();
            bar->setValue(bar->maximum());
            const QPushButton* quit = button(*view, QStringLiteral("Quit Vellora"));
            return quit->mapTo(page()->widget(), QPoint()).y() > page()->viewport()->height() && inView(quit);
        },
        waitMs))
        << "the page must overflow";
    const int bottom = page()->verticalScrollBar()->value();

    if (c.response) {
        now = now.addSecs(120);
        server.enqueue(*c.response);
    }
    QPushButton* refresh = button(*view, QStringLiteral("Refresh Author & Apps"));
    pointer.moveTo(refresh);
    ASSERT_TRUE(QTest::qWaitFor([&] { return refresh->underMouse(); }, waitMs));
    pointer.click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return store->status() != Status::saved || server.requests().size() == 2; }, waitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !store->isRefreshing(); }, waitMs));

    const QString result = QString::fromLatin1(c.result);
    const auto resultInView = [&] {
        for (const QLabel* line : page()->findChildren<QLabel*>()) {
            if (line->text() == result && inView(line))
                return true;
        }
        return false;
    };
    EXPECT_TRUE(QTest::qWaitFor(resultInView, waitMs))
        << "the page is at " << page()->verticalScrollBar()->value() << " of "
        << page()->verticalScrollBar()->maximum();
    EXPECT_EQ(page()->verticalScrollBar()->value(), bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Results, AboutRefreshTest,
    ::testing::Values(RefreshCase{"read", record(4), "Last Updated"},
                      RefreshCase{"failed", Response::json(500, "{}"),
                                  "Refresh failed. Showing previously available information."},
                      RefreshCase{"slow", AboutViewRecordFixture::withholding(),
                                  "Refresh failed. Showing previously available information."},
                      RefreshCase{"refused_redirect",
                                  Response::redirect(302, "http://127.0.0.1:9/record.json"),
                                  "Refresh failed. Showing previously available information."},
                      RefreshCase{"too_soon", std::nullopt, "Please wait before refreshing again."}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
