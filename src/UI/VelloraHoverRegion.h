#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Tracks whether the pointer is over a widget. Attach it to any widget; it lives as long
// as the widget does.
class VelloraHoverRegion final : public QObject {
    Q_OBJECT
public:
    explicit VelloraHoverRegion(QWidget* target);

    bool isHovered() const { return hovered_; }
    QWidget* target() const { return target_; }

signals:
    void hoveredChanged(bool hovered);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setHovered(bool hovered);

    QPointer<QWidget> target_;
    bool hovered_ = false;
};
