#include "UI/Settings/ModelEditorOptions.h"

#include "AI/ReasoningEffort.h"
#include "AI/ThinkingMode.h"
#include "UI/Settings/ModelEditorGrowingText.h"
#include "UI/Settings/ModelNumberField.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "UI/WithoutMnemonics.h"
#include "Util/AppLanguage.h"
#include "Util/Localization.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int stopSequenceMinimumLines = 1;
constexpr int stopSequenceMaximumLines = 4;
constexpr int instructionsMinimumLines = 2;
constexpr int instructionsMaximumLines = 5;
constexpr int resetSymbolSize = 14;

const QString serviceDefault = QStringLiteral("Service default");

const QList<QPair<ThinkingMode, QString>>& thinkingModeRows()
{
    static const QList<QPair<ThinkingMode, QString>> rows{
        {ThinkingMode::serviceDefault, serviceDefault},
        {ThinkingMode::enabled, QStringLiteral("On")},
        {ThinkingMode::disabled, QStringLiteral("Off")},
    };
    return rows;
}

const QStringList& thinkingControlRows()
{
    static const QStringList rows{QStringLiteral("Effort"), QStringLiteral("Token budget")};
    return rows;
}

QLabel* makeNote(QWidget* parent)
{
    auto* note = new QLabel(parent);
    note->setFont(VelloraTypography::caption());
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    QPalette palette = note->palette();
    palette.setColor(QPalette::WindowText, Theme::chromeTextSecondary());
    note->setPalette(palette);
    return note;
}

} // namespace

ModelEditorOptions::ModelEditorOptions(ModelConfiguration& configuration, bool& budgetMode,
                                       QSet<QString>& invalidFields, QHash<QString, QString>& numberDrafts,
                                       QWidget* parent)
    : QWidget(parent)
    , configuration_(configuration)
    , budgetMode_(budgetMode)
    , invalidFields_(invalidFields)
    , numberDrafts_(numberDrafts)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(makeThinkingSection());
    layout->addWidget(makeContextSection());
    layout->addWidget(makeAdvancedSection());
    retranslate();
    refresh();
}

QGroupBox* ModelEditorOptions::makeThinkingSection()
{
    thinkingSection_ = new QGroupBox(this);
    thinkingForm_ = new QFormLayout(thinkingSection_);

    thinkingMode_ = new QComboBox(thinkingSection_);
    thinkingMode_->setObjectName(QStringLiteral("thinkingMode"));
    for (qsizetype i = 0; i < thinkingModeRows().size(); ++i)
        thinkingMode_->addItem(QString());
    thinkingForm_->addRow(new QLabel(thinkingSection_), thinkingMode_);
    connect(thinkingMode_, &QComboBox::currentIndexChanged, this, [this](int index) {
        configuration_.thinking = thinkingModeRows().at(index).first;
        edited();
    });

    thinkingControl_ = new QComboBox(thinkingSection_);
    thinkingControl_->setObjectName(QStringLiteral("thinkingControl"));
    thinkingControl_->addItems({QString(), QString()});
    thinkingForm_->addRow(new QLabel(thinkingSection_), thinkingControl_);
    connect(thinkingControl_, &QComboBox::currentIndexChanged, this,
            [this](int index) { setBudgetMode(index == 1); });

    thinkingBudget_ = addNumberField(thinkingForm_, QStringLiteral("Thinking budget (tokens)"),
                                     &configuration_.thinkingBudget, serviceDefault);

    thinkingEffort_ = new QComboBox(thinkingSection_);
    thinkingEffort_->setObjectName(QStringLiteral("thinkingEffort"));
    for (qsizetype i = 0; i < ReasoningEfforts::allCases().size(); ++i)
        thinkingEffort_->addItem(QString());
    thinkingForm_->addRow(new QLabel(thinkingSection_), thinkingEffort_);
    connect(thinkingEffort_, &QComboBox::currentIndexChanged, this, [this](int index) {
        configuration_.reasoningEffort = ReasoningEfforts::allCases().at(index);
        edited();
    });
    thinkingForm_->addRow(
        addNote(thinkingSection_, QStringLiteral("Available modes and effort levels depend on "
                                                 "the model. Test your configuration before saving.")));
    return thinkingSection_;
}

