#pragma once

#include <QTimer>
#include <QWidget>

// The small indeterminate progress indicator: under a question awaiting its answer, beside
// a refresh that is reading. It turns only while visible.
class ActivitySpinner final : public QWidget {
    Q_OBJECT
public:
    static constexpr int size = 16;

    explicit ActivitySpinner(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {size, size}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer timer_;
    int step_ = 0;
};
