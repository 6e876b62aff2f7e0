#pragma once

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QWidget;

// A tooltip that appears after the pointer has rested on a widget for a moment and goes
// when it leaves or presses. The text is shown as plain text. Attach one to any widget; it
// lives as long as the widget does.
class VelloraTooltip final : public QObject {
    Q_OBJECT
public:
    static constexpr int showDelayMs = 400;

    VelloraTooltip(QWidget* target, const QString& text);
    ~VelloraTooltip() override;

    // Attaches a tooltip to the widget, or changes the text of the one it has.
    static VelloraTooltip* attach(QWidget* target, const QString& text);

    QString text() const { return text_; }
    void setText(const QString& text);

    bool isShowing() const;
    // The tooltip window while it exists (for tests and accessibility).
    QLabel* popup() const { return popup_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show();
    void hide();
    void fitPopup();

    QPointer<QWidget> target_;
    QString text_;
    QTimer delay_;
    QPointer<QLabel> popup_;
    bool inside_ = false;
    bool suppressed_ = false;
};
