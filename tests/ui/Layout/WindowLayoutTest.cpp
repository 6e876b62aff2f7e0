#include "ui/AI/ConversationViewFixture.h"
#include "ui/Bar/BarFixture.h"

#include "Platform/Keychain.h"
#include "Platform/linux/EvdevKeyMap.h"
#include "Settings/PrivacyPolicyCatalog.h"
#include "UI/Appearance.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/BarWindowController.h"
#include "UI/Bar/BrowserFilterPills.h"
#include "UI/Bar/BrowserShelfView.h"
#include "UI/Bar/PinboardTabs.h"
#include "UI/Settings/HotkeyRecorderButton.h"
#include "UI/Settings/HotkeyRecorderView.h"
#include "UI/Settings/ModelEditorView.h"
#include "UI/Settings/PrivacySupportWindowController.h"
#include "UI/Settings/SettingsNavigation.h"
#include "UI/Settings/SettingsPages.h"
#include "UI/Settings/SettingsPanel.h"
#include "UI/Settings/SettingsSegment.h"
#include "UI/Settings/SettingsWindowController.h"
#include "UI/Theme.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <functional>

// Every window a user meets, laid out and painted offscreen in each language and appearance:
// no label's text may be cut off, no two visible siblings may overlap, the chosen one of a row of
// segments, tabs or pills looks chosen, and a scroll bar shows only with something to scroll,
// its handle standing out from its trough.
namespace {

using OpenScene = std::function<QWidget*()>;

// Each window in the state the user meets it in; open() builds it.
const char* const scenes[] = {
    "settingsGeneral",
    "settingsModel",
    "settingsUpdates",
    "settingsPrivacy",
    "settingsAbout",
    "modelEditorWithOptions",
    "conversationWithTranscript",
    "privacyPolicy",
    "helpAndSupport",
    "pasteBar",
    "browserShelf",
};

constexpr int browserLinksKeyCode = 37; // L, pressed with the browser-links modifiers

const AppLanguage languages[] = {AppLanguage::english, AppLanguage::chinese, AppLanguage::traditionalChinese,
                                 AppLanguage::japanese};

// A widget named by its class and object name and those of its ancestors, for the report.
QString pathOf(const QWidget* widget)
{
    QStringList parts;
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QString name = w->objectName().isEmpty() ? QString() : QLatin1Char('#') + w->objectName();
        parts.prepend(QString::fromLatin1(w->metaObject()->className()) + name);
        if (w->isWindow())
            break;
    }
    return parts.join(QStringLiteral(" > "));
}

// The label's text does not fit its rectangle: a wrapped one is lower than its text needs at
// its width, a single-line one is narrower or lower than its text.
std::optional<QString> clippedText(const QLabel* label)
{
    if (label->text().isEmpty() || label->textFormat() == Qt::RichText)
        return std::nullopt;
    const QRect room =
        label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
    if (label->wordWrap()) {
        const int needed = label->heightForWidth(label->width());
        if (label->height() < needed)
            return QStringLiteral("wrapped text needs %1 px, has %2").arg(needed).arg(label->height());
        return std::nullopt;
    }
    const QRect text =
        label->fontMetrics().boundingRect(QRect(0, 0, 100'000, 100'000), Qt::TextExpandTabs, label->text());
    if (text.width() > room.width() || label->fontMetrics().height() > room.height())
        return QStringLiteral("text needs %1 x %2 px, has %3 x %4")
            .arg(text.width())
            .arg(label->fontMetrics().height())
            .arg(room.width())
            .arg(room.height());
    return std::nullopt;
}

// What the user can see wrong in the window: every fault, one line each.
QStringList faultsIn(QWidget* window)
{
    QStringList faults;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : widgets) {
        if (!widget->isVisible() || (widget != window && widget->isWindow()))
            continue;
        if (const auto* label = qobject_cast<QLabel*>(widget)) {
            if (const std::optional<QString> fault = clippedText(label))
                faults.append(pathOf(label) + QStringLiteral(" \"") + label->text() + QStringLiteral("\": ") +
                              *fault);
        }
        if (const auto* segment = qobject_cast<SettingsSegment*>(widget)) {
            const int room = segment->width() - 2 * SettingsSegment::textInset;
            if (segment->fontMetrics().horizontalAdvance(segment->shownText()) > room)
                faults.append(pathOf(segment) + QStringLiteral(" \"") + segment->shownText() +
                              QStringLiteral("\" is elided"));
        }
        QList<QWidget*> siblings;
        for (QObject* child : widget->children()) {
            auto* sibling = qobject_cast<QWidget*>(child);
            if (sibling && sibling->isVisible() && !sibling->isWindow() && !sibling->size().isEmpty())
                siblings.append(sibling);
        }
        for (qsizetype i = 0; i < siblings.size(); ++i) {
            for (qsizetype j = i + 1; j < siblings.size(); ++j) {
                if (siblings[i]->geometry().intersects(siblings[j]->geometry()))
                    faults.append(pathOf(siblings[i]) + QStringLiteral(" overlaps ") + pathOf(siblings[j]));
            }
        }
    }
    return faults;
}

