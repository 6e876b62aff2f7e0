#pragma once

#include <QLabel>

// A question on a rounded pill, as the transcript shows it against the right edge.
class ConversationTranscriptBubble final : public QLabel {
    Q_OBJECT
public:
    ConversationTranscriptBubble(const QString& question, bool selectable, QWidget* parent = nullptr);

    // As wide as the text's longest line; the layout narrows it to the column, where it wraps.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
