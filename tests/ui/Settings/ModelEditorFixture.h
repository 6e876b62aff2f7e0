#pragma once

#include "AI/AIModelSettings.h"
#include "AI/ModelKeychain.h"
#include "Platform/Defaults.h"
#include "UI/Settings/ModelEditorView.h"
#include "UI/Settings/ModelNumberField.h"
#include "Util/Localization.h"
#include "fakes/FakeKeychain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

// The editor sheet over a model library in the test preferences and an in-memory keychain,
// in English.
class ModelEditorFixture : public ::testing::Test {
public: // the case tables drive the fixture from lambdas
    static inline const QString address = QStringLiteral("https://api.example.com/v1");
    static inline const QString account = QStringLiteral("https://api.example.com/v1/chat/completions");

    ModelEditorFixture()
    {
        Localization::shared().setLanguage(AppLanguage::english);
        Platform::defaults().remove(ModelLibrary::storageKey);
        Platform::defaults().remove(ModelConfiguration::storageKey);
        settings = std::make_unique<AIModelSettings>(Platform::defaults(), keychain);
    }

    static SavedModel model(const QString& baseURL = address,
                            ModelProvider provider = ModelProvider::compatible)
    {
        SavedModel saved;
        saved.id = QUuid::createUuid();
        saved.configuration = ModelConfiguration(baseURL, QStringLiteral("model-a"), false, provider);
        return saved;
    }

    void open(const SavedModel& saved, bool isNew = false, bool showOptions = false)
    {
        view = std::make_unique<ModelEditorView>(ModelEditorDraft::make(saved, isNew, showOptions), *settings,
                                                 nullptr);
        view->show();
    }

    template <typename T> T* child(const QString& name) const
    {
        T* found = view->findChild<T*>(name);
        if (!found)
            ADD_FAILURE() << "no child " << name.toStdString();
        return found;
    }

    ModelNumberField* numberField(const QString& title) const { return child<ModelNumberField>(title); }
    QPushButton* validateAndSave() const { return child<QPushButton>(QStringLiteral("validateAndSave")); }
    QLabel* status() const { return child<QLabel>(QStringLiteral("status")); }
    QString shownStatus() const { return status()->isVisible() ? status()->text() : QString(); }
    void typeInto(const QString& name, const QString& text)
    {
        QTest::keyClicks(child<QLineEdit>(name), text);
    }
    void trigger(const QString& action) { child<QAction>(action)->trigger(); }

    QString storedKey(const QString& forAccount = account) const
    {
        return keychain.items.value({ModelKeychain::service(), forAccount});
    }

    // The model as stored in the preferences, decoded again.
    static std::optional<SavedModel> storedModel(const QUuid& id)
    {
        const auto library = ModelLibrary::fromJson(Platform::defaults().value(ModelLibrary::storageKey));
        if (!library)
            return std::nullopt;
        for (const SavedModel& saved : library->models) {
            if (saved.id == id)
                return saved;
        }
        return std::nullopt;
    }

    FakeKeychain keychain;
    std::unique_ptr<AIModelSettings> settings;
    std::unique_ptr<ModelEditorView> view;
};
