#pragma once

#include "AI/SavedModel.h"

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class SettingsSwitch;
class VelloraIconButton;

// One saved model on the Model page: its name and provider, the Enabled switch and the
// actions menu, and below them the quick choices of thinking, effort and context. The row
// keeps no state: it is drawn from the model it was made for and reports every change.
class ModelRowView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int lineSpacing = 12;
    // The context budgets offered in the menu, in tokens.
    static const QList<qint64>& contextSizes();

    explicit ModelRowView(const SavedModel& model, QWidget* parent = nullptr);

    const SavedModel& model() const { return model_; }

    SettingsSwitch* enabledSwitch() const { return enabledSwitch_; }
    VelloraIconButton* actionsButton() const { return actionsButton_; }
    QPushButton* thinkingButton() const { return thinkingButton_; }
    // The effort menu, or the "Token budget" button (no menu) when the model has a budget.
    QPushButton* effortButton() const { return effortButton_; }
    QPushButton* contextButton() const { return contextButton_; }
    QWidget* thinkingColumn() const { return thinkingColumn_; }
    QWidget* effortColumn() const { return effortColumn_; }
    QWidget* contextColumn() const { return contextColumn_; }

signals:
    // A copy of the model with exactly one field changed.
    void changeRequested(const SavedModel& model);
    void editorRequested(const SavedModel& model, bool showOptions);
    void removalRequested(const SavedModel& model);

private:
    QWidget* makeTopLine();
    QWidget* makeChoiceLine();
    QWidget* makeColumn(const QString& caption, QPushButton* control);
    QPushButton* makeThinkingMenu();
    QPushButton* makeEffortControl();
    QPushButton* makeContextMenu();
    void requestChange(const std::function<void(SavedModel&)>& change);

    SavedModel model_;
    SettingsSwitch* enabledSwitch_ = nullptr;
    VelloraIconButton* actionsButton_ = nullptr;
    QPushButton* thinkingButton_ = nullptr;
    QPushButton* effortButton_ = nullptr;
    QPushButton* contextButton_ = nullptr;
    QWidget* thinkingColumn_ = nullptr;
    QWidget* effortColumn_ = nullptr;
    QWidget* contextColumn_ = nullptr;
};
