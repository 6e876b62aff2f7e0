#include "UI/Settings/ModelSettingsView.h"

#include "AI/AIModelSettings.h"
#include "AI/ModelError.h"
#include "Platform/Defaults.h"
#include "UI/Appearance.h"
#include "UI/Settings/DestructiveConfirmation.h"
#include "UI/Settings/ModelEditorView.h"
#include "UI/Settings/ModelRowView.h"
#include "UI/Settings/SettingsDetailCard.h"
#include "UI/Settings/SettingsDetailPage.h"
#include "UI/Settings/SettingsDetailRow.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int headerSpacing = 8;
constexpr int emptyStateSpacing = 8;
constexpr int emptyStateSymbolSize = 24;
constexpr int emptyStatePadding = 20;
constexpr int addButtonSymbolSize = 12;
constexpr qint64 tokensPerK = 1024;
constexpr qint64 oneMillionTokens = 1048576;

QLabel* textLabel(const QString& text, const QFont& font, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    return label;
}

QLabel* secondaryLabel(const QString& text, const QFont& font, QWidget* parent)
{
    QLabel* label = textLabel(text, font, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Theme::chromeTextSecondary());
    label->setPalette(palette);
    return label;
}

// The controls that can take the keyboard focus, in the order they were made.
QList<QWidget*> focusableControls(const QWidget* container)
{
    QList<QWidget*> controls;
    for (QWidget* child : container->findChildren<QWidget*>()) {
        if (child->focusPolicy() != Qt::NoFocus && !child->isWindow())
            controls.append(child);
    }
    return controls;
}

} // namespace

ModelSettingsView::ModelSettingsView(QWidget* parent)
    : ModelSettingsView(AIModelSettings::shared(), Platform::defaults(), parent)
{}

ModelSettingsView::ModelSettingsView(AIModelSettings& settings, Platform::Defaults& defaults, QWidget* parent)
    : QWidget(parent)
    , presentEditor([this](const ModelEditorDraft& draft) { presentEditorSheet(draft); })
    , settings_(settings)
    , defaults_(defaults)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    page_ = new SettingsDetailPage(this);
    layout->addWidget(page_);

    connect(&settings_, &AIModelSettings::libraryChanged, this, &ModelSettingsView::redraw);
    connect(&Appearance::shared(), &Appearance::changed, this, &ModelSettingsView::redraw);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this, [this](QObject*) {
        status_.reset();
        redraw();
    });
    redraw();
}

ModelSettingsView::~ModelSettingsView()
{
    if (confirmation_)
        delete confirmation_;
}

QString ModelSettingsView::contextTitle(qint64 tokens)
{
    if (tokens == oneMillionTokens)
        return QStringLiteral("1M");
    if (tokens % tokensPerK != 0)
        return QString::number(tokens);
    return QString::number(tokens / tokensPerK) + u'K';
}

void ModelSettingsView::addModel()
{
    const ModelConfiguration legacy = ModelConfiguration::load(defaults_);
    bool startFromLegacy = false;
    if (settings_.library().models.isEmpty()) {
        try {
            legacy.endpoint();
        } catch (const ModelError&) {
            // An unfinished single configuration from before the library: keep what was typed.
            startFromLegacy = true;
        }
    }
    SavedModel model;
    model.id = QUuid::createUuid();
    model.configuration = startFromLegacy ? legacy : ModelConfiguration();
    model.isEnabled = true;
    openEditor(model, true, false);
}

void ModelSettingsView::update(const SavedModel& model)
{
    ModelLibrary library = settings_.library();
    try {
        library.upsert(model);
    } catch (const ModelError& error) {
        setStatus(error.errorDescription());
        return;
    }
    settings_.commit(library);
    setStatus(std::nullopt);
}

void ModelSettingsView::chooseModel(const QUuid& id)
{
    if (id.isNull())
        return;
    ModelLibrary library = settings_.library();
    try {
        library.select(id);
    } catch (const ModelError& error) {
        setStatus(error.errorDescription());
        return;
    }
    settings_.commit(library);
    setStatus(std::nullopt);
}

