#include "ModelEditorFixture.h"

#include "UI/Appearance.h"
#include "UI/Settings/ModelEditorGrowingText.h"
#include "UI/Theme.h"
#include "Util/NotificationCenter.h"

#include <QCheckBox>
#include <QMenu>
#include <QSpinBox>
#include <array>
#include <functional>

namespace {

const QString keyWillBeRemoved = QStringLiteral("Key will be removed when saved");

QStringList menuTitles(const ModelEditorView& view)
{
    QStringList titles;
    for (const QAction* action : view.findChild<QToolButton*>(QStringLiteral("more"))->menu()->actions())
        titles.append(action->text());
    return titles;
}

using ModelEditorFrameTest = ModelEditorFixture;

TEST_F(ModelEditorFrameTest, NewAndSavedModelsDifferInTitleAndMenu)
{
    const struct {
        bool isNew;
        QString title;
        QStringList menu;
    } cases[] = {
        {true, "Add Model", {"Save without testing"}},
        {false, "Edit Model", {"Save without testing", "Remove Saved Key"}},
    };
    for (const auto& c : cases) {
        open(model(), c.isNew);
        EXPECT_EQ(child<QLabel>(QStringLiteral("title"))->text(), c.title);
        EXPECT_EQ(menuTitles(*view), c.menu);
        EXPECT_TRUE(view->isModal());
        EXPECT_EQ(view->windowModality(), Qt::WindowModal);
        // Typing goes into the address at once, never into a field further down.
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
        EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(QStringLiteral("address")));
    }
}

TEST_F(ModelEditorFrameTest, HeightFollowsTheMoreOptionsRow)
{
    for (const bool showOptions : {false, true}) {
        open(model(), false, showOptions);
        auto* options = numberField(QStringLiteral("Output limit (tokens)"));
        EXPECT_EQ(view->size(), QSize(500, showOptions ? 540 : 400));
        EXPECT_EQ(options->isVisible(), showOptions);
        child<QToolButton>(QStringLiteral("moreOptions"))->click();
        EXPECT_EQ(view->size(), QSize(500, showOptions ? 400 : 540));
        EXPECT_EQ(options->isVisible(), !showOptions);
    }
}

TEST_F(ModelEditorFrameTest, EveryFieldWritesTheWorkingCopyOnlyAndCancelStoresNothing)
{
    const SavedModel saved = model();
    settings->save(saved, QStringLiteral("old-key"));
    const ModelLibrary before = settings->library();
    const int writes = keychain.writes;
    open(saved, false, true);

    child<QLineEdit>(QStringLiteral("address"))->clear();
    typeInto(QStringLiteral("address"), QStringLiteral("https://other.example.com/v1"));
    typeInto(QStringLiteral("modelName"), QStringLiteral("-2"));
    typeInto(QStringLiteral("key"), QStringLiteral("new-key"));
    child<QComboBox>(QStringLiteral("provider"))->setCurrentIndex(3);
    numberField(QStringLiteral("Seed"))->setShownText(QStringLiteral("42"));
    numberField(QStringLiteral("Temperature"))->setShownText(QStringLiteral("0,5"));

    EXPECT_EQ(view->configuration().baseURL, "https://other.example.com/v1");
    EXPECT_EQ(view->configuration().model, "model-a-2");
    EXPECT_EQ(view->configuration().provider, ModelProvider::qwen);
    EXPECT_EQ(view->configuration().seed, 42);
    EXPECT_EQ(view->configuration().temperature, 0.5);
    EXPECT_EQ(view->credentials().typedKey, "new-key");
    EXPECT_EQ(settings->library(), before);

    child<QPushButton>(QStringLiteral("cancel"))->click();
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(view->result(), QDialog::Rejected);
    EXPECT_EQ(settings->library(), before);
    EXPECT_EQ(keychain.writes, writes);
    EXPECT_EQ(storedKey(), "old-key");
}

