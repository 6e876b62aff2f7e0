#pragma once

#include "AI/ModelConfiguration.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QSet>
#include <QWidget>

class ModelEditorGrowingText;
class ModelNumberField;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QSpinBox;
class QToolButton;

// The optional settings of the model editor, shown under "More options": thinking, context
// and output limits, advanced request parameters, the request time-out and their reset. The
// working copy and the number fields' shared state are the editor's; this view edits them
// and says so through configurationEdited().
class ModelEditorOptions final : public QWidget {
    Q_OBJECT
public:
    static constexpr qint64 budgetWhenChosen = 2048;
    static constexpr int minimumTimeoutSeconds = 10;
    static constexpr int maximumTimeoutSeconds = 900;
    static constexpr int timeoutStepSeconds = 10;

    ModelEditorOptions(ModelConfiguration& configuration, bool& budgetMode, QSet<QString>& invalidFields,
                       QHash<QString, QString>& numberDrafts, QWidget* parent);

    // Brings every control up to date with the editor's state.
    void refresh();
    void retranslate();
    // Back to the defaults, keeping the address, model name, image support and provider.
    void resetModelOptions();

signals:
    void configurationEdited();

private:
    QGroupBox* makeThinkingSection();
    QGroupBox* makeContextSection();
    QGroupBox* makeAdvancedSection();
    QWidget* makeResetRow();
    ModelNumberField* addNumberField(QFormLayout* form, const QString& title, std::optional<qint64>* value,
                                     const QString& placeholder);
    ModelNumberField* addNumberField(QFormLayout* form, const QString& title, std::optional<double>* value,
                                     const QString& placeholder);
    ModelNumberField* placeNumberField(QFormLayout* form, ModelNumberField* field);
    QLabel* addNote(QWidget* parent, const QString& english);
    void setBudgetMode(bool budgetMode);
    void refreshThinking();
    void edited();

    ModelConfiguration& configuration_;
    bool& budgetMode_;
    QSet<QString>& invalidFields_;
    QHash<QString, QString>& numberDrafts_;

    QList<ModelNumberField*> numberFields_;
    QList<QPair<QLabel*, QString>> labels_; // each with its English text
    QFormLayout* thinkingForm_ = nullptr;
    QGroupBox* thinkingSection_ = nullptr;
    QGroupBox* contextSection_ = nullptr;
    QComboBox* thinkingMode_ = nullptr;
    QComboBox* thinkingControl_ = nullptr;
    ModelNumberField* thinkingBudget_ = nullptr;
    QComboBox* thinkingEffort_ = nullptr;
    QToolButton* advancedToggle_ = nullptr;
    QWidget* advanced_ = nullptr;
    QCheckBox* supportsImages_ = nullptr;
    QFormLayout* advancedForm_ = nullptr;
    QList<ModelNumberField*> samplingFields_;
    QLabel* samplingNote_ = nullptr;
    ModelEditorGrowingText* stopSequences_ = nullptr;
    ModelEditorGrowingText* systemPrompt_ = nullptr;
    QSpinBox* timeout_ = nullptr;
    QToolButton* reset_ = nullptr;
};
