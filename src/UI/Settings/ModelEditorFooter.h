#pragma once

#include <QWidget>
#include <optional>

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;

// The model editor's footer: the status line, the warning about number fields, the note on
// connection tests, and the row of the progress indicator, "Cancel", the "More" menu and
// "Validate & Save".
class ModelEditorFooter final : public QWidget {
    Q_OBJECT
public:
    // A new model's "More" menu has no "Remove Saved Key".
    ModelEditorFooter(bool isNew, QWidget* parent);

    // `status` is shown as it is (already in the chosen language).
    void showState(const std::optional<QString>& status, bool hasInvalidFields, bool testing);
    void retranslate();

    QPushButton* validateAndSaveButton() const { return validateAndSave_; }

signals:
    void cancelRequested();
    void saveWithoutTestingRequested();
    void removeKeyRequested();
    void validateAndSaveRequested();

private:
    QLabel* status_ = nullptr;
    QLabel* invalidNote_ = nullptr;
    QLabel* testNote_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QToolButton* more_ = nullptr;
    QAction* saveWithoutTesting_ = nullptr;
    QAction* removeKey_ = nullptr;
    QPushButton* validateAndSave_ = nullptr;
};
