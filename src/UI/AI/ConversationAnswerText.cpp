#include "UI/AI/ConversationAnswerText.h"

#include "UI/Appearance.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QWheelEvent>
#include <cmath>
#include <memory>

ConversationAnswerText::ConversationAnswerText(const QString& answer, QWidget* parent)
    : QTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::ClickFocus);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A word wider than the column (a long address) breaks rather than widening it.
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    viewport()->setAutoFillBackground(false);
    document()->setDocumentMargin(0);
    setFont(VelloraTypography::body());
    setPlainText(answer.trimmed().isEmpty() ? QString() : answer);
    QTextBlockFormat spaced;
    spaced.setLineHeight(lineSpacing, QTextBlockFormat::LineDistanceHeight);
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    all.mergeBlockFormat(spaced);
    document()->clearUndoRedoStacks();
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    applyTheme();
    connect(&Appearance::shared(), &Appearance::changed, this, &ConversationAnswerText::applyTheme);
}

int ConversationAnswerText::heightForWidth(int width) const
{
    const std::unique_ptr<QTextDocument> laidOut(document()->clone());
    laidOut->setTextWidth(width);
    return static_cast<int>(std::ceil(laidOut->size().height()));
}

QSize ConversationAnswerText::sizeHint() const
{
    const int width = static_cast<int>(std::ceil(document()->idealWidth()));
    return {width, heightForWidth(width)};
}

QSize ConversationAnswerText::minimumSizeHint() const
{
    // The height comes from heightForWidth() at the width the layout gives; a minimum taken at
    // the width of the moment (a new answer's first, narrow one) would hold the transcript far
    // taller than its text and leave it scrolled to a blank.
    return {1, 0};
}

void ConversationAnswerText::resizeEvent(QResizeEvent* event)
{
    QTextEdit::resizeEvent(event);
    if (height() != heightForWidth(width()))
        updateGeometry();
}

void ConversationAnswerText::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}

void ConversationAnswerText::applyTheme()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, Theme::chromeTextPrimary().color());
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Highlight, Theme::selection().color());
    setPalette(palette);
}
