#include "ModelSettingsFixture.h"

#include "UI/Settings/ModelEditorView.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <functional>

namespace {

QAbstractButton* buttonTitled(QMessageBox* box, const QString& title)
{
    for (QAbstractButton* button : box->buttons()) {
        if (button->text() == title)
            return button;
    }
    ADD_FAILURE() << "no button " << title.toStdString();
    return nullptr;
}

TEST_F(ModelSettingsFixture, ShowsCountEmptyStateRowsAndFooterByLibraryAndStatus)
{
    struct Case {
        const char* name;
        QList<bool> enabled; // one model per entry
        bool withStatus;
        bool emptyState;
        bool footer;
        int menuEntries; // -1: no "Use model" row
    };
    const QList<Case> cases{
        {"empty", {}, false, true, false, -1},
        {"empty with a message", {}, true, true, true, -1},
        {"only disabled models", {false, false}, false, false, false, -1},
        {"only disabled models with a message", {false}, true, false, true, -1},
        {"one of two enabled", {false, true}, false, false, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QList<SavedModel> models;
        for (bool enabled : c.enabled)
            models.append(model(QStringLiteral("m%1").arg(models.size()), enabled));
        open(models);
        if (c.withStatus)
            view->chooseModel(QUuid::createUuid());
        EXPECT_EQ(view->countLabel()->text(), QString::number(models.size()));
        EXPECT_EQ(view->emptyStateCard() != nullptr, c.emptyState);
        EXPECT_EQ(view->rows().size(), models.size());
        EXPECT_EQ(view->footerCard() != nullptr, c.footer);
        EXPECT_EQ(view->useModelMenu() ? view->useModelMenu()->count() : -1, c.menuEntries);
        EXPECT_EQ(view->statusLabel() ? view->statusLabel()->text() : QString(),
                  c.withStatus ? "Choose an enabled model." : "");
    }
}

TEST_F(ModelSettingsFixture, AddModelStartsFromTheLegacyConfigurationOnlyWhenItIsUnfinished)
{
    const ModelConfiguration unfinished(QStringLiteral("https://legacy.example.com/v1"), {}, true,
                                        ModelProvider::deepSeek);
    const ModelConfiguration valid(QStringLiteral("https://legacy.example.com/v1"), QStringLiteral("legacy"),
                                   true, ModelProvider::deepSeek);
    struct Case {
        const char* name;
        bool hasModels;
        std::optional<ModelConfiguration> legacy;
        ModelConfiguration expected;
    };
    const QList<Case> cases{
        {"nothing stored", false, {}, ModelConfiguration()},
        {"address without a model name", false, unfinished, unfinished},
        {"valid legacy configuration", false, valid, ModelConfiguration()},
        {"models exist", true, unfinished, ModelConfiguration()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open(c.hasModels ? QList<SavedModel>{model(QStringLiteral("m"))} : QList<SavedModel>{});
        defaults().remove(ModelConfiguration::storageKey);
        if (c.legacy)
            defaults().setValue(ModelConfiguration::storageKey, c.legacy->toJson());
        const ModelLibrary before = settings->library();
        drafts.clear();

        view->addButton()->click();
        view->addModel();

        ASSERT_EQ(drafts.size(), 2);
        for (const ModelEditorDraft& draft : drafts) {
            EXPECT_TRUE(draft.isNew);
            EXPECT_FALSE(draft.showOptions);
            EXPECT_TRUE(draft.model.isEnabled);
            EXPECT_EQ(draft.model.configuration, c.expected);
            EXPECT_FALSE(draft.model.id.isNull());
            EXPECT_NE(draft.id, draft.model.id);
        }
        EXPECT_NE(drafts[0].id, drafts[1].id);
        EXPECT_NE(drafts[0].model.id, drafts[1].model.id);
        EXPECT_EQ(view->editor(), drafts[1]);
        EXPECT_EQ(settings->library(), before);
    }
}

TEST_F(ModelSettingsFixture, TheDefaultSheetShowsTheDraftAndClearsItWhenClosed)
{
    const SavedModel saved = model(QStringLiteral("m"));
    open({saved});
    view = std::make_unique<ModelSettingsView>(*settings, defaults());
    choose(view->rows().first()->actionsButton(), "More options");
    auto* sheet = view->findChild<ModelEditorView*>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->modelID(), saved.id);
    EXPECT_FALSE(sheet->isNew());
    EXPECT_TRUE(sheet->showsMoreOptions());
    ASSERT_TRUE(view->editor().has_value());
    sheet->cancel();
    EXPECT_EQ(view->editor(), std::nullopt);
    EXPECT_EQ(settings->library().models, QList<SavedModel>{saved});
}

TEST_F(ModelSettingsFixture, RemovalAsksFirstAndKeepsTheSavedKey)
{
    enum class Answer { remove, cancel, escape, dismiss };
    const QList<std::pair<Answer, bool>> answers{
        {Answer::cancel, false}, {Answer::escape, false}, {Answer::dismiss, false}, {Answer::remove, true}};
    for (const auto& [answer, removes] : answers) {
        SCOPED_TRACE(int(answer));
        const SavedModel first = model(QStringLiteral("first"));
        const SavedModel second = model(QStringLiteral("second"));
        open({first, second});
        const QString account = first.configuration.endpoint().toString(QUrl::FullyEncoded);
        settings->keychain().save(account, QStringLiteral("sk-first"));
        view->chooseModel(QUuid::createUuid());
        const std::optional<QString> status = view->status();

        choose(row(0)->actionsButton(), "Remove");
        EXPECT_EQ(view->deleting(), first);
        QMessageBox* box = view->confirmation();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), "Remove model?");
        EXPECT_EQ(box->informativeText(),
                  "The model configuration will be removed. Saved keys stay in the keyring.");
        EXPECT_EQ(box->buttons().size(), 2);
        EXPECT_EQ(box->buttonRole(buttonTitled(box, "Remove")), QMessageBox::DestructiveRole);
        EXPECT_EQ(box->defaultButton(), buttonTitled(box, "Cancel"));
        const int removalsBefore = keychain.removals;

        if (answer == Answer::remove)
            buttonTitled(box, "Remove")->click();
        else if (answer == Answer::cancel)
            buttonTitled(box, "Cancel")->click();
        else if (answer == Answer::escape)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->reject();

        EXPECT_EQ(view->deleting(), std::nullopt);
        EXPECT_EQ(view->confirmation(), nullptr);
        EXPECT_EQ(settings->library().models,
                  removes ? QList<SavedModel>{second} : (QList<SavedModel>{first, second}));
        EXPECT_EQ(stored(), settings->library());
        EXPECT_EQ(settings->library().activeModel()->id, removes ? second.id : first.id);
        EXPECT_EQ(settings->keychain().read(account), "sk-first");
        EXPECT_EQ(keychain.removals, removalsBefore);
        EXPECT_EQ(view->status(), status);
    }
}

