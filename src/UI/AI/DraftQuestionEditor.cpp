#include "UI/AI/DraftQuestionEditor.h"

#include "UI/AI/DraftQuestionEditorBridge.h"
#include "UI/Appearance.h"
#include "UI/Theme.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimerEvent>

namespace {

constexpr int fontPixelSize = 14;
constexpr int caretWidth = 2;
constexpr QSize initialSize(100, 90);

} // namespace

DraftQuestionEditor::DraftQuestionEditor(DraftQuestionEditorBridge& bridge, const QString& text,
                                         QWidget* parent)
    : QTextEdit(parent)
    , bridge_(&bridge)
{
    resize(initialSize);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setAcceptRichText(false);
    viewport()->setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    document()->setDocumentMargin(0);
    QFont font = this->font();
    font.setPixelSize(fontPixelSize);
    setFont(font);
    setPlainText(text);
    applyLineSpacing();
    moveCursor(QTextCursor::End);
    // Qt draws its caret inverting what lies under it; this one is drawn in the accent.
    setCursorWidth(0);
    connect(this, &QTextEdit::cursorPositionChanged, this, &DraftQuestionEditor::restartCaret);

    connect(this, &QTextEdit::textChanged, this, [this] {
        if (!settingFromOutside_)
            emit questionEdited(toPlainText());
        viewport()->update();
    });
    connect(&Appearance::shared(), &Appearance::changed, this, &DraftQuestionEditor::applyTheme);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { retranslate(); });
    applyTheme();
    retranslate();
    bridge.setEditor(this);
}

DraftQuestionEditor::~DraftQuestionEditor()
{
    if (bridge_ && bridge_->editor() == this)
        bridge_->setEditor(nullptr);
}

void DraftQuestionEditor::setQuestion(const QString& text)
{
    if (composing_ || text == toPlainText())
        return;
    settingFromOutside_ = true;
    setPlainText(text);
    settingFromOutside_ = false;
    applyLineSpacing();
    moveCursor(QTextCursor::End);
}

QString DraftQuestionEditor::placeholderLine() const
{
    if (!toPlainText().isEmpty() || placeholder_.isEmpty())
        return {};
    return fontMetrics().elidedText(placeholder_, Qt::ElideRight, viewport()->width());
}

QRect DraftQuestionEditor::caretRect() const
{
    QRect caret = cursorRect();
    caret.setWidth(caretWidth);
    return caret;
}

void DraftQuestionEditor::focusInEvent(QFocusEvent* event)
{
    QTextEdit::focusInEvent(event);
    restartCaret();
    reportFocus(true);
}

void DraftQuestionEditor::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    caretBlink_.stop();
    caretOn_ = false;
    viewport()->update();
    // Another window in front, or a menu open, leaves the editor the window's focus.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        reportFocus(false);
}

void DraftQuestionEditor::keyPressEvent(QKeyEvent* event)
{
    // The text control drops the paragraph format on Return in an empty line instead of
    // breaking it; every line keeps the editor's spacing.
    if (event != QKeySequence::InsertParagraphSeparator) {
        QTextEdit::keyPressEvent(event);
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.insertBlock(cursor.blockFormat(), cursor.charFormat());
    setTextCursor(cursor);
    ensureCursorVisible();
    event->accept();
}

void DraftQuestionEditor::inputMethodEvent(QInputMethodEvent* event)
{
    composing_ = !event->preeditString().isEmpty();
    QTextEdit::inputMethodEvent(event);
}

void DraftQuestionEditor::paintEvent(QPaintEvent* event)
{
    QTextEdit::paintEvent(event);
    QPainter painter(viewport());
    if (caretOn_ && hasFocus())
        painter.fillRect(caretRect(), Theme::selection());
    const QString line = placeholderLine();
    if (line.isEmpty())
        return;
    painter.setFont(font());
    painter.setPen(Theme::chromeTextTertiary().color());
    const QRectF block = document()->documentLayout()->blockBoundingRect(document()->firstBlock());
    painter.drawText(QRectF(block.left(), block.top(), viewport()->width(), fontMetrics().height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
}

void DraftQuestionEditor::changeEvent(QEvent* event)
{
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

bool DraftQuestionEditor::event(QEvent* event)
{
    const bool handled = QTextEdit::event(event);
    if (event->type() == QEvent::Show && bridge_)
        bridge_->requestInitialFocus();
    return handled;
}

void DraftQuestionEditor::applyTheme()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, Theme::chromeTextPrimary().color());
    palette.setColor(QPalette::Highlight, Theme::selection().color());
    palette.setColor(QPalette::PlaceholderText, Theme::chromeTextTertiary().color());
    palette.setColor(QPalette::Base, Qt::transparent);
    setPalette(palette);
    viewport()->update();
}

void DraftQuestionEditor::applyLineSpacing()
{
    QTextBlockFormat block;
    block.setLineHeight(lineSpacing, QTextBlockFormat::LineDistanceHeight);
    // A change of look is no edit of the question, nor one the user could undo.
    const QScopedValueRollback<bool> look(settingFromOutside_, true);
    const bool undoable = document()->isUndoRedoEnabled();
    document()->setUndoRedoEnabled(false);
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    all.mergeBlockFormat(block);
    document()->setUndoRedoEnabled(undoable);
}

void DraftQuestionEditor::restartCaret()
{
    caretOn_ = true;
    const int flashTime = QApplication::cursorFlashTime();
    if (flashTime >= 2)
        caretBlink_.start(flashTime / 2, this);
    else
        caretBlink_.stop();
    viewport()->update();
}

void DraftQuestionEditor::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != caretBlink_.timerId()) {
        QTextEdit::timerEvent(event);
        return;
    }
    caretOn_ = !caretOn_;
    viewport()->update();
}

void DraftQuestionEditor::retranslate()
{
    const QString placeholder = Localization::string(QStringLiteral("Ask anything…"));
    if (placeholder != placeholder_) {
        placeholder_ = placeholder;
        viewport()->update();
    }
    setAccessibleName(Localization::string(QStringLiteral("Enter a question")));
}

void DraftQuestionEditor::reportFocus(bool focused)
{
    QMetaObject::invokeMethod(
        this, [this, focused] { emit focusChanged(focused); }, Qt::QueuedConnection);
}
