#include "UI/AI/ConversationDraftView.h"

#include "UI/AI/AISharingConsentView.h"
#include "UI/AI/ClipboardToggleMouseCapture.h"
#include "UI/AI/ConversationComposer.h"
#include "UI/AI/ConversationMaterialsColumn.h"
#include "UI/AI/ConversationWorkspace.h"
#include "UI/AI/DraftQuestionEditor.h"
#include "UI/AI/MaterialPreview.h"
#include "UI/Appearance.h"
#include "UI/Bar/BarWindowController.h"
#include "UI/CopyToastController.h"
#include "UI/Theme.h"
#include "UI/VelloraIconButton.h"
#include "UI/VelloraTooltip.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int toolbarHeight = 52;
constexpr int toolbarEdgeHeight = 1;
constexpr int toolbarPadding = 16;
constexpr int toolbarSpacing = 10;
constexpr int titlePixelSize = 14;
constexpr int toggleSize = 32;
constexpr qreal toolbarEdgeOpacity = 0.6;
constexpr int dividerWidth = 1;
constexpr int workspacePadding = 36;

void fill(QWidget* widget, QColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QColor withOpacity(QColor color, qreal opacity)
{
    color.setAlphaF(color.alphaF() * opacity);
    return color;
}

} // namespace

ConversationDraftView::ConversationDraftView(ConversationDraft draft, DraftQuestionEditorBridge& editorBridge,
                                             ConversationSession& session, AIModelSettings& modelSettings,
                                             ResultHandler onResultAction, QWidget* parent)
    : QWidget(parent)
    , draft_(std::move(draft))
    , editorBridge_(editorBridge)
    , onResultAction_(std::move(onResultAction))
    , session_(session)
    , modelSettings_(modelSettings)
{
    build();
    connect(&Appearance::shared(), &Appearance::changed, this, &ConversationDraftView::applyTheme);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { retranslate(); });
    applyTheme();
    retranslate();
}

ConversationDraftView::~ConversationDraftView()
{
    delete consentSheet_;
    delete previewSheet_;
}

void ConversationDraftView::setQuestion(const QString& question)
{
    if (question_ == question)
        return;
    question_ = question;
    emit questionChanged(question_);
}

void ConversationDraftView::setPreviewMaterial(const std::optional<ConversationMaterial>& material)
{
    if (previewMaterial_ == material)
        return;
    previewMaterial_ = material;
    presentPreviewSheet();
    emit previewMaterialChanged();
}

void ConversationDraftView::setSharingRequest(const std::optional<ConversationSendRequest>& request)
{
    if (sharingRequest_ == request)
        return;
    sharingRequest_ = request;
    presentConsentSheet();
    emit sharingRequestChanged();
}

void ConversationDraftView::setInputFocused(bool focused)
{
    if (inputFocused_ == focused)
        return;
    inputFocused_ = focused;
    emit inputFocusedChanged(focused);
}

void ConversationDraftView::setResultActions(const ConversationResultActionState& state)
{
    if (resultActions_ == state)
        return;
    resultActions_ = state;
    emit resultActionsChanged();
}

void ConversationDraftView::performResultAction(ConversationResultAction action, const QString& answer,
                                                ResultCompletion completion)
{
    onResultAction_(action, answer, std::move(completion));
}

DraftQuestionEditor* ConversationDraftView::makeQuestionEditor(QWidget* parent)
{
    auto* editor = new DraftQuestionEditor(editorBridge_, question_, parent);
    connect(this, &ConversationDraftView::questionChanged, editor, &DraftQuestionEditor::setQuestion);
    connect(editor, &DraftQuestionEditor::questionEdited, this, &ConversationDraftView::setQuestion);
    connect(editor, &DraftQuestionEditor::focusChanged, this, &ConversationDraftView::setInputFocused);
    return editor;
}

void ConversationDraftView::toggleClipboard()
{
    const std::optional<bool> captured = std::exchange(clipboardPresentedOnMouseDown_, std::nullopt);
    const std::function<void()>& request =
        captured.value_or(isBarVisible()) ? appActions_.hideBar : appActions_.showBar;
    if (request)
        request();
}

void ConversationDraftView::showModelSettings() const
{
    if (appActions_.showModelSettings)
        appActions_.showModelSettings();
}

AISharingConsentView* ConversationDraftView::consentSheet() const
{
    return consentSheet_;
}

QDialog* ConversationDraftView::previewSheet() const
{
    return previewSheet_;
}

BarPhase ConversationDraftView::barPhase() const
{
    return appActions_.barPhase ? appActions_.barPhase() : BarPhase{};
}

bool ConversationDraftView::isBarVisible() const
{
    return barPhase().isVisible();
}

void ConversationDraftView::build()
{
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(buildToolbar());
    root->addWidget(buildColumns(), 1);
}

