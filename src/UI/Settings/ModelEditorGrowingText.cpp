#include "UI/Settings/ModelEditorGrowingText.h"

#include <QSignalBlocker>
#include <QTextBlock>

ModelEditorGrowingText::ModelEditorGrowingText(int minimumLines, int maximumLines, QWidget* parent)
    : QPlainTextEdit(parent)
    , minimumLines_(minimumLines)
    , maximumLines_(maximumLines)
{
    setTabChangesFocus(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        fitHeight();
        emit edited(toPlainText());
    });
    fitHeight();
}

void ModelEditorGrowingText::showText(const QString& text)
{
    if (toPlainText() == text)
        return;
    const QSignalBlocker blocker(this);
    setPlainText(text);
    fitHeight();
}

void ModelEditorGrowingText::fitHeight()
{
    shownLines_ = std::clamp(document()->blockCount(), minimumLines_, maximumLines_);
    // Until the text outgrows the field, a scroll bar would only crowd a line or two.
    setVerticalScrollBarPolicy(document()->blockCount() > maximumLines_ ? Qt::ScrollBarAsNeeded
                                                                        : Qt::ScrollBarAlwaysOff);
    const int frame = 2 * (frameWidth() + qRound(document()->documentMargin()));
    setFixedHeight(shownLines_ * fontMetrics().lineSpacing() + frame);
}
