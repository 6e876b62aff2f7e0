#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

// The window class of the settings window and of the Privacy and Support window: an ordinary
// top-level window where Ctrl+Tab / Ctrl+Shift+Tab step through panes (when a step handler is
// set) and Escape closes the window. Both leave the key to an input method that is composing.
class SettingsPanel : public QWidget {
    Q_OBJECT
public:
    // Takes a step of +1 or -1.
    using MovePaneHandler = std::function<void(int step)>;

    explicit SettingsPanel(QWidget* parent = nullptr);
    ~SettingsPanel() override;

    // None after construction; without one, Ctrl+Tab goes on to the focused widget.
    void setOnMovePane(MovePaneHandler handler);
    bool hasMovePaneHandler() const { return static_cast<bool>(onMovePane_); }

    // True while an input method has uncommitted text in the focused widget of this window.
    bool isComposing() const;

signals:
    // The window accepted a close request (close button, Escape or close()).
    void willClose();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool ownsReceiver(QObject* receiver) const;
    bool handlePaneStep(const QKeyEvent& event);
    void trackComposition(QObject* receiver, const QInputMethodEvent& event);

    MovePaneHandler onMovePane_;
    QPointer<QWidget> composingWidget_;
};