ModelRowView* ModelSettingsView::modelRow(const SavedModel& model)
{
    auto* row = new ModelRowView(model);
    connect(row, &ModelRowView::changeRequested, this, &ModelSettingsView::update);
    connect(row, &ModelRowView::editorRequested, this,
            [this](const SavedModel& model, bool showOptions) { openEditor(model, false, showOptions); });
    connect(row, &ModelRowView::removalRequested, this, &ModelSettingsView::askToRemove);
    return row;
}

void ModelSettingsView::editorClosed(const QUuid& draftID)
{
    if (editor_ && editor_->id == draftID)
        editor_.reset();
}

void ModelSettingsView::openEditor(const SavedModel& model, bool isNew, bool showOptions)
{
    editor_ = ModelEditorDraft::make(model, isNew, showOptions);
    presentEditor(*editor_);
}

void ModelSettingsView::presentEditorSheet(const ModelEditorDraft& draft)
{
    auto* sheet = new ModelEditorView(draft, settings_, window());
    connect(sheet, &QDialog::finished, this, [this, sheet, id = draft.id] {
        sheet->deleteLater();
        editorClosed(id);
    });
    sheet->open();
}

void ModelSettingsView::askToRemove(const SavedModel& model)
{
    if (confirmation_)
        return;
    deleting_ = model;
    const QString title = Localization::string(QStringLiteral("Remove model?"));
    // Beside the row of the model it names.
    confirmation_ = openDestructiveConfirmation(
        window(), qobject_cast<QWidget*>(sender()), title,
        Localization::string(
            QStringLiteral("The model configuration will be removed. Saved keys stay in Keychain.")),
        Localization::string(QStringLiteral("Remove")), this,
        [this](bool remove) { confirmationFinished(remove); });
}

void ModelSettingsView::confirmationFinished(bool remove)
{
    confirmation_ = nullptr;
    if (remove && deleting_) {
        ModelLibrary library = settings_.library();
        library.remove(deleting_->id);
        settings_.commit(library);
    }
    deleting_.reset();
}

// A refused change draws the page again even when the message is the same, so that the
// control the user moved shows the stored value again.
void ModelSettingsView::setStatus(const std::optional<QString>& status)
{
    status_ = status;
    redraw();
}

ModelSettingsView::FocusPlace ModelSettingsView::focusPlace() const
{
    QWidget* focused = QApplication::focusWidget();
    if (!body_ || !focused || !body_->isAncestorOf(focused))
        return {};
    for (const ModelRowView* row : rows_) {
        if (row->isAncestorOf(focused))
            return {row->model().id, focusableControls(row).indexOf(focused)};
    }
    return {QUuid(), focusableControls(body_).indexOf(focused)};
}

void ModelSettingsView::restoreFocus(const FocusPlace& place)
{
    if (place.index < 0)
        return;
    const QWidget* container = body_;
    if (!place.modelID.isNull()) {
        const auto row = std::find_if(rows_.cbegin(), rows_.cend(), [&place](const ModelRowView* row) {
            return row->model().id == place.modelID;
        });
        if (row == rows_.cend())
            return;
        container = *row;
    }
    const QList<QWidget*> controls = focusableControls(container);
    if (place.index < controls.size())
        controls.at(place.index)->setFocus(Qt::OtherFocusReason);
}

// The page is drawn afresh from the library; the scroll position and the focused control
// carry over, so that a change made with the keyboard or below the fold stays in view.
void ModelSettingsView::redraw()
{
    const int scrollPosition = page_->verticalScrollBar()->value();
    const FocusPlace focus = focusPlace();
    if (body_) {
        // The old body may be the sender of the change that led here: it goes later.
        body_->hide();
        body_->setParent(nullptr);
        body_->deleteLater();
    }
    rows_.clear();
    emptyStateCard_ = nullptr;
    footerCard_ = nullptr;
    useModelMenu_ = nullptr;
    statusLabel_ = nullptr;

    body_ = new QWidget;
    auto* bodyLayout = new QVBoxLayout(body_);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(SettingsDetailPage::blockSpacing);
    bodyLayout->addWidget(makeHeader());
    if (settings_.library().models.isEmpty()) {
        emptyStateCard_ = makeEmptyState();
        bodyLayout->addWidget(emptyStateCard_);
    }
    for (const SavedModel& model : settings_.library().models) {
        ModelRowView* row = modelRow(model);
        rows_.append(row);
        bodyLayout->addWidget(row);
    }
    if (!settings_.library().enabledModels().isEmpty() || status_) {
        footerCard_ = makeFooter();
        bodyLayout->addWidget(footerCard_);
    }
    page_->addBlock(body_);
    body_->show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    page_->verticalScrollBar()->setValue(scrollPosition);
    restoreFocus(focus);
}

