#pragma once

#include <QPlainTextEdit>
#include <QPointer>

class DraftQuestionEditorBridge;

// The multi-line plain-text field in which a question is written. It draws a one-line
// placeholder while empty, reports its keyboard focus (posted to the main queue) and
// registers itself with the window's bridge for the initial focus. Return inserts a line
// break: nothing here sends the question.
class DraftQuestionEditor final : public QPlainTextEdit {
    Q_OBJECT
public:
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

signals:
    // The user changed the text.
    void questionEdited(const QString& text);
    // Gained (true) or lost (false) the keyboard focus; delivered through the main queue.
    void focusChanged(bool focused);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void applyTheme();
    void retranslate();
    void reportFocus(bool focused);

    QPointer<DraftQuestionEditorBridge> bridge_;
    QString placeholder_;
    bool composing_ = false;
    bool settingFromOutside_ = false;
};
