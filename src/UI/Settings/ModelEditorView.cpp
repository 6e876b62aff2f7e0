#include "UI/Settings/ModelEditorView.h"

#include "AI/AIChatClient.h"
#include "AI/AIModelSettings.h"
#include "AI/ModelNetworkAccessManager.h"
#include "UI/ScrollBarLook.h"
#include "UI/Settings/ModelEditorFooter.h"
#include "UI/Settings/ModelEditorOptions.h"
#include "UI/Settings/SettingsWheelGuard.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "UI/WithoutMnemonics.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int headerPadding = 20;
constexpr int titlePixelSize = 16;
constexpr int moreOptionsSpacing = 7;
constexpr int chevronSize = 10;
constexpr int eyeSymbolSize = 14;

const QString addressPlaceholder = QStringLiteral("https://api.example.com/v1");
const QString modelNamePlaceholder = QStringLiteral("model-id");

QLabel* secondaryCaption(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFont(VelloraTypography::caption());
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Theme::chromeTextSecondary());
    label->setPalette(palette);
    return label;
}

void fillBar(QWidget* bar)
{
    bar->setAutoFillBackground(true);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, Theme::sidebar());
    bar->setPalette(palette);
}

} // namespace

ModelEditorView::ModelEditorView(const ModelEditorDraft& draft, QWidget* parent)
    : ModelEditorView(draft, AIModelSettings::shared(), parent)
{}

ModelEditorView::ModelEditorView(const ModelEditorDraft& draft, AIModelSettings& settings, QWidget* parent)
    : QDialog(parent)
    , settings_(settings)
    , modelID_(draft.model.id)
    , enabled_(draft.model.isEnabled)
    , isNew_(draft.isNew)
    , moreOptions_(draft.showOptions)
    , configuration_(draft.model.configuration)
    , observedConfiguration_(draft.model.configuration)
    , budgetMode_(draft.model.configuration.thinkingBudget.has_value())
{
    setWindowModality(Qt::WindowModal);
    setObjectName(QStringLiteral("modelEditor"));

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(makeHeader());

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // As on the settings pages, the wheel scrolls the sheet over a menu or stepper.
    SettingsWheelGuard::guard(scroll);
    form_ = new QWidget;
    scroll->setWidget(form_);
    auto* formLayout = new QVBoxLayout(form_);
    formLayout->addWidget(makeBasics());
    formLayout->addWidget(makeMoreOptionsRow());
    options_ = new ModelEditorOptions(configuration_, budgetMode_, invalidFields_, numberDrafts_, form_);
    formLayout->addWidget(options_);
    formLayout->addStretch();
    ScrollBarLook::follow(scroll->verticalScrollBar(), Theme::window());
    layout->addWidget(scroll, 1);

    footer_ = new ModelEditorFooter(isNew_, this);
    layout->addWidget(footer_);

    connectBasics();
    // The address is the first thing to fill in; typing goes there once the sheet opens.
    address_->setFocus();
    NotificationCenter::shared().observe(Notifications::languageDidChange, this, [this](QObject*) {
        setStatus(std::nullopt);
        retranslate();
    });
    retranslate();
    refresh();
}

ModelEditorView::~ModelEditorView()
{
    // No answer may reach a view being destroyed.
    if (testTask_) {
        testTask_->disconnect(this);
        testTask_->cancel();
    }
}

QWidget* ModelEditorView::makeHeader()
{
    auto* header = new QWidget(this);
    fillBar(header);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(headerPadding, headerPadding, headerPadding, headerPadding);
    title_ = new QLabel(header);
    title_->setObjectName(QStringLiteral("title"));
    QFont font = title_->font();
    font.setPixelSize(titlePixelSize);
    font.setWeight(QFont::DemiBold);
    title_->setFont(font);
    row->addWidget(title_);
    row->addStretch();
    return header;
}

QWidget* ModelEditorView::makeBasics()
{
    auto* section = new QGroupBox(form_);
    auto* form = new QFormLayout(section);

    provider_ = new QComboBox(section);
    provider_->setObjectName(QStringLiteral("provider"));
    for (qsizetype i = 0; i < ModelProviders::allCases().size(); ++i)
        provider_->addItem(QString());
    providerLabel_ = new QLabel(section);
    form->addRow(providerLabel_, provider_);

    address_ = new QLineEdit(section);
    address_->setObjectName(QStringLiteral("address"));
    address_->setPlaceholderText(addressPlaceholder);
    addressLabel_ = new QLabel(section);
    form->addRow(addressLabel_, address_);

    modelName_ = new QLineEdit(section);
    modelName_->setObjectName(QStringLiteral("modelName"));
    modelName_->setPlaceholderText(modelNamePlaceholder);
    modelNameLabel_ = new QLabel(section);
    form->addRow(modelNameLabel_, modelName_);

    auto* keyRow = new QHBoxLayout;
    key_ = new QLineEdit(section);
    key_->setObjectName(QStringLiteral("key"));
    eye_ = new QToolButton(section);
    eye_->setObjectName(QStringLiteral("eye"));
    eye_->setAutoRaise(true);
    keyRow->addWidget(key_);
    keyRow->addWidget(eye_);
    keyLabel_ = new QLabel(section);
    form->addRow(keyLabel_, keyRow);

    keychainNote_ = secondaryCaption(section);
    keychainNote_->setObjectName(QStringLiteral("keychainNote"));
    form->addRow(keychainNote_);
    return section;
}

