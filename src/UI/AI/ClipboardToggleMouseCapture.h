#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class QWidget;

// Watches the application's own left-mouse-down and key-down events while `area` is shown
// in a window. A left mouse-down inside `area` reports whether the bar is visible at that
// moment; any other watched event reports none. Events always pass on unchanged.
class ClipboardToggleMouseCapture final : public QObject {
    Q_OBJECT
public:
    using Capture = std::function<void(std::optional<bool> barVisible)>;

    ClipboardToggleMouseCapture(QWidget* area, std::function<bool()> isBarVisible, Capture capture);
    ~ClipboardToggleMouseCapture() override;

    bool isMonitoring() const { return monitoring_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setMonitoring(bool monitoring);
    bool isHit(QObject* watched, QEvent* event) const;

    QPointer<QWidget> area_;
    std::function<bool()> isBarVisible_;
    Capture capture_;
    bool monitoring_ = false;
};
