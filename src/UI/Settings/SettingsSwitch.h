#pragma once

#include <QAbstractButton>

// A checkable switch-style toggle painted in Theme colours: a capsule track with a round knob,
// filled with the accent colour when on. Its text is not drawn (it is the accessible name).
class SettingsSwitch : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int trackWidth = 32;
    static constexpr int trackHeight = 18;

    explicit SettingsSwitch(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
