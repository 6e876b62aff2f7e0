#pragma once

#include <QBasicTimer>
#include <QPointer>
#include <QTextEdit>

class DraftQuestionEditorBridge;

// The multi-line plain-text field in which a question is written. It draws a one-line
// placeholder while empty, reports its keyboard focus (posted to the main queue) and
// registers itself with the window's bridge for the initial focus. Return inserts a line
// break: nothing here sends the question. The caret takes the accent colour and lines stand
// apart by `lineSpacing`.
class DraftQuestionEditor final : public QTextEdit {
    Q_OBJECT
public:
    static constexpr int lineSpacing = 5;

    explicit DraftQuestionEditor(DraftQuestionEditorBridge& bridge, const QString& text = {},
                                 QWidget* parent = nullptr);
    ~DraftQuestionEditor() override;

    QString question() const { return toPlainText(); }
    // Shows text set from outside with the caret at its end; left alone while it equals the
    // text shown or an input-method composition is in progress.
    void setQuestion(const QString& text);
    QString placeholder() const { return placeholder_; }
    // The placeholder line as drawn (elided to the width), or "" while there is text.
    QString placeholderLine() const;
    bool isComposing() const { return composing_; }
    // Where the caret is drawn, in the viewport, while the editor has the focus.
    QRect caretRect() const;

signals:
    // The user changed the text.
    void questionEdited(const QString& text);
    // Gained (true) or lost (false) the keyboard focus; delivered through the main queue.
    void focusChanged(bool focused);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void applyTheme();
    void applyLineSpacing();
    void restartCaret();
    void retranslate();
    void reportFocus(bool focused);

    QPointer<DraftQuestionEditorBridge> bridge_;
    QString placeholder_;
    bool composing_ = false;
    bool settingFromOutside_ = false;
    QBasicTimer caretBlink_;
    bool caretOn_ = false;
};