// A chosen item stands apart from the others by at least this contrast, lighter in the dark
// appearance and darker in the light one; a scroll bar's handle from its trough by the other.
constexpr double chosenContrast = 1.5;
constexpr double scrollHandleContrast = 3.0;

// One item of a row the user chooses from, in window coordinates.
struct Choice {
    QRect rect;
    bool chosen = false;
};

// The part of the widget's rectangle that shows (not scrolled away), in window coordinates.
QRect shownInWindow(const QWidget* widget, const QRect& rect)
{
    const QRect shown = rect & widget->visibleRegion().boundingRect();
    return QRect(widget->mapTo(widget->window(), shown.topLeft()), shown.size());
}

// The rows of segments, tabs and pills shown in the window, each with its items.
QList<QList<Choice>> choiceRowsIn(QWidget* window)
{
    QList<QList<Choice>> rows;
    for (const QButtonGroup* group : window->findChildren<QButtonGroup*>()) {
        QList<Choice> row;
        for (const QAbstractButton* button : group->buttons()) {
            if (button->isVisible() && button->isEnabled())
                row.append({shownInWindow(button, button->rect()), button->isChecked()});
        }
        rows.append(row);
    }
    for (const PinboardTabs* tabs : window->findChildren<PinboardTabs*>()) {
        QList<Choice> row;
        for (qsizetype i = 0; tabs->isVisible() && i < tabs->count(); ++i)
            row.append({shownInWindow(tabs, tabs->tabRect(i)), i == tabs->currentIndex()});
        rows.append(row);
    }
    for (const BrowserFilterPills* pills : window->findChildren<BrowserFilterPills*>()) {
        QList<Choice> row;
        for (qsizetype i = 0; pills->isVisible() && i < pills->count(); ++i)
            row.append({shownInWindow(pills, pills->pillRect(i)), i == pills->currentIndex()});
        rows.append(row);
    }
    return rows;
}

// The colour that covers most of the rectangle: an item's fill, not its text.
QColor dominantColor(const QImage& image, const QRect& rect)
{
    QHash<QRgb, int> counts;
    const QRect inside = rect & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y)];
    }
    QRgb most = 0;
    int mostCount = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > mostCount) {
            most = it.key();
            mostCount = it.value();
        }
    }
    return QColor::fromRgb(most);
}

QStringList unchosenLookingChoices(QWidget* window, const QImage& image, bool dark)
{
    QStringList faults;
    for (const QList<Choice>& row : choiceRowsIn(window)) {
        const auto chosen = std::find_if(row.cbegin(), row.cend(), [](const Choice& c) { return c.chosen; });
        if (row.size() < 2 || chosen == row.cend() || chosen->rect.isEmpty())
            continue;
        const QColor chosenFill = dominantColor(image, chosen->rect);
        for (const Choice& other : row) {
            if (other.chosen || other.rect.isEmpty())
                continue;
            const QColor fill = dominantColor(image, other.rect);
            const bool towardText =
                dark ? chosenFill.lightness() > fill.lightness() : chosenFill.lightness() < fill.lightness();
            const double contrast = Theme::contrastRatio(chosenFill, fill);
            if (!towardText || contrast < chosenContrast)
                faults.append(QStringLiteral("the chosen item at (%1, %2) is %3 beside %4 (%5:1)")
                                  .arg(chosen->rect.x())
                                  .arg(chosen->rect.y())
                                  .arg(chosenFill.name(), fill.name())
                                  .arg(contrast, 0, 'f', 2));
        }
    }
    return faults;
}

QStyleOptionSlider sliderOption(const QScrollBar* bar)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    if (bar->orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    return option;
}

