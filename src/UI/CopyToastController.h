#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <memory>

class CopyToastView;
class QPropertyAnimation;
class QWidget;

// Shows a short message with a symbol for a given time, then fades it out: near the bottom of
// the window of ours that is active (centred on its child named `areaName` when it has one: a
// place where the toast covers no control), else near the bottom of the screen under the
// pointer. A new toast replaces the one on screen. The message is shown as given (callers pass it localised),
// as plain text.
class CopyToastController final : public QObject {
    Q_OBJECT
public:
    static constexpr int fadeDurationMs = 250;
    static constexpr int bottomMargin = 96;
    static constexpr int windowBottomMargin = 24;
    // Durations that are not a positive number show this long; long ones are capped.
    static constexpr double defaultDurationSeconds = 1.5;
    static constexpr double maximumDurationSeconds = 60.0;
    static constexpr const char* areaName = "toastArea";

    static CopyToastController& shared();

    explicit CopyToastController(QObject* parent = nullptr);
    ~CopyToastController() override;

    void show(const QString& message, const QString& symbolName, double seconds);
    // Takes the toast away at once.
    void dismiss();

    bool isShowing() const;
    QString message() const;
    // The toast's window once a toast was shown.
    QWidget* window() const;

private:
    void place();
    void fadeOut();

    std::unique_ptr<CopyToastView> view_;
    QTimer hold_;
    QPointer<QPropertyAnimation> fade_;
};