QGroupBox* ModelEditorOptions::makeContextSection()
{
    contextSection_ = new QGroupBox(this);
    auto* form = new QFormLayout(contextSection_);
    addNumberField(form, QStringLiteral("Output limit (tokens)"), &configuration_.maxOutputTokens,
                   serviceDefault);
    addNumberField(form, QStringLiteral("Context budget (estimated tokens)"), &configuration_.contextTokens,
                   serviceDefault);
    addNumberField(form, QStringLiteral("Previous turns"), &configuration_.historyTurns,
                   QStringLiteral("All available"));
    form->addRow(
        addNote(contextSection_,
                QStringLiteral("Older turns are removed first; your current question and selected materials "
                               "stay. Token estimates vary by model. Leave blank for defaults; 0 previous "
                               "turns sends only the current question and materials.")));
    return contextSection_;
}

QGroupBox* ModelEditorOptions::makeAdvancedSection()
{
    auto* section = new QGroupBox(this);
    auto* stack = new QVBoxLayout(section);
    advancedToggle_ = new QToolButton(section);
    advancedToggle_->setObjectName(QStringLiteral("advancedParameters"));
    advancedToggle_->setCheckable(true);
    advancedToggle_->setAutoRaise(true);
    advancedToggle_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    advancedToggle_->setArrowType(Qt::RightArrow);
    stack->addWidget(advancedToggle_);

    advanced_ = new QWidget(section);
    advanced_->setVisible(false);
    stack->addWidget(advanced_);
    connect(advancedToggle_, &QToolButton::toggled, this, [this](bool open) {
        advancedToggle_->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
        advanced_->setVisible(open);
    });

    auto* form = new QFormLayout(advanced_);
    form->setContentsMargins(0, 0, 0, 0);
    advancedForm_ = form;
    supportsImages_ = new QCheckBox(advanced_);
    supportsImages_->setObjectName(QStringLiteral("supportsImages"));
    form->addRow(supportsImages_);
    connect(supportsImages_, &QCheckBox::toggled, this, [this](bool on) {
        configuration_.supportsImages = on;
        edited();
    });

    // The sampling fields share the form's columns with the fields below them.
    samplingFields_ = {
        addNumberField(form, QStringLiteral("Temperature"), &configuration_.temperature, serviceDefault),
        addNumberField(form, QStringLiteral("Top P"), &configuration_.topP, serviceDefault),
        addNumberField(form, QStringLiteral("Presence penalty"), &configuration_.presencePenalty,
                       serviceDefault),
        addNumberField(form, QStringLiteral("Frequency penalty"), &configuration_.frequencyPenalty,
                       serviceDefault),
    };
    samplingNote_ =
        addNote(advanced_, QStringLiteral("Sampling parameters follow the model while thinking is on."));
    samplingNote_->setObjectName(QStringLiteral("samplingNote"));
    form->addRow(samplingNote_);

    addNumberField(form, QStringLiteral("Seed"), &configuration_.seed, serviceDefault);

    stopSequences_ =
        new ModelEditorGrowingText(stopSequenceMinimumLines, stopSequenceMaximumLines, advanced_);
    stopSequences_->setObjectName(QStringLiteral("stopSequences"));
    auto* stopLabel = new QLabel(advanced_);
    labels_.append({stopLabel, QStringLiteral("Stop sequences")});
    form->addRow(stopLabel, stopSequences_);
    connect(stopSequences_, &ModelEditorGrowingText::edited, this, [this](const QString& text) {
        configuration_.stopSequences = text;
        edited();
    });

    systemPrompt_ = new ModelEditorGrowingText(instructionsMinimumLines, instructionsMaximumLines, advanced_);
    systemPrompt_->setObjectName(QStringLiteral("systemPrompt"));
    auto* promptLabel = new QLabel(advanced_);
    labels_.append({promptLabel, QStringLiteral("Response instructions")});
    form->addRow(promptLabel, systemPrompt_);
    connect(systemPrompt_, &ModelEditorGrowingText::edited, this, [this](const QString& text) {
        configuration_.systemPrompt = text;
        edited();
    });

    auto* timeoutRow = new QHBoxLayout;
    timeout_ = new QSpinBox(advanced_);
    timeout_->setObjectName(QStringLiteral("timeout"));
    timeout_->setRange(minimumTimeoutSeconds, maximumTimeoutSeconds);
    timeout_->setSingleStep(timeoutStepSeconds);
    timeoutRow->addWidget(timeout_);
    timeoutRow->addStretch();
    auto* timeoutLabel = new QLabel(advanced_);
    labels_.append({timeoutLabel, QStringLiteral("Request timeout")});
    form->addRow(timeoutLabel, timeoutRow);
    connect(timeout_, &QSpinBox::valueChanged, this, [this](int seconds) {
        configuration_.timeoutSeconds = seconds;
        edited();
    });

    form->addRow(makeResetRow());
    return section;
}