// A shown scroll bar with nothing to scroll, or whose handle hides in its trough.
QStringList scrollBarFaults(QWidget* window, const QImage& image)
{
    QStringList faults;
    for (const QScrollBar* bar : window->findChildren<QScrollBar*>()) {
        if (!bar->isVisible())
            continue;
        if (bar->maximum() <= bar->minimum()) {
            faults.append(pathOf(bar) + QStringLiteral(" shows with nothing to scroll"));
            continue;
        }
        const QStyleOptionSlider option = sliderOption(bar);
        const QRect groove =
            bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, bar);
        const QRect handle =
            bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
        // The trough in the middle of the longer stretch beside the handle.
        const bool vertical = bar->orientation() == Qt::Vertical;
        const int before = vertical ? handle.top() - groove.top() : handle.left() - groove.left();
        const int after = vertical ? groove.bottom() - handle.bottom() : groove.right() - handle.right();
        const int along = before >= after ? (vertical ? groove.top() : groove.left()) + before / 2
                                          : (vertical ? handle.bottom() : handle.right()) + after / 2 + 1;
        const QPoint troughPoint =
            vertical ? QPoint(groove.center().x(), along) : QPoint(along, groove.center().y());
        const QColor handleColor = image.pixelColor(bar->mapTo(window, handle.center()));
        const QColor troughColor = image.pixelColor(bar->mapTo(window, troughPoint));
        const double contrast = Theme::contrastRatio(handleColor, troughColor);
        if (contrast < scrollHandleContrast)
            faults.append(pathOf(bar) + QStringLiteral(" has a %1 handle on a %2 trough (%3:1)")
                                            .arg(handleColor.name(), troughColor.name())
                                            .arg(contrast, 0, 'f', 2));
    }
    return faults;
}

void settle(QWidget* window)
{
    // Layout requests travel up one level per pass of the event loop.
    for (int pass = 0; pass < 6; ++pass)
        QApplication::processEvents();
    window->grab(); // paints every visible widget once
}

using LayoutCase = std::tuple<const char*, AppLanguage, bool>;

class WindowLayoutTest : public ConversationViewFixture, public ::testing::WithParamInterface<LayoutCase> {
protected:
    // The General page's history store keeps its files in a folder of the test's own.
    static void SetUpTestSuite()
    {
        dataHome = new QTemporaryDir;
        qputenv("XDG_DATA_HOME", dataHome->path().toUtf8());
    }
    static void TearDownTestSuite() { delete dataHome; }

    void SetUp() override
    {
        ConversationViewFixture::SetUp();
        Platform::setKeychainForTesting(&keychain);
        Localization::shared().setLanguage(std::get<1>(GetParam()));
        Appearance::shared().setMode(std::get<2>(GetParam()) ? AppearanceMode::dark : AppearanceMode::light);
    }
    void TearDown() override
    {
        settingsWindow.reset();
        settingsStore.reset();
        privacySupport.reset();
        editor.reset();
        bar.reset();
        Appearance::shared().setMode(AppearanceMode::light);
        Platform::setKeychainForTesting(nullptr);
        ConversationViewFixture::TearDown();
    }

    QWidget* settingsPane(SettingsTab tab)
    {
        if (!settingsStore) {
            settingsStore = std::make_unique<ClipboardStore>(ClipboardStore::Environment{Settings::shared()});
            settingsStore->load();
        }
        settingsWindow = std::make_unique<SettingsWindowController>(
            navigation,
            [this](SettingsTab pane) {
                return makeSettingsPage(pane, {Settings::shared(), *settingsStore, {}});
            },
            [] {});
        settingsWindow->present(tab);
        return settingsWindow->window();
    }

