#include "UI/AI/ConversationWindowController.h"

#include "AI/AIChatClient.h"
#include "AI/AIModelSettings.h"
#include "AI/AISharingConsentStore.h"
#include "AI/ConversationSession.h"
#include "AI/ModelNetworkAccessManager.h"
#include "UI/AI/ConversationDraftView.h"
#include "UI/AI/DraftQuestionEditorBridge.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWidget>

ConversationWindowController::ConversationWindowController(ConversationDraft draft,
                                                           ResultHandler onResultAction, QObject* parent)
    : ConversationWindowController(std::move(draft), std::move(onResultAction), AIModelSettings::shared(),
                                   AISharingConsentStore::shared(), parent)
{}

ConversationWindowController::ConversationWindowController(ConversationDraft draft,
                                                           ResultHandler onResultAction,
                                                           AIModelSettings& modelSettings,
                                                           AISharingConsentStore& consentStore,
                                                           QObject* parent)
    : QObject(parent)
    , onResultAction_(std::move(onResultAction))
    , network_(std::make_unique<ModelNetworkAccessManager>())
    , session_(std::make_unique<ConversationSession>(
          draft.materials, AIChatClient(network_.get()), consentStore,
          [&modelSettings] { return modelSettings.activeCredentials(); }))
    , editorBridge_(std::make_unique<DraftQuestionEditorBridge>())
    , window_(std::make_unique<QWidget>())
{
    QPointer<ConversationWindowController> self(this);
    view_ = new ConversationDraftView(
        std::move(draft), *editorBridge_, *session_, modelSettings,
        [self](ConversationResultAction action, const QString& answer, ResultCompletion completion) {
            if (!self) {
                completion(false);
                return;
            }
            self->performResultAction(action, answer, std::move(completion));
        },
        window_.get());
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    window_->setMouseTracking(true);
    window_->resize(windowSize);
    window_->setMinimumSize(minimumWindowSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window_->move(screen->availableGeometry().center() - window_->rect().center());
    window_->installEventFilter(this);
    // The desktop's key for closing a window (Ctrl+W), also while the question has the focus.
    auto* closeKey = new QShortcut(QKeySequence::Close, window_.get());
    connect(closeKey, &QShortcut::activated, window_.get(), &QWidget::close);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { retranslate(); });
    retranslate();
}

ConversationWindowController::~ConversationWindowController()
{
    window_->removeEventFilter(this);
}

void ConversationWindowController::showWindow()
{
    if (isClosed_)
        return;
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void ConversationWindowController::close()
{
    window_->close();
}

void ConversationWindowController::performResultAction(ConversationResultAction action, const QString& answer,
                                                       ResultCompletion completion)
{
    if (isClosed_ || resultActionToken_ || answer.trimmed().isEmpty()) {
        completion(false);
        return;
    }
    const QUuid token = QUuid::createUuid();
    resultActionToken_ = token;
    if (action == ConversationResultAction::paste)
        window_->hide();
    QPointer<ConversationWindowController> self(this);
    onResultAction_(action, answer,
                    [self, action, token, completion = std::move(completion)](bool succeeded) {
                        if (self)
                            self->finishResultAction(action, token, succeeded, completion);
                    });
}

void ConversationWindowController::finishResultAction(ConversationResultAction action, const QUuid& token,
                                                      bool succeeded, const ResultCompletion& completion)
{
    if (resultActionToken_ != token)
        return;
    resultActionToken_.reset();
    if (action == ConversationResultAction::paste && !succeeded)
        showWindow();
    completion(succeeded);
}

bool ConversationWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_.get()) {
        if (event->type() == QEvent::Close)
            windowWillClose();
        else if (event->type() == QEvent::WindowActivate)
            windowDidBecomeKey();
    }
    return QObject::eventFilter(watched, event);
}

void ConversationWindowController::windowWillClose()
{
    if (isClosed_)
        return;
    session_->cancel();
    isClosed_ = true;
    if (onClose)
        onClose();
}

void ConversationWindowController::windowDidBecomeKey()
{
    if (editorBridge_->initialFocusPending())
        editorBridge_->requestInitialFocus();
}

void ConversationWindowController::retranslate()
{
    window_->setWindowTitle(Localization::string(QStringLiteral("Vellora · New Conversation")));
}