QWidget* ModelEditorView::makeMoreOptionsRow()
{
    moreOptionsRow_ = new QToolButton(form_);
    moreOptionsRow_->setObjectName(QStringLiteral("moreOptions"));
    moreOptionsRow_->setAutoRaise(true);
    moreOptionsRow_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    moreOptionsRow_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    moreOptionsRow_->setStyleSheet(QStringLiteral("QToolButton { text-align: left; padding-left: 0; }"));
    moreOptionsRow_->setIconSize(QSize(chevronSize + moreOptionsSpacing, chevronSize));
    return moreOptionsRow_;
}

void ModelEditorView::connectBasics()
{
    connect(provider_, &QComboBox::currentIndexChanged, this, &ModelEditorView::setProvider);
    connect(address_, &QLineEdit::textEdited, this, [this](const QString& text) {
        configuration_.baseURL = text;
        configurationChanged();
    });
    connect(modelName_, &QLineEdit::textEdited, this, [this](const QString& text) {
        configuration_.model = text;
        configurationChanged();
    });
    connect(key_, &QLineEdit::textEdited, this,
            [this](const QString& text) { credentials_.typedKey = text; });
    connect(eye_, &QToolButton::clicked, this, &ModelEditorView::toggleShowsKey);
    connect(moreOptionsRow_, &QToolButton::clicked, this, &ModelEditorView::toggleMoreOptions);
    connect(options_, &ModelEditorOptions::configurationEdited, this, &ModelEditorView::configurationChanged);
    connect(footer_, &ModelEditorFooter::cancelRequested, this, &ModelEditorView::cancel);
    connect(footer_, &ModelEditorFooter::saveWithoutTestingRequested, this, &ModelEditorView::save);
    connect(footer_, &ModelEditorFooter::removeKeyRequested, this, &ModelEditorView::removeKey);
    connect(footer_, &ModelEditorFooter::validateAndSaveRequested, this, &ModelEditorView::test);
}

void ModelEditorView::configurationChanged()
{
    if (configuration_ != observedConfiguration_) {
        observedConfiguration_ = configuration_;
        status_.reset();
    }
    refresh();
}

void ModelEditorView::setProvider(int index)
{
    configuration_.provider = ModelProviders::allCases().at(index);
    if (!ModelProviders::supportsThinkingBudget(configuration_.provider)) {
        configuration_.thinkingBudget.reset();
        budgetMode_ = false;
    }
    status_.reset();
    configurationChanged();
}

void ModelEditorView::setStatus(const std::optional<QString>& status)
{
    status_ = status;
    refresh();
}

void ModelEditorView::setTesting(bool testing)
{
    testing_ = testing;
    refresh();
}

void ModelEditorView::toggleMoreOptions()
{
    moreOptions_ = !moreOptions_;
    refresh();
}

void ModelEditorView::toggleShowsKey()
{
    showsKey_ = !showsKey_;
    refresh();
}

void ModelEditorView::save()
{
    if (!canSave())
        return;
    store(configuration_, credentials_);
}

void ModelEditorView::store(const ModelConfiguration& configuration, const ModelCredentialDraft& credentials)
{
    try {
        settings_.save(SavedModel{modelID_, configuration, enabled_}, credentials.keyArgument());
    } catch (const ModelError& error) {
        setStatus(error.errorDescription());
        return;
    }
    credentials_ = ModelCredentialDraft();
    closing_ = true;
    accept();
}

void ModelEditorView::removeKey()
{
    credentials_.typedKey.clear();
    credentials_.removeSavedKey = true;
    setStatus(Localization::string(QStringLiteral("Key will be removed when saved")));
}

void ModelEditorView::test()
{
    if (!canSave())
        return;
    setTesting(true);
    setStatus(std::nullopt);
    const ModelConfiguration snapshot = configuration_;
    const ModelCredentialDraft snapshotCredentials = credentials_;
    QString key;
    try {
        snapshot.validateGeneration();
        const std::optional<QString> typed = snapshotCredentials.keyArgument();
        if (typed)
            key = *typed;
        else
            key = settings_.keychain().read(snapshot.endpoint().toString(QUrl::FullyEncoded));
    } catch (const ModelError& error) {
        setStatus(error.errorDescription());
        setTesting(false);
        return;
    }
    // A network session for this one test: no cookies, no cache, no redirects.
    auto* manager = new ModelNetworkAccessManager(this);
    ChatReply* reply = AIChatClient(manager).testConnection(snapshot, key);
    testTask_ = reply;
    connect(reply, &ChatReply::finished, this, [=, this](const ChatResult& result) {
        manager->deleteLater();
        finishTest(result, snapshot, snapshotCredentials);
    });
}

