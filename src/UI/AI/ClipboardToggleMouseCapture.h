#pragma once

#include "UI/Bar/BarWindowController.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class QWidget;

// Watches the application's own left-mouse-down and key-down events while `area` is shown
// in a window. A left mouse-down inside `area` reports whether the bar is visible at that
// moment; any other watched event reports none. Events always pass on unchanged.
//
// Under a window manager the click first moves the focus: the bar loses it and starts
// hiding before the button press arrives. A press during the very hide that began when the
// focus left a visible bar therefore still counts as a press on a visible bar.
class ClipboardToggleMouseCapture final : public QObject {
    Q_OBJECT
public:
    using Capture = std::function<void(std::optional<bool> barVisible)>;

    // `barPhase` gives the bar's phase now (hidden when there is no bar).
    ClipboardToggleMouseCapture(QWidget* area, std::function<BarPhase()> barPhase, Capture capture);
    ~ClipboardToggleMouseCapture() override;

    bool isMonitoring() const { return monitoring_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setMonitoring(bool monitoring);
    bool isHit(QObject* watched, QEvent* event) const;
    bool wasBarVisible() const;

    QPointer<QWidget> area_;
    std::function<BarPhase()> barPhase_;
    Capture capture_;
    // The epoch that a hide starting when another window of ours last lost the focus, while
    // the bar was visible, has.
    std::optional<quint64> focusHideEpoch_;
    bool monitoring_ = false;
};