QWidget* ModelEditorOptions::makeResetRow()
{
    auto* row = new QWidget(advanced_);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    QLabel* note = addNote(row, QStringLiteral("Leave optional values blank to follow the service."));
    reset_ = new QToolButton(row);
    reset_->setObjectName(QStringLiteral("resetModelOptions"));
    reset_->setAutoRaise(true);
    reset_->setIcon(
        Symbols::icon(QStringLiteral("arrow.counterclockwise"), Theme::chromeTextPrimary(), resetSymbolSize));
    layout->addWidget(note, 1);
    layout->addWidget(reset_);
    connect(reset_, &QToolButton::clicked, this, &ModelEditorOptions::resetModelOptions);
    return row;
}

ModelNumberField* ModelEditorOptions::addNumberField(QFormLayout* form, const QString& title,
                                                     std::optional<qint64>* value, const QString& placeholder)
{
    return placeNumberField(
        form, new ModelNumberField(title, value, placeholder, &invalidFields_, &numberDrafts_, this));
}

ModelNumberField* ModelEditorOptions::addNumberField(QFormLayout* form, const QString& title,
                                                     std::optional<double>* value, const QString& placeholder)
{
    return placeNumberField(
        form, new ModelNumberField(title, value, placeholder, &invalidFields_, &numberDrafts_, this));
}

ModelNumberField* ModelEditorOptions::placeNumberField(QFormLayout* form, ModelNumberField* field)
{
    field->setObjectName(field->title());
    auto* label = new QLabel(form->parentWidget());
    labels_.append({label, field->title()});
    form->addRow(label, field);
    numberFields_.append(field);
    connect(field, &ModelNumberField::edited, this, &ModelEditorOptions::edited);
    return field;
}

QLabel* ModelEditorOptions::addNote(QWidget* parent, const QString& english)
{
    QLabel* note = makeNote(parent);
    labels_.append({note, english});
    return note;
}

void ModelEditorOptions::setBudgetMode(bool budgetMode)
{
    budgetMode_ = budgetMode;
    if (budgetMode) {
        configuration_.thinkingBudget = budgetWhenChosen;
        configuration_.reasoningEffort = ReasoningEffort::serviceDefault;
    } else {
        configuration_.thinkingBudget.reset();
    }
    edited();
}

void ModelEditorOptions::resetModelOptions()
{
    configuration_ = ModelConfiguration(configuration_.baseURL, configuration_.model,
                                        configuration_.supportsImages, configuration_.provider);
    budgetMode_ = false;
    invalidFields_.clear();
    numberDrafts_.clear();
    edited();
}

void ModelEditorOptions::edited()
{
    refresh();
    emit configurationEdited();
}

void ModelEditorOptions::refresh()
{
    const QSignalBlocker modeBlocker(thinkingMode_);
    const QSignalBlocker effortBlocker(thinkingEffort_);
    const QSignalBlocker imagesBlocker(supportsImages_);
    const QSignalBlocker timeoutBlocker(timeout_);
    thinkingMode_->setCurrentIndex(ThinkingModes::allCases().indexOf(configuration_.thinking));
    thinkingEffort_->setCurrentIndex(ReasoningEfforts::allCases().indexOf(configuration_.reasoningEffort));
    supportsImages_->setChecked(configuration_.supportsImages);
    stopSequences_->showText(configuration_.stopSequences);
    systemPrompt_->showText(configuration_.systemPrompt);
    timeout_->setValue(configuration_.timeoutSeconds);
    for (ModelNumberField* field : std::as_const(numberFields_))
        field->reconcile();
    refreshThinking();
}

