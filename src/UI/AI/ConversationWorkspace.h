#pragma once

#include "AI/ChatTurn.h"
#include "AI/ConversationResultAction.h"

#include <QList>
#include <QWidget>

class ConversationComposer;
class ConversationDraftView;
class ConversationTranscript;
class QLabel;
class VelloraIconButton;

// The right-hand column of the conversation window: the transcript (or, before anything was
// asked, the empty state with the logo mark), the error line of the last failed request,
// a notice when image materials cannot go to the model, the composer and the row of preset
// prompts.
class ConversationWorkspace final : public QWidget {
    Q_OBJECT
public:
    explicit ConversationWorkspace(ConversationDraftView& view, QWidget* parent = nullptr);

    ConversationComposer& composer() const { return *composer_; }
    ConversationTranscript& transcript() const { return *transcript_; }
    QWidget* emptyState() const { return emptyState_; }
    QLabel* errorLine() const { return errorLine_; }
    // Shown before sending while the model takes no images and materials hold some.
    QLabel* imageNotice() const { return imageNotice_; }
    // The preset buttons: Explain, Translate, Summarize, Reply.
    const QList<VelloraIconButton*>& presetButtons() const { return presetButtons_; }

    // Runs one answer action through the view's result-action closure, marking the answer
    // pending until the completion arrives.
    void perform(ConversationResultAction action, const ChatTurn& turn);
    // Replaces the question with the prompt and gives the question editor keyboard focus.
    void applyPreset(const QString& prompt);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void build();
    QWidget* buildEmptyState();
    QWidget* buildPresetRow();
    void refresh();
    void retranslate();
    bool leavesImagesOut() const;

    ConversationDraftView& view_;
    ConversationTranscript* transcript_ = nullptr;
    QWidget* emptyState_ = nullptr;
    QLabel* errorLine_ = nullptr;
    QLabel* imageNotice_ = nullptr;
    ConversationComposer* composer_ = nullptr;
    QList<VelloraIconButton*> presetButtons_;
    QWidget* tallBottom_ = nullptr;
    QWidget* shortBottom_ = nullptr;
};