TEST_F(ModelEditorFrameTest, LanguageChangeRedrawsTheTexts)
{
    open(model());
    EXPECT_EQ(validateAndSave()->text(), "Validate && Save") << "a lone & would be a mnemonic";
    Localization::shared().setLanguage(AppLanguage::japanese);
    EXPECT_EQ(child<QLabel>(QStringLiteral("title"))->text(), "モデルを編集");
    EXPECT_EQ(validateAndSave()->text(), "検証して保存");
    Localization::shared().setLanguage(AppLanguage::english);
}

TEST_F(ModelEditorFrameTest, StatusClearsOnConfigurationChangesOnly)
{
    using Step = std::function<void(ModelEditorFixture&)>;
    const struct {
        const char* name;
        Step step;
        bool clears;
    } cases[] = {
        {"address", [](auto& f) { f.typeInto(QStringLiteral("address"), QStringLiteral("x")); }, true},
        {"model name", [](auto& f) { f.typeInto(QStringLiteral("modelName"), QStringLiteral("x")); }, true},
        {"provider",
         [](auto& f) { f.template child<QComboBox>(QStringLiteral("provider"))->setCurrentIndex(1); }, true},
        {"number", [](auto& f) { f.numberField(QStringLiteral("Seed"))->setShownText(QStringLiteral("3")); },
         true},
        {"invalid number",
         [](auto& f) { f.numberField(QStringLiteral("Seed"))->setShownText(QStringLiteral("z")); }, false},
        {"reset",
         [](auto& f) {
             f.numberField(QStringLiteral("Seed"))->setShownText(QStringLiteral("3"));
             f.view->removeKey();
             f.template child<QToolButton>(QStringLiteral("resetModelOptions"))->click();
         },
         true},
        {"language", [](auto&) { NotificationCenter::shared().post(Notifications::languageDidChange); },
         true},
        {"key", [](auto& f) { f.typeInto(QStringLiteral("key"), QStringLiteral("k")); }, false},
        {"eye", [](auto& f) { f.template child<QToolButton>(QStringLiteral("eye"))->click(); }, false},
        {"more options",
         [](auto& f) { f.template child<QToolButton>(QStringLiteral("moreOptions"))->click(); }, false},
    };
    for (const auto& c : cases) {
        open(model(), false, true);
        view->removeKey();
        ASSERT_EQ(shownStatus(), keyWillBeRemoved);
        c.step(*this);
        EXPECT_EQ(view->status().has_value(), !c.clears) << c.name;
        EXPECT_EQ(status()->isVisible(), !c.clears) << c.name;
        EXPECT_TRUE(view->credentials().removeSavedKey) << c.name;
        EXPECT_EQ(child<QLineEdit>(QStringLiteral("key"))->placeholderText(),
                  c.name == std::string("key") ? "Key will be removed when saved" : keyWillBeRemoved)
            << c.name;
    }
}

TEST_F(ModelEditorFrameTest, ProviderSwitchDropsTheBudgetOnlyWithoutBudgetSupport)
{
    const struct {
        ModelProvider from;
        int toIndex;
        bool keeps;
    } cases[] = {
        {ModelProvider::qwen, 4, true}, // to openRouter
        {ModelProvider::openRouter, 3, true},  {ModelProvider::qwen, 0, false},
        {ModelProvider::openRouter, 1, false}, {ModelProvider::qwen, 5, false},
    };
    for (const auto& c : cases) {
        SavedModel saved = model(address, c.from);
        saved.configuration.thinking = ThinkingMode::enabled;
        saved.configuration.thinkingBudget = 4096;
        open(saved, false, true);
        ASSERT_TRUE(numberField(QStringLiteral("Thinking budget (tokens)"))->isVisible());
        child<QComboBox>(QStringLiteral("provider"))->setCurrentIndex(c.toIndex);
        EXPECT_EQ(view->configuration().thinkingBudget, c.keeps ? std::optional<qint64>(4096) : std::nullopt);
        EXPECT_EQ(numberField(QStringLiteral("Thinking budget (tokens)"))->isVisible(), c.keeps);
        EXPECT_EQ(child<QComboBox>(QStringLiteral("thinkingEffort"))->isVisible(), !c.keeps);
        EXPECT_EQ(child<QComboBox>(QStringLiteral("thinkingControl"))->isVisible(), c.keeps);
        EXPECT_EQ(view->configuration().baseURL, address);
        EXPECT_EQ(view->configuration().model, "model-a");
    }
}