TEST_F(ModelSettingsFixture, UseModelMenuChoosesAnEnabledModelAndRefusesOthers)
{
    const SavedModel first = model(QStringLiteral("first"));
    const SavedModel off = model(QStringLiteral("off"), false);
    const SavedModel third = model(QStringLiteral("third"));
    open({first, off, third});
    QComboBox* menu = view->useModelMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->count(), 2);
    EXPECT_EQ((QStringList{menu->itemText(0), menu->itemText(1)}), (QStringList{"first", "third"}));
    EXPECT_EQ(menu->currentText(), "first");

    view->chooseModel(off.id);
    EXPECT_EQ(view->status(), "Choose an enabled model.");
    EXPECT_EQ(settings->library().activeModel()->id, first.id);

    emit menu->activated(1);
    EXPECT_EQ(settings->library().selectedID, third.id);
    EXPECT_EQ(stored().selectedID, third.id);
    EXPECT_EQ(ModelConfiguration::load(defaults()), third.configuration);
    EXPECT_EQ(view->status(), std::nullopt);
    EXPECT_EQ(view->useModelMenu()->currentText(), "third");
}

TEST_F(ModelSettingsFixture, FollowsChangesMadeElsewhere)
{
    const SavedModel first = model(QStringLiteral("first"));
    open({first});
    SavedModel added = model(QStringLiteral("added"));
    settings->save(added, QStringLiteral("sk-added"));
    ASSERT_EQ(view->rows().size(), 2);
    EXPECT_EQ(row(1)->model(), added);
    EXPECT_EQ(view->countLabel()->text(), "2");

    ModelLibrary library = settings->library();
    library.remove(first.id);
    settings->commit(library);
    ASSERT_EQ(view->rows().size(), 1);
    EXPECT_EQ(row(0)->model(), added);
    EXPECT_EQ(view->useModelMenu()->currentText(), "added");

    settings->commit(ModelLibrary());
    EXPECT_TRUE(view->rows().isEmpty());
    EXPECT_NE(view->emptyStateCard(), nullptr);
    EXPECT_EQ(view->countLabel()->text(), "0");
}