QWidget* ModelSettingsView::makeHeader()
{
    auto* header = new QWidget;
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(headerSpacing);
    layout->addWidget(
        textLabel(Localization::string(QStringLiteral("My Models")), VelloraTypography::title(), header), 0,
        Qt::AlignVCenter);
    countLabel_ = secondaryLabel(QString::number(settings_.library().models.size()),
                                 VelloraTypography::control(), header);
    layout->addWidget(countLabel_, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    addButton_ = new QPushButton(Localization::string(QStringLiteral("Add Model")), header);
    addButton_->setFont(VelloraTypography::control());
    addButton_->setIcon(
        Symbols::icon(QStringLiteral("plus"), Theme::chromeTextPrimary(), addButtonSymbolSize));
    connect(addButton_, &QPushButton::clicked, this, &ModelSettingsView::addModel);
    layout->addWidget(addButton_, 0, Qt::AlignVCenter);
    return header;
}

SettingsDetailCard* ModelSettingsView::makeEmptyState()
{
    auto* card = new SettingsDetailCard;
    auto* stack = new QWidget(card);
    auto* layout = new QVBoxLayout(stack);
    layout->setContentsMargins(0, emptyStatePadding, 0, emptyStatePadding);
    layout->setSpacing(emptyStateSpacing);
    auto* symbol = new QLabel(stack);
    symbol->setPixmap(Symbols::pixmap(QStringLiteral("sparkles"), Theme::chromeTextTertiary(),
                                      emptyStateSymbolSize, devicePixelRatioF()));
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    QLabel* title = textLabel(Localization::string(QStringLiteral("Add your first model")),
                              VelloraTypography::title(), stack);
    QLabel* caption =
        secondaryLabel(Localization::string(QStringLiteral("Connect a model to start asking AI.")),
                       VelloraTypography::caption(), stack);
    for (QLabel* label : {title, caption}) {
        label->setAlignment(Qt::AlignHCenter);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    card->addItem(stack);
    return card;
}

SettingsDetailCard* ModelSettingsView::makeFooter()
{
    auto* card = new SettingsDetailCard;
    const ModelLibrary& library = settings_.library();
    const QList<SavedModel> enabled = library.enabledModels();
    if (!enabled.isEmpty()) {
        const QString title = Localization::string(QStringLiteral("Use model"));
        useModelMenu_ = new QComboBox;
        useModelMenu_->setFont(VelloraTypography::control());
        useModelMenu_->setAccessibleName(title);
        useModelMenu_->setMaximumWidth(useModelMenuMaximumWidth);
        for (const SavedModel& model : enabled)
            useModelMenu_->addItem(model.configuration.model, model.id);
        const std::optional<SavedModel> active = library.activeModel();
        useModelMenu_->setCurrentIndex(active ? useModelMenu_->findData(active->id) : -1);
        connect(useModelMenu_, &QComboBox::activated, this,
                [this](int index) { chooseModel(useModelMenu_->itemData(index).toUuid()); });
        card->addItem(new SettingsDetailRow(title, useModelMenu_));
    }
    if (status_) {
        statusLabel_ = secondaryLabel(*status_, VelloraTypography::caption(), card);
        statusLabel_->setWordWrap(true);
        statusLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        card->addItem(statusLabel_);
    }
    QLabel* note = secondaryLabel(Localization::string(QStringLiteral("Changes apply to your next message.")),
                                  VelloraTypography::caption(), card);
    note->setWordWrap(true);
    card->addItem(note);
    return card;
}
