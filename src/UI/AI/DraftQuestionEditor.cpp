#include "UI/AI/DraftQuestionEditor.h"

#include "UI/AI/DraftQuestionEditorBridge.h"
#include "UI/Appearance.h"
#include "UI/Theme.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QInputMethodEvent>
#include <QPainter>
#include <QTextBlock>

namespace {

constexpr int fontPixelSize = 14;
constexpr QSize initialSize(100, 90);

} // namespace

DraftQuestionEditor::DraftQuestionEditor(DraftQuestionEditorBridge& bridge, const QString& text,
                                         QWidget* parent)
    : QPlainTextEdit(parent)
    , bridge_(&bridge)
{
    resize(initialSize);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setBackgroundVisible(false);
    viewport()->setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    document()->setDocumentMargin(0);
    QFont font = this->font();
    font.setPixelSize(fontPixelSize);
    setFont(font);
    setPlainText(text);
    moveCursor(QTextCursor::End);

    connect(this, &QPlainTextEdit::textChanged, this, [this] {
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
    moveCursor(QTextCursor::End);
}

QString DraftQuestionEditor::placeholderLine() const
{
    if (!toPlainText().isEmpty() || placeholder_.isEmpty())
        return {};
    return fontMetrics().elidedText(placeholder_, Qt::ElideRight, viewport()->width());
}

void DraftQuestionEditor::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    reportFocus(true);
}

void DraftQuestionEditor::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    reportFocus(false);
}

void DraftQuestionEditor::inputMethodEvent(QInputMethodEvent* event)
{
    composing_ = !event->preeditString().isEmpty();
    QPlainTextEdit::inputMethodEvent(event);
}

void DraftQuestionEditor::paintEvent(QPaintEvent* event)
{
    QPlainTextEdit::paintEvent(event);
    const QString line = placeholderLine();
    if (line.isEmpty())
        return;
    QPainter painter(viewport());
    painter.setFont(font());
    painter.setPen(Theme::chromeTextTertiary().color());
    const QRectF block = blockBoundingGeometry(document()->firstBlock()).translated(contentOffset());
    painter.drawText(QRectF(block.left(), block.top(), viewport()->width(), fontMetrics().height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
}

void DraftQuestionEditor::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

bool DraftQuestionEditor::event(QEvent* event)
{
    const bool handled = QPlainTextEdit::event(event);
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
