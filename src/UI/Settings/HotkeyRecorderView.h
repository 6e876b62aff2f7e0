#pragma once

#include "Util/RivEVShortcut.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>

class HotkeyRecorderButton;
class HotkeyRecorderControlButton;
class QKeyEvent;
class QLabel;
class QMenu;
class Settings;

// Records the key combination of one of the application's shortcuts. Shows the current
// combination in a capsule; clicking it records the next key press of its window (an event
// filter on the application while recording), checks it against the other shortcuts and the
// reserved combinations and writes it to Settings, which re-registers the hot keys itself.
// Restore-default and clear buttons at the capsule's trailing edge, and its context menu,
// offer the same two actions. A rejection is shown under the capsule.
class HotkeyRecorderView : public QWidget {
    Q_OBJECT
public:
    // The shortcut the recorder edits.
    enum class Target { activation, askAI, browserLinks };
    // The three focusable buttons of the control.
    enum class Control { recorder, restore, clear };

    static constexpr int itemSpacing = 5;
    static constexpr int capsuleInset = 6;
    static constexpr int controlSpacing = 2;
    static constexpr int messageMaximumWidth = 260;

    explicit HotkeyRecorderView(QWidget* parent = nullptr);
    explicit HotkeyRecorderView(Settings& settings, QWidget* parent = nullptr);
    ~HotkeyRecorderView() override;

    Target target() const { return target_; }
    void setTarget(Target target);

    static RivEVShortcut defaultShortcut(Target target);
    // The edited value of the target.
    RivEVShortcut shortcut() const;
    // The clipboard hot key for askAI; the Ask AI shortcut for the two others.
    RivEVShortcut otherShortcut() const;
    // Either shortcut the target does not edit is the same as the target's default.
    bool defaultConflicts() const;
    bool controlsVisible() const;
    // Writes the target's value; false when Settings refused it.
    bool setShortcut(const RivEVShortcut& shortcut);

    // Begins recording when the view is shown in a window; makes that window active.
    void start();
    // Ends recording and removes any message; safe at any time.
    void stop();
    void restoreDefault();
    void clear();

    bool isRecording() const { return recording_; }
    // The English text of the last rejection.
    std::optional<QString> message() const { return message_; }
    QString displayedText() const;
    std::optional<Control> focusedControl() const;
    // The context menu as it would open now: no items while recording.
    std::unique_ptr<QMenu> makeContextMenu();

    HotkeyRecorderButton* recorderButton() const { return recorder_; }
    HotkeyRecorderControlButton* restoreButton() const { return restore_; }
    HotkeyRecorderControlButton* clearButton() const { return clear_; }
    QLabel* messageLabel() const { return messageLabel_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum class Origin { recordingWindow, otherWindow, none };

    void build();
    void connectSettings();
    void refresh();
    void fitMessage();
    void endRecording();
    void suspendHotKeys(bool suspended);
    void focus(Control control);
    void clearControlFocus();
    void onFocusChanged();
    Origin originOf(QObject* receiver) const;
    bool handleKeyPress(QObject* receiver, QKeyEvent* event);
    // The candidate's rejection: a message (empty for a beep alone), or none when accepted.
    std::optional<QString> decide(const RivEVShortcut& candidate);
    void reject(const QString& message);
    void showContextMenu(const QPoint& position);

    Settings& settings_;
    Target target_ = Target::activation;
    bool recording_ = false;
    bool monitorInstalled_ = false;
    std::optional<QString> message_;
    QPointer<QWidget> recordingWindow_;
    bool hovering_ = false;

    HotkeyRecorderButton* recorder_ = nullptr;
    HotkeyRecorderControlButton* restore_ = nullptr;
    HotkeyRecorderControlButton* clear_ = nullptr;
    QLabel* messageLabel_ = nullptr;
};