TEST_F(ModelEditorFrameTest, EyeTogglesVisibilityAndKeepsTheTypedKey)
{
    open(model());
    auto* key = child<QLineEdit>(QStringLiteral("key"));
    auto* eye = child<QToolButton>(QStringLiteral("eye"));
    typeInto(QStringLiteral("key"), QStringLiteral("sk-1"));
    EXPECT_EQ(key->echoMode(), QLineEdit::Password);
    EXPECT_EQ(eye->property("symbol").toString(), "eye");
    EXPECT_EQ(key->placeholderText(), "Leave blank to keep the saved key");
    eye->click();
    EXPECT_EQ(key->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(eye->property("symbol").toString(), "eye.slash");
    EXPECT_EQ(key->text(), "sk-1");
    eye->click();
    EXPECT_EQ(key->echoMode(), QLineEdit::Password);
    EXPECT_EQ(view->credentials().typedKey, "sk-1");
}

TEST_F(ModelEditorFrameTest, UnreadableNumberBlocksSavingUntilFixedEvenWhenFolded)
{
    const ModelLibrary before = settings->library();
    open(model(), false, true);
    auto* note = child<QLabel>(QStringLiteral("invalidNote"));
    auto* more = child<QToolButton>(QStringLiteral("more"));
    auto* field = numberField(QStringLiteral("Temperature"));
    field->setShownText(QStringLiteral("1.2.3"));
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), "Check the numeric fields in More options.");
    EXPECT_FALSE(validateAndSave()->isEnabled());
    EXPECT_FALSE(more->isEnabled());

    child<QToolButton>(QStringLiteral("moreOptions"))->click();
    QTest::keyClick(child<QLineEdit>(QStringLiteral("modelName")), Qt::Key_Return);
    view->save();
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(settings->library(), before);

    child<QToolButton>(QStringLiteral("moreOptions"))->click();
    EXPECT_EQ(field->text(), "1.2.3");
    field->setShownText(QString());
    EXPECT_FALSE(note->isVisible());
    EXPECT_TRUE(validateAndSave()->isEnabled());
    EXPECT_TRUE(more->isEnabled());
}

TEST_F(ModelEditorFrameTest, ResetKeepsTheConnectionAndClearsEverythingElse)
{
    SavedModel saved = model(address, ModelProvider::qwen);
    saved.configuration.supportsImages = true;
    saved.configuration.thinking = ThinkingMode::enabled;
    saved.configuration.thinkingBudget = 1000;
    saved.configuration.temperature = 0.4;
    saved.configuration.stopSequences = QStringLiteral("END");
    saved.configuration.timeoutSeconds = 600;
    open(saved, false, true);
    typeInto(QStringLiteral("key"), QStringLiteral("typed"));
    numberField(QStringLiteral("Seed"))->setShownText(QStringLiteral("x"));

    child<QToolButton>(QStringLiteral("resetModelOptions"))->click();

    const ModelConfiguration expected(address, QStringLiteral("model-a"), true, ModelProvider::qwen);
    EXPECT_EQ(view->configuration(), expected);
    EXPECT_TRUE(view->invalidFields().isEmpty());
    EXPECT_EQ(numberField(QStringLiteral("Seed"))->text(), "");
    EXPECT_EQ(numberField(QStringLiteral("Temperature"))->text(), "");
    EXPECT_EQ(child<QSpinBox>(QStringLiteral("timeout"))->text(), "180 s");
    EXPECT_EQ(view->credentials().typedKey, "typed");
    EXPECT_EQ(child<QComboBox>(QStringLiteral("thinkingControl"))->isVisible(), false);
}

