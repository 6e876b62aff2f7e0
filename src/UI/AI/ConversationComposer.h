#pragma once

#include "AI/ConversationSendRequest.h"

#include <QWidget>
#include <functional>

class ConversationDraftView;
class DraftQuestionEditor;
class QAbstractButton;
class QMenu;
class QToolButton;

// The card at the foot of the workspace: the question editor above a row with the model
// menu and the send / stop button. It owns the sending flow: prepare a request, ask for
// consent when the service has none for its scope (through the view's sharingRequest),
// send, and empty the question once its answer is recorded.
class ConversationComposer final : public QWidget {
    Q_OBJECT
public:
    static constexpr int maximumCardWidth = 620;

    explicit ConversationComposer(ConversationDraftView& view, QWidget* parent = nullptr);

    // What "Model Settings" does; by default the view's showModelSettings().
    void setShowModelSettings(std::function<void()> handler);

    // The send / stop button: stops a running send, else prepares and sends the question.
    void sendOrStop();
    // Starts the send of the request and returns at once.
    void send(const ConversationSendRequest& request);
    // The consent sheet's actions for the view's sharingRequest.
    void cancelSharing();
    void approveSharing(const ConversationSendRequest& request);

    bool isSendDisabled() const;
    QString modelLabel() const;

    DraftQuestionEditor* editor() const { return editor_; }
    QToolButton* modelMenuButton() const { return modelMenu_; }
    QMenu* modelMenu() const { return menu_; }
    QAbstractButton* sendButton() const { return sendButton_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void build();
    void rebuildModelMenu();
    void selectModel(const QUuid& id);
    void refresh();
    void applyTheme();

    ConversationDraftView& view_;
    std::function<void()> showModelSettings_;
    DraftQuestionEditor* editor_ = nullptr;
    QToolButton* modelMenu_ = nullptr;
    QMenu* menu_ = nullptr;
    QAbstractButton* sendButton_ = nullptr;
};
