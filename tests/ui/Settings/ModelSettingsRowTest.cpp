#include "ModelSettingsFixture.h"

#include <functional>

namespace {

enum class Control { thinking, effort, context };

struct QuickChoice {
    const char* name;
    Control control;
    QString item;
    std::function<void(ModelConfiguration&)> prepare; // the stored value before the choice
    std::function<void(ModelConfiguration&)> expected;
};

QPushButton* button(ModelRowView* row, Control control)
{
    switch (control) {
    case Control::thinking:
        return row->thinkingButton();
    case Control::effort:
        return row->effortButton();
    case Control::context:
        return row->contextButton();
    }
    return nullptr;
}

void thinkingOn(ModelConfiguration& c)
{
    c.thinking = ThinkingMode::enabled;
}

const QList<QuickChoice> quickChoices{
    {"ThinkingOn", Control::thinking, "On", nullptr, thinkingOn},
    {"ThinkingOff", Control::thinking, "Off", thinkingOn,
     [](auto& c) { c.thinking = ThinkingMode::disabled; }},
    {"ThinkingDefault", Control::thinking, "Service default", thinkingOn,
     [](auto& c) { c.thinking = ThinkingMode::serviceDefault; }},
    {"EffortMinimal", Control::effort, "Minimal", thinkingOn,
     [](auto& c) { c.reasoningEffort = ReasoningEffort::minimal; }},
    {"EffortMaximum", Control::effort, "Maximum", thinkingOn,
     [](auto& c) { c.reasoningEffort = ReasoningEffort::max; }},
    {"EffortDefault", Control::effort, "Service default",
     [](auto& c) {
         thinkingOn(c);
         c.reasoningEffort = ReasoningEffort::high;
     },
     [](auto& c) { c.reasoningEffort = ReasoningEffort::serviceDefault; }},
    {"Context8K", Control::context, "8K", nullptr, [](auto& c) { c.contextTokens = 8192; }},
    {"Context1M", Control::context, "1M", nullptr, [](auto& c) { c.contextTokens = 1048576; }},
    {"ContextDefault", Control::context, "Service default", [](auto& c) { c.contextTokens = 200000; },
     [](auto& c) { c.contextTokens.reset(); }},
};

class QuickChoiceTest : public ModelSettingsFixture, public ::testing::WithParamInterface<QuickChoice> {};

TEST_P(QuickChoiceTest, WritesOneFieldOfTheLibraryAndClearsTheStatus)
{
    const QuickChoice& choice = GetParam();
    SavedModel first = model(QStringLiteral("first"));
    if (choice.prepare)
        choice.prepare(first.configuration);
    const SavedModel second = model(QStringLiteral("second"));
    open({first, second});
    view->update([&] {
        SavedModel broken = first;
        broken.configuration.model.clear();
        return broken;
    }());
    ASSERT_TRUE(view->status().has_value());

    choose(button(row(0), choice.control), choice.item);

    SavedModel expected = first;
    choice.expected(expected.configuration);
    EXPECT_EQ(settings->library().models, (QList<SavedModel>{expected, second}));
    EXPECT_EQ(stored(), settings->library());
    EXPECT_EQ(view->status(), std::nullopt);
    EXPECT_EQ(view->statusLabel(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Row, QuickChoiceTest, ::testing::ValuesIn(quickChoices),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ModelSettingsFixture, MenusListTheirItemsInOrderWithExactTitles)
{
    SavedModel saved = model(QStringLiteral("m"));
    saved.configuration.thinking = ThinkingMode::enabled;
    open({saved});
    EXPECT_EQ(titles(row(0)->thinkingButton()->menu()), (QStringList{"Service default", "On", "Off"}));
    EXPECT_EQ(titles(row(0)->effortButton()->menu()),
              (QStringList{"Service default", "Minimal", "Low", "Medium", "High", "Extra high", "Maximum"}));
    EXPECT_EQ(titles(row(0)->contextButton()->menu()),
              (QStringList{"Service default", "8K", "16K", "32K", "64K", "128K", "256K", "512K", "1M", "—",
                           QStringLiteral("Custom\u2026")}));
    EXPECT_EQ(titles(row(0)->actionsButton()->menu()),
              (QStringList{"Edit Model", "More options", "—", "Remove"}));
    EXPECT_EQ(row(0)->actionsButton()->toolTip(), "Model actions");
    EXPECT_EQ(row(0)->enabledSwitch()->accessibleName(), "Enabled");
    EXPECT_EQ(row(0)->enabledSwitch()->toolTip(), "Enabled");
    EXPECT_EQ(row(0)->contextButton()->toolTip(),
              "Local context budget in estimated tokens; the model's actual limit is unchanged.");
}

TEST_F(ModelSettingsFixture, LabelsShowTheStoredValuesAndColumnsFollowTheState)
{
    struct Case {
        ThinkingMode thinking;
        ReasoningEffort effort;
        std::optional<qint64> budget;
        std::optional<qint64> context;
        bool enabled;
        QStringList labels; // thinking, effort, context
        QList<bool> active; // the three columns
    };
    const QList<Case> cases{
        {ThinkingMode::serviceDefault,
         ReasoningEffort::high,
         {},
         {},
         true,
         {"Default", "High", "Default"},
         {true, false, true}},
        {ThinkingMode::enabled,
         ReasoningEffort::serviceDefault,
         {},
         4096,
         true,
         {"On", "Default", "4K"},
         {true, true, true}},
        {ThinkingMode::disabled,
         ReasoningEffort::xhigh,
         {},
         200000,
         true,
         {"Off", "Extra high", "200000"},
         {true, false, true}},
        {ThinkingMode::enabled,
         ReasoningEffort::low,
         2048,
         1048576,
         true,
         {"On", "Token budget", "1M"},
         {true, true, true}},
        {ThinkingMode::enabled,
         ReasoningEffort::low,
         {},
         2097152,
         false,
         {"On", "Low", "2048K"},
         {false, false, false}},
    };
    for (const Case& c : cases) {
        SavedModel saved = model(QStringLiteral("m"), c.enabled);
        saved.configuration.thinking = c.thinking;
        saved.configuration.reasoningEffort = c.effort;
        saved.configuration.thinkingBudget = c.budget;
        saved.configuration.contextTokens = c.context;
        open({saved});
        ModelRowView* r = row(0);
        SCOPED_TRACE(c.labels.join(u',').toStdString());
        EXPECT_EQ(
            (QStringList{r->thinkingButton()->text(), r->effortButton()->text(), r->contextButton()->text()}),
            c.labels);
        EXPECT_EQ((QList<bool>{r->thinkingColumn()->isEnabled(), r->effortColumn()->isEnabled(),
                               r->contextColumn()->isEnabled()}),
                  c.active);
        EXPECT_EQ(r->effortButton()->menu() == nullptr, c.budget.has_value());
        EXPECT_EQ(r->enabledSwitch()->isChecked(), c.enabled);
        EXPECT_TRUE(r->actionsButton()->isEnabled());
    }
}

TEST(ModelSettingsContextTitle, FollowsTheShortTitleRule)
{
    const QList<std::pair<qint64, QString>> cases{
        {1048576, "1M"},    {1024, "1K"},       {8192, "8K"},   {131072, "128K"},
        {2097152, "2048K"}, {200000, "200000"}, {1025, "1025"}, {1000000, "1000000"},
    };
    for (const auto& [tokens, title] : cases)
        EXPECT_EQ(ModelSettingsView::contextTitle(tokens), title) << tokens;
}

TEST_F(ModelSettingsFixture, EditorWaysOfTheRowOpenDraftsOfTheDrawnModel)
{
    SavedModel saved = model(QStringLiteral("m"));
    saved.configuration.thinking = ThinkingMode::enabled;
    saved.configuration.thinkingBudget = 1024;
    open({saved});
    const QList<std::pair<std::function<void()>, bool>> ways{
        {[&] { choose(row(0)->actionsButton(), "Edit Model"); }, false},
        {[&] { choose(row(0)->actionsButton(), "More options"); }, true},
        {[&] { row(0)->effortButton()->click(); }, true},
        {[&] { choose(row(0)->contextButton(), QStringLiteral("Custom\u2026")); }, true},
        {[&] { choose(row(0)->actionsButton(), "Edit Model"); }, false},
    };
    for (const auto& [open, showOptions] : ways) {
        open();
        ASSERT_FALSE(drafts.isEmpty());
        EXPECT_EQ(drafts.last().model, saved);
        EXPECT_FALSE(drafts.last().isNew);
        EXPECT_EQ(drafts.last().showOptions, showOptions);
        EXPECT_NE(drafts.last().id, saved.id);
        EXPECT_EQ(view->editor(), drafts.last());
    }
    QSet<QUuid> ids;
    for (const ModelEditorDraft& draft : drafts)
        ids.insert(draft.id);
    EXPECT_EQ(ids.size(), ways.size());
    view->editorClosed(drafts.first().id); // a stale sheet
    EXPECT_EQ(view->editor(), drafts.last());
    view->editorClosed(drafts.last().id);
    EXPECT_EQ(view->editor(), std::nullopt);
    EXPECT_EQ(settings->library().models, QList<SavedModel>{saved});
}

TEST_F(ModelSettingsFixture, RefusedChangesKeepTheLibraryAndShowTheExactMessage)
{
    struct Case {
        const char* name;
        std::function<void(SavedModel&)> breakStored;
        std::function<void(ModelRowView*)> act;
        QString message;
    };
    const QList<Case> cases{
        {"switch on a model without a name", [](auto& m) { m.configuration.model = " "; },
         [](ModelRowView* r) { r->enabledSwitch()->click(); }, "Enter a model name."},
        {"thinking on a plain-HTTP remote address",
         [](auto& m) { m.configuration.baseURL = "http://api.example.com/v1"; },
         [](ModelRowView* r) { choose(r->thinkingButton(), "Off"); },
         "Enter an API address that starts with https:// (http:// only for this computer)."},
        {"context not above the output limit", [](auto& m) { m.configuration.maxOutputTokens = 8192; },
         [](ModelRowView* r) { choose(r->contextButton(), "8K"); },
         "The output limit must be smaller than the context budget."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SavedModel saved = model(QStringLiteral("m"));
        c.breakStored(saved);
        ModelLibrary library;
        library.models = {saved};
        settings->commit(library);
        view = std::make_unique<ModelSettingsView>(*settings, defaults());
        const ModelLibrary before = stored();

        c.act(row(0));
        EXPECT_EQ(view->status(), c.message);
        ASSERT_NE(view->statusLabel(), nullptr);
        EXPECT_EQ(view->statusLabel()->text(), c.message);
        EXPECT_EQ(stored(), before);
        EXPECT_EQ(settings->library(), before);
        EXPECT_EQ(row(0)->enabledSwitch()->isChecked(), saved.isEnabled);
        EXPECT_EQ(row(0)->thinkingButton()->text(), "Default");
    }
}

TEST_F(ModelSettingsFixture, TurningOffTheActiveModelMakesTheNextEnabledOneActive)
{
    const SavedModel first = model(QStringLiteral("first"));
    const SavedModel second = model(QStringLiteral("second"));
    open({first, second});
    row(0)->enabledSwitch()->click();
    EXPECT_FALSE(settings->library().models.at(0).isEnabled);
    EXPECT_EQ(settings->library().activeModel()->id, second.id);
    ASSERT_NE(view->useModelMenu(), nullptr);
    EXPECT_EQ(view->useModelMenu()->currentText(), "second");
    EXPECT_EQ(view->useModelMenu()->count(), 1);
    EXPECT_EQ(ModelConfiguration::load(defaults()), second.configuration);
}

} // namespace