void ModelEditorOptions::refreshThinking()
{
    const bool thinking = configuration_.thinking == ThinkingMode::enabled;
    const bool budgetSupported = ModelProviders::supportsThinkingBudget(configuration_.provider);
    const bool byBudget = budgetSupported && budgetMode_;
    {
        const QSignalBlocker blocker(thinkingControl_);
        thinkingControl_->setCurrentIndex(budgetMode_ ? 1 : 0);
    }
    thinkingForm_->setRowVisible(thinkingControl_, thinking && budgetSupported);
    thinkingForm_->setRowVisible(thinkingBudget_, thinking && byBudget);
    if (!(thinking && byBudget))
        thinkingBudget_->discardInvalidText();
    thinkingForm_->setRowVisible(thinkingEffort_, thinking && !byBudget);
    for (ModelNumberField* field : std::as_const(samplingFields_)) {
        field->setEnabled(!thinking);
        if (QWidget* label = advancedForm_->labelForField(field))
            label->setEnabled(!thinking);
    }
    samplingNote_->setVisible(thinking);
}

void ModelEditorOptions::retranslate()
{
    thinkingSection_->setTitle(withoutMnemonics(Localization::string(QStringLiteral("Thinking"))));
    contextSection_->setTitle(withoutMnemonics(Localization::string(QStringLiteral("Context & output"))));
    for (int i = 0; i < thinkingModeRows().size(); ++i)
        thinkingMode_->setItemText(i, Localization::string(thinkingModeRows().at(i).second));
    for (int i = 0; i < thinkingControlRows().size(); ++i)
        thinkingControl_->setItemText(i, Localization::string(thinkingControlRows().at(i)));
    const auto& efforts = ReasoningEfforts::allCases();
    for (int i = 0; i < efforts.size(); ++i)
        thinkingEffort_->setItemText(i, ReasoningEfforts::title(efforts.at(i)));
    const auto setFormLabel = [this](QWidget* field, const QString& english) {
        if (auto* label = qobject_cast<QLabel*>(thinkingForm_->labelForField(field)))
            label->setText(withoutMnemonics(Localization::string(english)));
    };
    setFormLabel(thinkingMode_, QStringLiteral("Thinking mode"));
    setFormLabel(thinkingControl_, QStringLiteral("Thinking control"));
    setFormLabel(thinkingEffort_, QStringLiteral("Thinking effort"));
    // A label with a buddy reads "&" as a mnemonic; one without shows it as written.
    for (const auto& [label, english] : std::as_const(labels_)) {
        const QString text = Localization::string(english);
        label->setText(label->buddy() ? withoutMnemonics(text) : text);
    }
    for (ModelNumberField* field : std::as_const(numberFields_))
        field->retranslate();
    advancedToggle_->setText(withoutMnemonics(Localization::string(QStringLiteral("Advanced parameters"))));
    supportsImages_->setText(withoutMnemonics(Localization::string(QStringLiteral("Supports image input"))));
    stopSequences_->setToolTip(Localization::string(
        QStringLiteral("One sequence per line, up to four. Leave blank to follow the service.")));
    const QString reset = Localization::string(QStringLiteral("Reset model options"));
    reset_->setToolTip(reset);
    reset_->setAccessibleName(reset);
    // The stepper shows its value once, as "%d s" reads in the chosen language.
    const QString seconds = Localization::string(QStringLiteral("%d s"));
    const qsizetype number = seconds.indexOf(QStringLiteral("%d"));
    timeout_->setPrefix(number < 0 ? QString() : seconds.left(number));
    timeout_->setSuffix(number < 0 ? QString() : seconds.mid(number + 2));
    timeout_->setLocale(QLocale(AppLanguages::rawValue(Localization::shared().resolvedLanguage())));
}
