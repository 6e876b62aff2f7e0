#pragma once

#include <QTimer>
#include <QWidget>

// The small indeterminate progress indicator shown under a question awaiting its answer.
// It turns only while visible.
class ConversationTranscriptSpinner final : public QWidget {
    Q_OBJECT
public:
    static constexpr int size = 16;

    explicit ConversationTranscriptSpinner(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {size, size}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer timer_;
    int step_ = 0;
};