    // The General page while its first recorder shows a rejection under its capsule.
    static QWidget* withRecorderRejection(QWidget* window)
    {
        auto* recorder = window->findChild<HotkeyRecorderView*>(QStringLiteral("activationRecorder"));
        if (!recorder)
            return window;
        recorder->start();
        const quint8 keyL = Platform::EvdevKeyMap::x11KeyCode(browserLinksKeyCode).value_or(0);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_L, Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier,
                        keyL, 0, 0);
        QApplication::sendEvent(recorder->recorderButton(), &press);
        return window;
    }

    QWidget* privacySupportPage(PrivacySupportPage page)
    {
        privacySupport = std::make_unique<PrivacySupportWindowController>(PrivacyPolicyCatalog::bundled());
        privacySupport->present(page);
        return privacySupport->window();
    }

    QWidget* modelEditor()
    {
        SavedModel saved = model(QStringLiteral("A model & its very long name for the row"));
        editor =
            std::make_unique<ModelEditorView>(ModelEditorDraft::make(saved, true, true), settings, nullptr);
        editor->show();
        return editor.get();
    }

    QWidget* conversation()
    {
        ConversationMaterial material;
        material.title = QStringLiteral("Quarterly report");
        material.source = QStringLiteral("Text Editor");
        material.text = QStringLiteral("Revenue rose in every region.\nCosts fell.");
        configure({model(QStringLiteral("model-a"))});
        makeView({material});
        const std::optional<ConversationSendRequest> probe = session->prepareSend(QStringLiteral("probe"));
        if (probe)
            consent.approve(probe->scope);
        ask(QStringLiteral("Summarise these materials in one sentence, please."),
            QStringLiteral("Revenue rose everywhere while costs fell, so the quarter ended well ahead."));
        return view.get();
    }

    QWidget* pasteBar()
    {
        const auto board = [](const char* name, const char* colorHex) {
            Pinboard pinboard;
            pinboard.name = QString::fromUtf8(name);
            pinboard.colorHex = QString::fromUtf8(colorHex);
            return pinboard;
        };
        barData.load(BarFixture::texts(12), {board("Work", "#34C759"), board("Reading", "#FF9500")});
        bar = std::make_unique<BarWindowController>(*barData.store, barData.settings, barData.shelf);
        bar->resetForShow();
        bar->show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::shown; }, waitMs));
        return bar->window();
    }

    // The shelf while one browser's tabs can't be read and another's can.
    QWidget* browserShelf()
    {
        QWidget* window = pasteBar();
        barData.browsers.setResult({LinkBrowser::safari, {}, std::nullopt, -1743, 3});
        barData.browsers.setPages(LinkBrowser::chrome, {ControlledBrowserReader::page(
                                                           LinkBrowser::chrome, 1, 1, QStringLiteral("Mail"),
                                                           QStringLiteral("https://mail.example.com/"))});
        bar->view()->setSource(BarSource::browserShelf());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !barData.shelf.isLoading(); }, waitMs));
        return window;
    }

    QWidget* open(const QString& scene)
    {
        const std::pair<const char*, OpenScene> openers[] = {
            {"settingsGeneral", [this] { return withRecorderRejection(settingsPane(SettingsTab::general)); }},
            {"settingsModel", [this] { return settingsPane(SettingsTab::model); }},
            {"settingsUpdates", [this] { return settingsPane(SettingsTab::updates); }},
            {"settingsPrivacy", [this] { return settingsPane(SettingsTab::privacy); }},
            {"settingsAbout", [this] { return settingsPane(SettingsTab::about); }},
            {"modelEditorWithOptions", [this] { return modelEditor(); }},
            {"conversationWithTranscript", [this] { return conversation(); }},
            {"privacyPolicy", [this] { return privacySupportPage(PrivacySupportPage::privacy); }},
            {"helpAndSupport", [this] { return privacySupportPage(PrivacySupportPage::support); }},
            {"pasteBar", [this] { return pasteBar(); }},
            {"browserShelf", [this] { return browserShelf(); }},
        };
        for (const auto& [name, opener] : openers) {
            if (scene == QLatin1String(name))
                return opener();
        }
        return nullptr;
    }

    static inline QTemporaryDir* dataHome = nullptr;
    SettingsNavigation navigation;
    std::unique_ptr<SettingsWindowController> settingsWindow;
    std::unique_ptr<PrivacySupportWindowController> privacySupport;
    std::unique_ptr<ClipboardStore> settingsStore;
    std::unique_ptr<ModelEditorView> editor;
    BarFixture barData;
    std::unique_ptr<BarWindowController> bar;
};

TEST_P(WindowLayoutTest, NoTextIsCutOffAndNoSiblingsOverlap)
{
    QWidget* window = open(QString::fromLatin1(std::get<0>(GetParam())));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    settle(window);

    for (const QString& fault : faultsIn(window))
        ADD_FAILURE() << fault.toStdString();
}

TEST_P(WindowLayoutTest, TheChosenOneLooksChosenAndScrollBarsShowTheirHandles)
{
    QWidget* window = open(QString::fromLatin1(std::get<0>(GetParam())));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    settle(window);
    const QImage image = window->grab().toImage();

    for (const QString& fault : unchosenLookingChoices(window, image, std::get<2>(GetParam())))
        ADD_FAILURE() << fault.toStdString();
    for (const QString& fault : scrollBarFaults(window, image))
        ADD_FAILURE() << fault.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowLayoutTest,
    ::testing::Combine(::testing::ValuesIn(scenes), ::testing::ValuesIn(languages), ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param)) + "_" +
               AppLanguages::rawValue(std::get<1>(info.param)).remove(u'-').toStdString() +
               (std::get<2>(info.param) ? "_dark" : "_light");
    });

} // namespace
