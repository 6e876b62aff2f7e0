#pragma once

#include "UI/Settings/ModelEditorDraft.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class AIModelSettings;
class ModelRowView;
class QComboBox;
class QLabel;
class QPushButton;
class SettingsDetailCard;
class SettingsDetailPage;

namespace Platform {
class Defaults;
}

// The Model pane of the settings window: the saved models with their quick choices, adding
// and editing them in the editor sheet, removing them after a confirmation, choosing the
// model in use, and one status line with the message of the last refused change. It stores
// nothing itself: every change is a copy of the library committed through AIModelSettings,
// and the page is drawn again from the library after each commit.
class ModelSettingsView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int useModelMenuMaximumWidth = 260;

    // Over AIModelSettings::shared() and Platform::defaults().
    explicit ModelSettingsView(QWidget* parent = nullptr);
    ModelSettingsView(AIModelSettings& settings, Platform::Defaults& defaults, QWidget* parent = nullptr);
    ~ModelSettingsView() override;

    // "1M" for 1048576, the digits for a number that is no multiple of 1024, else the number
    // of 1024s followed by "K". Fixed text.
    static QString contextTitle(qint64 tokens);

    // Opens the editor for a new model (the library is not changed until the editor saves).
    void addModel();
    // Writes one changed saved model back; a refusal goes to the status line.
    void update(const SavedModel& model);
    // Makes the chosen enabled model the one in use; a refusal goes to the status line.
    void chooseModel(const QUuid& id);
    // The row of one model, wired to this page.
    ModelRowView* modelRow(const SavedModel& model);

    // Presents the editor sheet for a draft; the default opens ModelEditorView over this
    // page's window. Whoever presents must call editorClosed() when the sheet closes.
    std::function<void(const ModelEditorDraft&)> presentEditor;
    // The sheet of the draft with this id closed; a stale id changes nothing.
    void editorClosed(const QUuid& draftID);

    const std::optional<ModelEditorDraft>& editor() const { return editor_; }
    const std::optional<SavedModel>& deleting() const { return deleting_; }
    const std::optional<QString>& status() const { return status_; }

    QLabel* countLabel() const { return countLabel_; }
    QPushButton* addButton() const { return addButton_; }
    // Null while the page shows model rows.
    SettingsDetailCard* emptyStateCard() const { return emptyStateCard_; }
    QList<ModelRowView*> rows() const { return rows_; }
    // Null while absent.
    SettingsDetailCard* footerCard() const { return footerCard_; }
    QComboBox* useModelMenu() const { return useModelMenu_; }
    QLabel* statusLabel() const { return statusLabel_; }
    // The open removal confirmation, or null.
    QMessageBox* confirmation() const { return confirmation_; }

private:
    void openEditor(const SavedModel& model, bool isNew, bool showOptions);
    void presentEditorSheet(const ModelEditorDraft& draft);
    void askToRemove(const SavedModel& model);
    void confirmationFinished(bool remove);
    void setStatus(const std::optional<QString>& status);

    // Where the keyboard focus is in the body: a model's row (or none) and the control's place
    // among the focusable controls there; an index of -1 means the body has no focus.
    struct FocusPlace {
        QUuid modelID;
        qsizetype index = -1;
    };
    FocusPlace focusPlace() const;
    void restoreFocus(const FocusPlace& place);

    void redraw();
    QWidget* makeHeader();
    SettingsDetailCard* makeEmptyState();
    SettingsDetailCard* makeFooter();

    AIModelSettings& settings_;
    Platform::Defaults& defaults_;
    std::optional<ModelEditorDraft> editor_;
    std::optional<SavedModel> deleting_;
    std::optional<QString> status_;
    QPointer<QMessageBox> confirmation_;

    SettingsDetailPage* page_ = nullptr;
    QWidget* body_ = nullptr;
    QLabel* countLabel_ = nullptr;
    QPushButton* addButton_ = nullptr;
    SettingsDetailCard* emptyStateCard_ = nullptr;
    QList<ModelRowView*> rows_;
    SettingsDetailCard* footerCard_ = nullptr;
    QComboBox* useModelMenu_ = nullptr;
    QLabel* statusLabel_ = nullptr;
};