void ModelEditorView::finishTest(const ChatResult& result, const ModelConfiguration& snapshot,
                                 const ModelCredentialDraft& snapshotCredentials)
{
    testTask_ = nullptr;
    switch (result.status) {
    case ChatResult::Status::cancelled:
        break;
    case ChatResult::Status::failed:
        setStatus(result.error ? result.error->errorDescription() : ChatResult::connectionFailedMessage());
        break;
    case ChatResult::Status::connectionFailed:
        setStatus(ChatResult::connectionFailedMessage());
        break;
    case ChatResult::Status::answered:
        store(snapshot, snapshotCredentials);
        break;
    }
    setTesting(false);
}

void ModelEditorView::cancelTest()
{
    if (!testTask_)
        return;
    const QPointer<ChatReply> task = testTask_;
    testTask_ = nullptr;
    task->cancel();
}

void ModelEditorView::cancel()
{
    cancelTest();
    closing_ = true;
    QDialog::reject();
}

void ModelEditorView::reject()
{
    cancel();
}

void ModelEditorView::closeEvent(QCloseEvent* event)
{
    // While a test runs the sheet is not dismissed interactively; "Cancel" stops the test.
    if (testing_ && !closing_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ModelEditorView::hideEvent(QHideEvent* event)
{
    // A spontaneous hide is the window system's (a minimized window): the sheet is still open.
    if (!event->spontaneous())
        cancelTest();
    QDialog::hideEvent(event);
}

void ModelEditorView::refresh()
{
    title_->setText(
        Localization::string(isNew_ ? QStringLiteral("Add Model") : QStringLiteral("Edit Model")));
    {
        const QSignalBlocker blocker(provider_);
        provider_->setCurrentIndex(ModelProviders::allCases().indexOf(configuration_.provider));
    }
    if (address_->text() != configuration_.baseURL)
        address_->setText(configuration_.baseURL);
    if (modelName_->text() != configuration_.model)
        modelName_->setText(configuration_.model);
    if (key_->text() != credentials_.typedKey)
        key_->setText(credentials_.typedKey);
    key_->setEchoMode(showsKey_ ? QLineEdit::Normal : QLineEdit::Password);
    key_->setPlaceholderText(Localization::string(credentials_.removeSavedKey
                                                      ? QStringLiteral("Key will be removed when saved")
                                                      : QStringLiteral("Leave blank to keep the saved key")));
    eye_->setIcon(Symbols::icon(showsKey_ ? QStringLiteral("eye.slash") : QStringLiteral("eye"),
                                Theme::chromeTextPrimary(), eyeSymbolSize));
    eye_->setProperty("symbol", showsKey_ ? QStringLiteral("eye.slash") : QStringLiteral("eye"));
    moreOptionsRow_->setIcon(
        Symbols::icon(moreOptions_ ? QStringLiteral("chevron.down") : QStringLiteral("chevron.right"),
                      Theme::chromeTextPrimary(), chevronSize));
    options_->refresh();
    options_->setVisible(moreOptions_);
    form_->setEnabled(!testing_);
    footer_->showState(status_, !invalidFields_.isEmpty(), testing_);
    setFixedSize(sheetWidth, moreOptions_ ? openHeight : closedHeight);
}

void ModelEditorView::retranslate()
{
    const auto& providers = ModelProviders::allCases();
    for (int i = 0; i < providers.size(); ++i)
        provider_->setItemText(i, ModelProviders::title(providers.at(i)));
    const QString providerHelp = Localization::string(
        QStringLiteral("Presets adapt parameters only; your API address and saved key stay unchanged."));
    provider_->setToolTip(providerHelp);
    providerLabel_->setText(withoutMnemonics(Localization::string(QStringLiteral("Provider"))));
    addressLabel_->setText(withoutMnemonics(Localization::string(QStringLiteral("API Address"))));
    modelNameLabel_->setText(withoutMnemonics(Localization::string(QStringLiteral("Model Name"))));
    const QString keyTitle = Localization::string(QStringLiteral("API Key"));
    keyLabel_->setText(keyTitle);
    key_->setAccessibleName(keyTitle);
    const QString showOrHide = Localization::string(QStringLiteral("Show or hide key"));
    eye_->setToolTip(showOrHide);
    eye_->setAccessibleName(showOrHide);
    keychainNote_->setText(Localization::string(
        QStringLiteral("Models at the same API address share a key in this Mac's Keychain.")));
    const QString moreOptions = Localization::string(QStringLiteral("More options"));
    moreOptionsRow_->setText(withoutMnemonics(moreOptions));
    moreOptionsRow_->setAccessibleName(moreOptions);
    options_->retranslate();
    footer_->retranslate();
    refresh();
}