TEST_F(ModelSettingsFixture, LanguageChangeClearsTheStatusLine)
{
    open({model(QStringLiteral("m"))});
    view->chooseModel(QUuid::createUuid());
    ASSERT_NE(view->statusLabel(), nullptr);
    Localization::shared().setLanguage(AppLanguage::japanese);
    EXPECT_EQ(view->status(), std::nullopt);
    EXPECT_EQ(view->statusLabel(), nullptr);
    EXPECT_EQ(titles(row(0)->actionsButton()->menu()).first(),
              Localization::string(QStringLiteral("Edit Model")));
    EXPECT_NE(titles(row(0)->actionsButton()->menu()).first(), "Edit Model");
    Localization::shared().setLanguage(AppLanguage::english);
}

TEST_F(ModelSettingsFixture, ARowChangeKeepsTheScrollPositionAndTheFocusedControl)
{
    constexpr int focusedRow = 5;
    struct Case {
        const char* name;
        bool validAddress;
        std::function<QWidget*(ModelRowView*)> control;
        std::function<void(ModelRowView*)> change;
        std::function<bool(const SavedModel&)> stored; // the focused row's model afterwards
    };
    const QList<Case> cases{
        {"EnabledBySpace", true, [](ModelRowView* r) { return r->enabledSwitch(); },
         [](ModelRowView* r) { QTest::keyClick(r->enabledSwitch(), Qt::Key_Space); },
         [](const SavedModel& m) { return !m.isEnabled; }},
        {"ContextMenu", true, [](ModelRowView* r) { return r->contextButton(); },
         [](ModelRowView* r) { choose(r->contextButton(), QStringLiteral("8K")); },
         [](const SavedModel& m) { return m.configuration.contextTokens == 8192; }},
        {"RefusedThinking", false, [](ModelRowView* r) { return r->thinkingButton(); },
         [](ModelRowView* r) { choose(r->thinkingButton(), QStringLiteral("On")); },
         [](const SavedModel& m) { return m.configuration.thinking == ThinkingMode::serviceDefault; }},
    };
    for (const Case& c : cases) {
        QList<SavedModel> models;
        for (int i = 0; i < 8; ++i)
            models.append(model(QStringLiteral("model-%1").arg(i)));
        if (!c.validAddress)
            models[focusedRow].configuration.baseURL = QStringLiteral("not an address");
        open(models);
        view->resize(640, 400);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get())) << c.name;
        QScrollBar* scroll = view->findChild<QScrollArea*>()->verticalScrollBar();
        ASSERT_GT(scroll->maximum(), 200) << c.name;
        scroll->setValue(200);
        c.control(row(focusedRow))->setFocus();

        c.change(row(focusedRow));
        EXPECT_EQ(view->status().has_value(), !c.validAddress) << c.name;
        EXPECT_TRUE(c.stored(stored().models.at(focusedRow))) << c.name;
        EXPECT_EQ(scroll->value(), 200) << c.name;
        EXPECT_EQ(QApplication::focusWidget(), c.control(row(focusedRow))) << c.name;
        view.reset();
    }
}

} // namespace
