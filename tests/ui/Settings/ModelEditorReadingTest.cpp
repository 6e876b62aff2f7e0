#include "ModelEditorFixture.h"

#include "UI/Settings/ModelEditorGrowingText.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QKeySequence>
#include <QScrollBar>
#include <QSpinBox>
#include <functional>

// The model editor as a user reads and fills it in.
namespace {

using ModelEditorReadingTest = ModelEditorFixture;

// What a widget that reads "&" as a mnemonic marker shows, or none for other widgets.
std::optional<QString> mnemonicText(const QWidget* widget)
{
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(widget); label && label->buddy())
        return label->text();
    return std::nullopt;
}

TEST_F(ModelEditorReadingTest, ABudgetTheEditorHidesOrClearsNoLongerBlocksSaving)
{
    const struct {
        const char* name;
        std::function<void(ModelEditorReadingTest&)> hide;
    } cases[] = {
        {"a provider without budgets",
         [](auto& t) { t.template child<QComboBox>(QStringLiteral("provider"))->setCurrentIndex(0); }},
        {"thinking control back to Effort",
         [](auto& t) { t.template child<QComboBox>(QStringLiteral("thinkingControl"))->setCurrentIndex(0); }},
        {"thinking off",
         [](auto& t) { t.template child<QComboBox>(QStringLiteral("thinkingMode"))->setCurrentIndex(2); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SavedModel saved = model(address, ModelProvider::qwen);
        saved.configuration.thinking = ThinkingMode::enabled;
        saved.configuration.thinkingBudget = 4096;
        open(saved, false, true);
        ModelNumberField* budget = numberField(QStringLiteral("Thinking budget (tokens)"));
        QTest::keyClicks(budget, QStringLiteral("abc"));
        ASSERT_FALSE(validateAndSave()->isEnabled());

        c.hide(*this);
        EXPECT_FALSE(budget->isVisible());
        EXPECT_TRUE(view->invalidFields().isEmpty());
        EXPECT_FALSE(child<QLabel>(QStringLiteral("invalidNote"))->isVisible());
        EXPECT_TRUE(validateAndSave()->isEnabled());
    }
}

TEST_F(ModelEditorReadingTest, TitlesShowTheirAmpersandsAndEachValueOnce)
{
    const struct {
        AppLanguage language;
        const char* seconds;
    } cases[] = {{AppLanguage::english, "180 s"}, {AppLanguage::japanese, "180 秒"}};
    for (const auto& c : cases) {
        Localization::shared().setLanguage(c.language);
        SCOPED_TRACE(Localization::string(QStringLiteral("Context & output")).toStdString());
        SavedModel saved = model(address, ModelProvider::qwen);
        saved.configuration.model = QStringLiteral("R&D model");
        open(saved, false, true);
        child<QToolButton>(QStringLiteral("advancedParameters"))->click();

        bool contextShown = false;
        for (const QWidget* widget : view->findChildren<QWidget*>()) {
            const std::optional<QString> text = mnemonicText(widget);
            if (!text || !widget->isVisible())
                continue;
            EXPECT_TRUE(QKeySequence::mnemonic(*text).isEmpty()) << text->toStdString();
            contextShown |= QString(*text).replace(QStringLiteral("&&"), QStringLiteral("&")) ==
                            Localization::string(QStringLiteral("Context & output"));
        }
        EXPECT_TRUE(contextShown);

        int showingSeconds = 0;
        for (const QWidget* widget : view->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<const QLabel*>(widget);
            const auto* spin = qobject_cast<const QSpinBox*>(widget);
            const QString text = label ? label->text() : spin ? spin->text() : QString();
            showingSeconds += widget->isVisible() && text.contains(QStringLiteral("180"));
        }
        EXPECT_EQ(showingSeconds, 1) << "the time-out shows once";
        EXPECT_EQ(child<QSpinBox>(QStringLiteral("timeout"))->text(), QString::fromUtf8(c.seconds));

        auto* stops = child<ModelEditorGrowingText>(QStringLiteral("stopSequences"));
        EXPECT_FALSE(stops->verticalScrollBar()->isVisible()) << "a one-line field shows no scroll arrows";
        stops->setPlainText(QStringLiteral("1\n2\n3\n4\n5"));
        EXPECT_TRUE(stops->verticalScrollBar()->isVisible()) << "past four lines it scrolls";
    }
    Localization::shared().setLanguage(AppLanguage::english);
}

} // namespace
