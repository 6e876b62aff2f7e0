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

QSize ConversationTranscriptBubble::sizeHint() const
{
    const QMargins margins = contentsMargins();
    // One pixel more than the advance, as the label lays text out on fractional widths.
    const int width =
        fontMetrics().size(Qt::TextExpandTabs, text()).width() + 1 + margins.left() + margins.right();
    return {width, heightForWidth(width)};
}

void ConversationTranscriptBubble::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(continuousRoundedRect(rect(), cornerRadius), QColor(Theme::pillBG()));
    painter.end();
    QLabel::paintEvent(event);
}