TEST_F(ModelEditorFrameTest, ThinkingControlsFollowModeAndBudgetChoice)
{
    open(model(address, ModelProvider::openRouter), false, true);
    auto* mode = child<QComboBox>(QStringLiteral("thinkingMode"));
    auto* control = child<QComboBox>(QStringLiteral("thinkingControl"));
    auto* sampling = numberField(QStringLiteral("Top P"));
    EXPECT_FALSE(control->isVisible());
    EXPECT_TRUE(sampling->isEnabled());

    mode->setCurrentIndex(1); // On
    EXPECT_TRUE(control->isVisible());
    EXPECT_FALSE(sampling->isEnabled());
    child<QComboBox>(QStringLiteral("thinkingEffort"))->setCurrentIndex(4);
    EXPECT_EQ(view->configuration().reasoningEffort, ReasoningEffort::high);

    control->setCurrentIndex(1); // Token budget
    EXPECT_EQ(view->configuration().thinkingBudget, 2048);
    EXPECT_EQ(view->configuration().reasoningEffort, ReasoningEffort::serviceDefault);
    EXPECT_EQ(numberField(QStringLiteral("Thinking budget (tokens)"))->text(), "2048");

    control->setCurrentIndex(0); // Effort
    EXPECT_EQ(view->configuration().thinkingBudget, std::nullopt);
    mode->setCurrentIndex(2); // Off
    EXPECT_EQ(view->configuration().thinking, ThinkingMode::disabled);
    EXPECT_TRUE(sampling->isEnabled());
}

TEST_F(ModelEditorFrameTest, TimeoutStepsByTenBetweenTenAndNineHundred)
{
    open(model(), false, true);
    auto* stepper = child<QSpinBox>(QStringLiteral("timeout"));
    EXPECT_EQ(stepper->minimum(), 10);
    EXPECT_EQ(stepper->maximum(), 900);
    stepper->setValue(10);
    stepper->stepDown();
    EXPECT_EQ(view->configuration().timeoutSeconds, 10);
    stepper->stepUp();
    EXPECT_EQ(view->configuration().timeoutSeconds, 20);
    EXPECT_EQ(stepper->text(), "20 s");
}

