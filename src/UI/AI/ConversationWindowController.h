#pragma once

#include "AI/ConversationDraft.h"
#include "AI/ConversationResultAction.h"

#include <QObject>
#include <QSize>
#include <QUuid>
#include <functional>
#include <memory>
#include <optional>

class AIModelSettings;
class AISharingConsentStore;
class ConversationDraftView;
class ConversationSession;
class DraftQuestionEditorBridge;
class ModelNetworkAccessManager;
class QWidget;

// One conversation window: its network access, its session, the question editor's bridge
// and the window hosting a ConversationDraftView. Closing the window cancels the request in
// flight and calls onClose once; the window's first activation focuses the editor. Result
// actions run one at a time, and the window is hidden while an answer is pasted back.
class ConversationWindowController final : public QObject {
    Q_OBJECT
public:
    using ResultCompletion = std::function<void(bool succeeded)>;
    using ResultHandler = std::function<void(ConversationResultAction action, const QString& answer,
                                             ResultCompletion completion)>;

    static constexpr QSize windowSize{1100, 720};
    static constexpr QSize minimumWindowSize{880, 540};

    // Over AIModelSettings::shared() and AISharingConsentStore::shared().
    ConversationWindowController(ConversationDraft draft, ResultHandler onResultAction,
                                 QObject* parent = nullptr);
    ConversationWindowController(ConversationDraft draft, ResultHandler onResultAction,
                                 AIModelSettings& modelSettings, AISharingConsentStore& consentStore,
                                 QObject* parent = nullptr);
    ~ConversationWindowController() override;

    // Set by the creator; called once, when the window closes.
    std::function<void()> onClose;

    // The window's number in the status menu's "Conversation %d", given by the creator.
    int number() const { return number_; }
    void setNumber(int number) { number_ = number; }

    bool isClosed() const { return isClosed_; }
    bool isResultActionRunning() const { return resultActionToken_.has_value(); }
    ConversationSession& session() const { return *session_; }
    DraftQuestionEditorBridge& editorBridge() const { return *editorBridge_; }
    ConversationDraftView& view() const { return *view_; }
    QWidget* window() const { return window_.get(); }

    // Shows the window in front and active; nothing once closed.
    void showWindow();
    void close();
    // Refused (completion(false)) when closed, another action runs or the answer is blank.
    void performResultAction(ConversationResultAction action, const QString& answer,
                             ResultCompletion completion);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void windowWillClose();
    void windowDidBecomeKey();
    void finishResultAction(ConversationResultAction action, const QUuid& token, bool succeeded,
                            const ResultCompletion& completion);
    void retranslate();

    bool isClosed_ = false;
    int number_ = 0;
    ResultHandler onResultAction_;
    std::optional<QUuid> resultActionToken_;
    std::unique_ptr<ModelNetworkAccessManager> network_;
    std::unique_ptr<ConversationSession> session_;
    std::unique_ptr<DraftQuestionEditorBridge> editorBridge_;
    std::unique_ptr<QWidget> window_;
    ConversationDraftView* view_ = nullptr;
};
