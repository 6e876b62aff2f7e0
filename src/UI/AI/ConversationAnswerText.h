#pragma once

#include <QTextEdit>

// An answer as the transcript shows it: plain text that can be selected and copied, in the
// body font with `lineSpacing` between its lines, as tall as the text at the width it gets.
class ConversationAnswerText final : public QTextEdit {
    Q_OBJECT
public:
    static constexpr int lineSpacing = 5;

    explicit ConversationAnswerText(const QString& answer, QWidget* parent = nullptr);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The transcript around it scrolls; the answer itself never does.
    void wheelEvent(QWheelEvent* event) override;

private:
    void applyTheme();
};
