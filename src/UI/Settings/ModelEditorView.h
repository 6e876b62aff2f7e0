#pragma once

#include "AI/ModelConfiguration.h"
#include "AI/ModelCredentialDraft.h"
#include "UI/Settings/ModelEditorDraft.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QUuid>
#include <optional>

class AIModelSettings;
class ChatReply;
class ModelEditorFooter;
class ModelEditorOptions;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QWidget;
struct ChatResult;

// The sheet in which the user adds a model or edits a saved one. Every control edits a
// working copy; nothing is stored until a save or a passed connection test, and "Cancel"
// drops every edit. Window-modal; it closes itself on cancel and on a successful save.
class ModelEditorView final : public QDialog {
    Q_OBJECT
public:
    static constexpr int sheetWidth = 500;
    static constexpr int closedHeight = 400;
    static constexpr int openHeight = 540;

    // `settings` is where saves go (the shared AIModelSettings in the application).
    ModelEditorView(const ModelEditorDraft& draft, QWidget* parent);
    ModelEditorView(const ModelEditorDraft& draft, AIModelSettings& settings, QWidget* parent);
    ~ModelEditorView() override;

    QUuid modelID() const { return modelID_; }
    bool isNew() const { return isNew_; }
    const ModelConfiguration& configuration() const { return configuration_; }
    const ModelCredentialDraft& credentials() const { return credentials_; }
    const std::optional<QString>& status() const { return status_; }
    bool isTesting() const { return testing_; }
    bool showsMoreOptions() const { return moreOptions_; }
    const QSet<QString>& invalidFields() const { return invalidFields_; }

    // Saves at once and closes; a failure shows its message in the status line.
    void save();
    // Marks the stored key of this address for deletion at the next save.
    void removeKey();
    // Tests the connection with the edited settings on a request of its own; a pass saves
    // what was tested and closes the sheet.
    void test();
    // Stops a running test, then closes the sheet.
    void cancel();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* makeHeader();
    QWidget* makeBasics();
    QWidget* makeMoreOptionsRow();
    void connectBasics();
    void configurationChanged();
    void setProvider(int index);
    void setStatus(const std::optional<QString>& status);
    void setTesting(bool testing);
    void toggleMoreOptions();
    void toggleShowsKey();
    void finishTest(const ChatResult& result, const ModelConfiguration& snapshot,
                    const ModelCredentialDraft& snapshotCredentials);
    // Stores the model with the given settings and closes; a failure goes to the status line.
    void store(const ModelConfiguration& configuration, const ModelCredentialDraft& credentials);
    bool canSave() const { return !testing_ && invalidFields_.isEmpty(); }
    void cancelTest();
    void refresh();
    void retranslate();

    AIModelSettings& settings_;
    const QUuid modelID_;
    const bool enabled_;
    const bool isNew_;
    bool moreOptions_ = false;
    bool showsKey_ = false;
    ModelConfiguration configuration_;
    ModelConfiguration observedConfiguration_; // the last one the status line was cleared for
    ModelCredentialDraft credentials_;
    std::optional<QString> status_;
    bool testing_ = false;
    QPointer<ChatReply> testTask_;
    QSet<QString> invalidFields_;
    QHash<QString, QString> numberDrafts_;
    bool budgetMode_ = false;
    bool closing_ = false;

    QLabel* title_ = nullptr;
    QWidget* form_ = nullptr;
    QLabel* providerLabel_ = nullptr;
    QComboBox* provider_ = nullptr;
    QLabel* addressLabel_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLabel* modelNameLabel_ = nullptr;
    QLineEdit* modelName_ = nullptr;
    QLabel* keyLabel_ = nullptr;
    QLineEdit* key_ = nullptr;
    QToolButton* eye_ = nullptr;
    QLabel* keychainNote_ = nullptr;
    QToolButton* moreOptionsRow_ = nullptr;
    ModelEditorOptions* options_ = nullptr;
    ModelEditorFooter* footer_ = nullptr;
};