// The advanced fields start at one x, and the footnote beside the reset button keeps to one line.
TEST_F(ModelEditorFrameTest, AdvancedParametersLineUpAndTheirFootnoteKeepsToOneLine)
{
    for (const AppLanguage language : {AppLanguage::english, AppLanguage::japanese}) {
        SCOPED_TRACE(AppLanguages::rawValue(language).toStdString());
        Localization::shared().setLanguage(language);
        open(model(), false, true);
        child<QToolButton>(QStringLiteral("advancedParameters"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QWidget* advanced = child<QCheckBox>(QStringLiteral("supportsImages"))->parentWidget();
        const QList<const QWidget*> fields{
            numberField(QStringLiteral("Temperature")),
            numberField(QStringLiteral("Frequency penalty")),
            numberField(QStringLiteral("Seed")),
            child<ModelEditorGrowingText>(QStringLiteral("stopSequences")),
            child<ModelEditorGrowingText>(QStringLiteral("systemPrompt")),
            child<QSpinBox>(QStringLiteral("timeout")),
        };
        for (const QWidget* field : fields)
            EXPECT_EQ(field->mapTo(advanced, QPoint()).x(), fields.first()->mapTo(advanced, QPoint()).x())
                << field->objectName().toStdString();
        const QString footnote =
            Localization::string(QStringLiteral("Leave optional values blank to follow the service."));
        const QList<QLabel*> labels = advanced->findChildren<QLabel*>();
        const auto note =
            std::find_if(labels.cbegin(), labels.cend(), [&](QLabel* l) { return l->text() == footnote; });
        ASSERT_NE(note, labels.cend());
        EXPECT_EQ((*note)->heightForWidth((*note)->width()), (*note)->heightForWidth(QWIDGETSIZE_MAX));
    }
    Localization::shared().setLanguage(AppLanguage::english);
}

TEST_F(ModelEditorFrameTest, TextFieldsGrowWithinTheirLineLimits)
{
    open(model(), false, true);
    auto* stops = child<ModelEditorGrowingText>(QStringLiteral("stopSequences"));
    auto* instructions = child<ModelEditorGrowingText>(QStringLiteral("systemPrompt"));
    EXPECT_EQ(stops->shownLines(), 1);
    EXPECT_EQ(instructions->shownLines(), 2);
    stops->setPlainText(QStringLiteral("a\nb\nc\nd\ne"));
    instructions->setPlainText(QStringLiteral("1\n2\n3"));
    EXPECT_EQ(stops->shownLines(), 4);
    EXPECT_EQ(instructions->shownLines(), 3);
    EXPECT_EQ(view->configuration().stopSequences, "a\nb\nc\nd\ne");
    EXPECT_EQ(view->configuration().systemPrompt, "1\n2\n3");
}

// The painted field's weakest edge against the sheet around it: on each side, the stronger of
// its outer two pixels at the middle of that side.
double weakestEdgeContrast(const QImage& field, const QColor& sheet)
{
    const QRect r = field.rect();
    const QPoint mid = r.center();
    const std::array<std::array<QPoint, 2>, 4> sides{{
        {QPoint(r.left(), mid.y()), QPoint(r.left() + 1, mid.y())},
        {QPoint(r.right(), mid.y()), QPoint(r.right() - 1, mid.y())},
        {QPoint(mid.x(), r.top()), QPoint(mid.x(), r.top() + 1)},
        {QPoint(mid.x(), r.bottom()), QPoint(mid.x(), r.bottom() - 1)},
    }};
    double weakest = 21;
    for (const auto& side : sides)
        weakest = std::min(weakest, std::max(Theme::contrastRatio(field.pixelColor(side[0]), sheet),
                                             Theme::contrastRatio(field.pixelColor(side[1]), sheet)));
    return weakest;
}

// The columns of the first and last pixel inked on the field's fill, inside its frame.
std::pair<int, int> inkedColumns(const QImage& field)
{
    const QRect inside = field.rect().adjusted(3, 3, -3, -3);
    const QColor fill = field.pixelColor(inside.left(), field.rect().center().y());
    int first = field.width();
    int last = -1;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (Theme::contrastRatio(field.pixelColor(x, y), fill) > 1.3) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return {first, last};
}

// An empty field melted into the dark sheet, and a right-aligned placeholder ran into the border.
TEST_F(ModelEditorFrameTest, FieldsStandOutFromTheSheetAndKeepTheirTextOffTheBorder)
{
    constexpr double edgeContrast = 3.0;
    constexpr int innerMargin = 5; // pixels between the border and the text, at least
    enum class Text { left, right, none };
    const struct {
        QString name;
        Text text;
    } fields[] = {
        {QStringLiteral("modelName"), Text::left},              // placeholder "model-id"
        {QStringLiteral("Output limit (tokens)"), Text::right}, // placeholder "Service default"
        {QStringLiteral("timeout"), Text::left},                // "180 s"
        {QStringLiteral("stopSequences"), Text::none},
    };
    for (const AppearanceMode mode : {AppearanceMode::light, AppearanceMode::dark}) {
        Appearance::shared().applyForThisRun(mode);
        SavedModel saved = model();
        saved.configuration.model.clear();
        open(saved, false, true);
        child<QToolButton>(QStringLiteral("advancedParameters"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        view->findChild<QPushButton*>(QStringLiteral("validateAndSave"))->setFocus();
        for (const auto& field : fields) {
            SCOPED_TRACE((AppearanceModes::rawValue(mode) + u' ' + field.name).toStdString());
            QWidget* widget = child<QWidget>(field.name);
            ASSERT_TRUE(widget);
            const QImage image = widget->grab().toImage();
            EXPECT_GE(weakestEdgeContrast(image, widget->parentWidget()->palette().color(QPalette::Window)),
                      edgeContrast);
            const auto [first, last] = inkedColumns(image);
            if (field.text == Text::left) {
                EXPECT_GE(first - 1, innerMargin);
            } else if (field.text == Text::right) {
                EXPECT_GE(image.width() - 2 - last, innerMargin);
            }
        }
    }
    Appearance::shared().applyForThisRun(AppearanceMode::light);
}

using ModelEditorSaveTest = ModelEditorFixture;

TEST_F(ModelEditorSaveTest, FailedSaveShowsTheMessageAndKeepsSheetAndKey)
{
    using Edit = std::function<void(ModelEditorFixture&)>;
    const struct {
        const char* name;
        Edit edit;
        QString message;
    } cases[] = {
        {"address",
         [](auto& f) {
             f.template child<QLineEdit>(QStringLiteral("address"))->clear();
             f.typeInto(QStringLiteral("address"), QStringLiteral("http://api.example.com/v1"));
         },
         "Enter an API address that starts with https:// (http:// only for this computer)."},
        {"model name",
         [](auto& f) {
             auto* name = f.template child<QLineEdit>(QStringLiteral("modelName"));
             name->selectAll();
             QTest::keyClick(name, Qt::Key_Backspace);
             QTest::keyClicks(name, QStringLiteral(" "));
         },
         "Enter a model name."},
        {"temperature", [](auto& f) { f.numberField(QStringLiteral("Temperature"))->setShownText("2.5"); },
         "Temperature must be between 0 and 2."},
        {"context",
         [](auto& f) {
             f.numberField(QStringLiteral("Output limit (tokens)"))->setShownText("4000");
             f.numberField(QStringLiteral("Context budget (estimated tokens)"))->setShownText("4000");
         },
         "The output limit must be smaller than the context budget."},
        {"keychain", [](auto& f) { f.keychain.failing = true; },
         "Could not reach the keyring that holds your API keys. Make sure it is running and unlocked, then "
         "retry."},
    };
    for (const auto& c : cases) {
        keychain.failing = false;
        const ModelLibrary before = settings->library();
        open(model(), true, true);
        c.edit(*this);
        typeInto(QStringLiteral("key"), QStringLiteral("sk-9"));
        trigger(QStringLiteral("saveWithoutTesting"));
        EXPECT_EQ(shownStatus(), c.message) << c.name;
        EXPECT_TRUE(view->isVisible()) << c.name;
        EXPECT_EQ(view->credentials().typedKey, "sk-9") << c.name;
        EXPECT_EQ(child<QLineEdit>(QStringLiteral("key"))->text(), "sk-9") << c.name;
        EXPECT_EQ(settings->library(), before) << c.name;
    }
}

TEST_F(ModelEditorSaveTest, KeyRuleDecidesWhatHappensToTheStoredKey)
{
    const struct {
        const char* name;
        bool removeFirst;
        QString typed;
        std::optional<QString> stored;
    } cases[] = {
        {"blank keeps", false, "", QStringLiteral("old")},
        {"spaces keep", false, "  \t", QStringLiteral("old")},
        {"typed replaces trimmed", false, "  new-key ", QStringLiteral("new-key")},
        {"removal deletes", true, "", std::nullopt},
        {"removal with spaces deletes", true, "   ", std::nullopt},
        {"typed after removal wins", true, "newer", QStringLiteral("newer")},
    };
    for (const auto& c : cases) {
        SavedModel saved = model();
        saved.isEnabled = false;
        settings->save(saved, QStringLiteral("old"));
        open(saved);
        if (c.removeFirst)
            trigger(QStringLiteral("removeKey"));
        EXPECT_EQ(child<QLineEdit>(QStringLiteral("key"))->text(), "") << c.name;
        typeInto(QStringLiteral("key"), c.typed);
        trigger(QStringLiteral("saveWithoutTesting"));
        EXPECT_FALSE(view->isVisible()) << c.name;
        EXPECT_EQ(view->result(), QDialog::Accepted) << c.name;
        EXPECT_EQ(view->credentials(), ModelCredentialDraft()) << c.name;
        const auto found = keychain.items.constFind({ModelKeychain::service(), account});
        EXPECT_EQ(found == keychain.items.cend() ? std::nullopt : std::optional(*found), c.stored) << c.name;
        const auto model = storedModel(saved.id);
        ASSERT_TRUE(model.has_value()) << c.name;
        EXPECT_FALSE(model->isEnabled) << "the enabled flag is saved unchanged";
    }
}

} // namespace