QWidget* ConversationDraftView::buildToolbar()
{
    auto* bar = new QWidget(this);
    bar->setFixedHeight(toolbarHeight);
    auto* column = new QVBoxLayout(bar);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    toolbar_ = new QWidget(bar);
    auto* row = new QHBoxLayout(toolbar_);
    row->setContentsMargins(toolbarPadding, 0, toolbarPadding, 0);
    row->setSpacing(toolbarSpacing);
    title_ = new QLabel(toolbar_);
    title_->setTextFormat(Qt::PlainText);
    QFont font = title_->font();
    font.setPixelSize(titlePixelSize);
    font.setWeight(QFont::Medium);
    title_->setFont(font);
    clipboardToggle_ =
        new VelloraIconButton(QStringLiteral("rectangle.stack"), {toggleSize, false}, toolbar_);
    connect(clipboardToggle_, &QToolButton::clicked, this, &ConversationDraftView::toggleClipboard);
    new ClipboardToggleMouseCapture(
        clipboardToggle_, [this] { return barPhase(); },
        [this](std::optional<bool> visible) { clipboardPresentedOnMouseDown_ = visible; });
    row->addWidget(title_, 0, Qt::AlignVCenter);
    // Toasts about this window go between the title and the toggle, where they hide nothing.
    auto* toastArea = new QWidget(toolbar_);
    toastArea->setObjectName(QLatin1String(CopyToastController::areaName));
    toastArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    row->addWidget(toastArea, 1);
    row->addWidget(clipboardToggle_, 0, Qt::AlignVCenter);
    toolbarEdge_ = new QWidget(bar);
    toolbarEdge_->setFixedHeight(toolbarEdgeHeight);
    column->addWidget(toolbar_, 1);
    column->addWidget(toolbarEdge_);
    return bar;
}

QWidget* ConversationDraftView::buildColumns()
{
    auto* columns = new QWidget(this);
    auto* row = new QHBoxLayout(columns);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    materialsColumn_ = new ConversationMaterialsColumn(*this, columns);
    materialsColumn_->setFixedWidth(ConversationMaterialsColumn::columnWidth);
    divider_ = new QWidget(columns);
    divider_->setFixedWidth(dividerWidth);
    workspaceContainer_ = new QWidget(columns);
    auto* padding = new QVBoxLayout(workspaceContainer_);
    padding->setContentsMargins(workspacePadding, 0, workspacePadding, 0);
    padding->setSpacing(0);
    workspace_ = new ConversationWorkspace(*this, workspaceContainer_);
    padding->addWidget(workspace_);
    row->addWidget(materialsColumn_);
    row->addWidget(divider_);
    row->addWidget(workspaceContainer_, 1);
    return columns;
}

void ConversationDraftView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void ConversationDraftView::applyTheme()
{
    setFont(VelloraTypography::body());
    fill(this, Theme::window().color());
    fill(toolbar_, Theme::window().color());
    fill(toolbarEdge_, withOpacity(Theme::cardBorder().color(), toolbarEdgeOpacity));
    fill(divider_, Theme::cardBorder().color());
    fill(workspaceContainer_, Theme::chat().color());
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Theme::chromeTextPrimary().color());
    setPalette(palette);
}

void ConversationDraftView::retranslate()
{
    title_->setText(Localization::string(QStringLiteral("Ask AI")));
    const QString toggleText = Localization::string(QStringLiteral("Show or hide clipboard"));
    VelloraTooltip::attach(clipboardToggle_, toggleText);
    clipboardToggle_->setAccessibleName(toggleText);
}

void ConversationDraftView::presentConsentSheet()
{
    if (consentSheet_ && (!sharingRequest_ || consentSheet_->request() != *sharingRequest_)) {
        consentSheet_->hide();
        consentSheet_->deleteLater();
        consentSheet_.clear();
    }
    if (!sharingRequest_ || consentSheet_)
        return;
    ConversationComposer* composer = &workspace_->composer();
    const ConversationSendRequest request = *sharingRequest_;
    consentSheet_ = new AISharingConsentView(
        request, [composer] { composer->cancelSharing(); },
        [composer, request] { composer->approveSharing(request); }, window());
    consentSheet_->setWindowModality(Qt::WindowModal);
    consentSheet_->open();
}

void ConversationDraftView::presentPreviewSheet()
{
    if (previewSheet_) {
        QDialog* sheet = previewSheet_;
        previewSheet_.clear();
        sheet->hide();
        sheet->deleteLater();
    }
    if (!previewMaterial_)
        return;
    auto* sheet = new QDialog(window());
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new MaterialPreview(*this, *previewMaterial_, sheet));
    sheet->setWindowModality(Qt::WindowModal);
    connect(sheet, &QDialog::finished, this, [this, sheet] {
        if (previewSheet_ == sheet)
            setPreviewMaterial(std::nullopt);
    });
    previewSheet_ = sheet;
    sheet->open();
}
