#include "UI/AI/ConversationTranscriptBubble.h"

#include "UI/ContinuousCorners.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"

#include <QPainter>

namespace {

constexpr int inset = 12;
constexpr qreal cornerRadius = 12;

} // namespace

ConversationTranscriptBubble::ConversationTranscriptBubble(const QString& question, bool selectable,
                                                           QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(question);
    setWordWrap(true);
    // A word wider than the column (a long address) must not widen the whole transcript.
    setMinimumWidth(1);
    setFont(VelloraTypography::body());
    setContentsMargins(inset, inset, inset, inset);
    setTextInteractionFlags(selectable ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                       : Qt::NoTextInteraction);
}

void ConversationTranscriptBubble::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(continuousRoundedRect(rect(), cornerRadius), QColor(Theme::pillBG()));
    painter.end();
    QLabel::paintEvent(event);
}
