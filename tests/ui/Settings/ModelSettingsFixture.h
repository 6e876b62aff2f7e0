#pragma once

#include "AI/AIModelSettings.h"
#include "AI/ModelKeychain.h"
#include "Platform/Defaults.h"
#include "UI/Settings/ModelRowView.h"
#include "UI/Settings/ModelSettingsView.h"
#include "UI/Settings/SettingsSwitch.h"
#include "UI/VelloraIconButton.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"
#include "fakes/FakeKeychain.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

// The page over a model library in the test preferences and an in-memory keychain, in
// English; the editor sheet is replaced by a list of the drafts it was asked to show.
class ModelSettingsFixture : public ::testing::Test {
protected:
    ModelSettingsFixture()
    {
        Localization::shared().setLanguage(AppLanguage::english);
        defaults().remove(ModelLibrary::storageKey);
        defaults().remove(ModelConfiguration::storageKey);
        settings = std::make_unique<AIModelSettings>(defaults(), keychain);
    }

    static Platform::Defaults& defaults() { return Platform::defaults(); }

    static SavedModel model(const QString& name, bool enabled = true)
    {
        SavedModel saved;
        saved.id = QUuid::createUuid();
        saved.configuration = ModelConfiguration(QStringLiteral("https://api.example.com/v1"), name, false,
                                                 ModelProvider::compatible);
        saved.isEnabled = enabled;
        return saved;
    }

    // Commits the models (the first enabled one chosen) and opens the page over them.
    void open(const QList<SavedModel>& models = {})
    {
        ModelLibrary library;
        library.models = models;
        if (!library.enabledModels().isEmpty())
            library.selectedID = library.enabledModels().first().id;
        settings->commit(library);
        view = std::make_unique<ModelSettingsView>(*settings, defaults());
        view->presentEditor = [this](const ModelEditorDraft& draft) { drafts.append(draft); };
    }

    ModelRowView* row(int index) const { return view->rows().at(index); }

    // The library as stored in the preferences, decoded again.
    static ModelLibrary stored()
    {
        return ModelLibrary::fromJson(defaults().value(ModelLibrary::storageKey)).value_or(ModelLibrary());
    }

    static QStringList titles(const QMenu* menu)
    {
        QStringList result;
        for (const QAction* action : menu->actions())
            result.append(action->isSeparator() ? QStringLiteral("—") : action->text());
        return result;
    }

    static QAction* action(const QMenu* menu, const QString& title)
    {
        for (QAction* action : menu->actions()) {
            if (action->text() == title)
                return action;
        }
        ADD_FAILURE() << "no menu item " << title.toStdString();
        return nullptr;
    }

    static void choose(const QMenu* menu, const QString& title)
    {
        if (QAction* found = action(menu, title))
            found->trigger();
    }
    static void choose(const QPushButton* button, const QString& title) { choose(button->menu(), title); }
    static void choose(const QToolButton* button, const QString& title) { choose(button->menu(), title); }

    FakeKeychain keychain;
    std::unique_ptr<AIModelSettings> settings;
    std::unique_ptr<ModelSettingsView> view;
    QList<ModelEditorDraft> drafts;
};
