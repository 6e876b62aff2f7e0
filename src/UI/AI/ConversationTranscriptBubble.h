#pragma once

#include <QLabel>

// A question on a rounded pill, as the transcript shows it against the right edge.
class ConversationTranscriptBubble final : public QLabel {
    Q_OBJECT
public:
    ConversationTranscriptBubble(const QString& question, bool selectable, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
