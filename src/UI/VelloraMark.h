#pragma once

#include <QWidget>

// Draws the application's mark at the size it is given, centred.
class VelloraMark final : public QWidget {
    Q_OBJECT
public:
    explicit VelloraMark(int size = 64, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int size_;
};
