#pragma once

#include "AI/ConversationDraft.h"
#include "AI/ConversationMaterial.h"
#include "AI/ConversationResultAction.h"
#include "AI/ConversationSendRequest.h"
#include "UI/Bar/BarWindowController.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class AIModelSettings;
class ConversationMaterialsColumn;
class ConversationWorkspace;
class AISharingConsentView;
class ConversationSession;
class DraftQuestionEditor;
class DraftQuestionEditorBridge;
class QDialog;
class QLabel;
class VelloraIconButton;

// The content of a conversation window: the state its parts share, a toolbar ("Ask AI" and
// the clipboard-bar toggle) above the materials column and the workspace, and the two
// sheets (consent before a send, preview of one material). Change signals fire only on a
// real change.
class ConversationDraftView final : public QWidget {
    Q_OBJECT
public:
    using ResultCompletion = std::function<void(bool succeeded)>;
    using ResultHandler = std::function<void(ConversationResultAction action, const QString& answer,
                                             ResultCompletion completion)>;

    ConversationDraftView(ConversationDraft draft, DraftQuestionEditorBridge& editorBridge,
                          ConversationSession& session, AIModelSettings& modelSettings,
                          ResultHandler onResultAction, QWidget* parent = nullptr);
    ~ConversationDraftView() override;

    const ConversationDraft& draft() const { return draft_; }

    const QString& question() const { return question_; }
    void setQuestion(const QString& question);

    const std::optional<ConversationMaterial>& previewMaterial() const { return previewMaterial_; }
    void setPreviewMaterial(const std::optional<ConversationMaterial>& material);

    const std::optional<ConversationSendRequest>& sharingRequest() const { return sharingRequest_; }
    void setSharingRequest(const std::optional<ConversationSendRequest>& request);

    bool inputFocused() const { return inputFocused_; }
    void setInputFocused(bool focused);

    const ConversationResultActionState& resultActions() const { return resultActions_; }
    void setResultActions(const ConversationResultActionState& state);

    DraftQuestionEditorBridge& editorBridge() const { return editorBridge_; }
    ConversationSession& session() const { return session_; }
    AIModelSettings& modelSettings() const { return modelSettings_; }
    // Runs an answer's action through the window; the completion runs exactly once.
    void performResultAction(ConversationResultAction action, const QString& answer,
                             ResultCompletion completion);

    // A question editor bound to question() and inputFocused(), registered with the bridge.
    DraftQuestionEditor* makeQuestionEditor(QWidget* parent);

    // The bar's visibility captured at the last mouse-down on the clipboard toggle; none when
    // the next monitored event (another click, any key press) came first.
    std::optional<bool> clipboardPresentedOnMouseDown() const { return clipboardPresentedOnMouseDown_; }
    // The toggle's action: hides the bar when it counts as visible, else shows it.
    void toggleClipboard();
    // What the view asks of the application around it, set by the window's creator; until
    // then the bar counts as hidden and the requests do nothing.
    struct AppActions {
        std::function<BarPhase()> barPhase;
        std::function<void()> showBar;
        std::function<void()> hideBar;
        std::function<void()> showModelSettings;
    };
    void setAppActions(AppActions actions) { appActions_ = std::move(actions); }
    // Opens the settings window on the model pane.
    void showModelSettings() const;
    VelloraIconButton* clipboardToggle() const { return clipboardToggle_; }

    ConversationMaterialsColumn* materialsColumn() const { return materialsColumn_; }
    ConversationWorkspace* workspace() const { return workspace_; }
    // The sheet shown for sharingRequest() / previewMaterial(), or null.
    AISharingConsentView* consentSheet() const;
    QDialog* previewSheet() const;

signals:
    void questionChanged(const QString& question);
    void previewMaterialChanged();
    void sharingRequestChanged();
    void inputFocusedChanged(bool focused);
    void resultActionsChanged();

protected:
    void changeEvent(QEvent* event) override;

private:
    void build();
    QWidget* buildToolbar();
    QWidget* buildColumns();
    void retranslate();
    void applyTheme();
    BarPhase barPhase() const;
    bool isBarVisible() const;
    void presentConsentSheet();
    void presentPreviewSheet();

    ConversationDraft draft_;
    QString question_;
    std::optional<ConversationMaterial> previewMaterial_;
    std::optional<ConversationSendRequest> sharingRequest_;
    bool inputFocused_ = false;
    std::optional<bool> clipboardPresentedOnMouseDown_;
    ConversationResultActionState resultActions_;
    DraftQuestionEditorBridge& editorBridge_;
    ResultHandler onResultAction_;
    ConversationSession& session_;
    AIModelSettings& modelSettings_;

    AppActions appActions_;
    QWidget* toolbar_ = nullptr;
    QWidget* toolbarEdge_ = nullptr;
    QWidget* divider_ = nullptr;
    QWidget* workspaceContainer_ = nullptr;
    QLabel* title_ = nullptr;
    ConversationMaterialsColumn* materialsColumn_ = nullptr;
    ConversationWorkspace* workspace_ = nullptr;
    VelloraIconButton* clipboardToggle_ = nullptr;
    QPointer<AISharingConsentView> consentSheet_;
    QPointer<QDialog> previewSheet_;
};
