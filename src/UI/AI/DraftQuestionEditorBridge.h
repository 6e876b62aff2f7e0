#pragma once

#include <QObject>
#include <QPointer>

class DraftQuestionEditor;

// The link between a conversation window and its question editor. The editor takes the
// keyboard focus by itself once per window: at the first moment it is in a window that is
// the active window. Later activations leave the focus where the user put it.
class DraftQuestionEditorBridge final : public QObject {
    Q_OBJECT
public:
    explicit DraftQuestionEditorBridge(QObject* parent = nullptr);

    DraftQuestionEditor* editor() const;
    // A change of editor (to another one or to none) requests the initial focus.
    void setEditor(DraftQuestionEditor* editor);
    bool initialFocusPending() const { return initialFocusPending_; }

    // Posts focusInitiallyIfReady() to the main queue while the initial focus is pending.
    void requestInitialFocus();
    // Focuses the editor when the focus is still pending and its window is active.
    void focusInitiallyIfReady();
    // Focuses the editor at once when it is in a window, active or not.
    void focusNow();

private:
    bool takeFocus();

    QPointer<DraftQuestionEditor> editor_;
    bool initialFocusPending_ = true;
};
