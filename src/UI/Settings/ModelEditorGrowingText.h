#pragma once

#include <QPlainTextEdit>

// A plain-text field bound to one text of the model editor that grows with its lines
// between a minimum and a maximum number of lines, then scrolls.
class ModelEditorGrowingText final : public QPlainTextEdit {
    Q_OBJECT
public:
    ModelEditorGrowingText(int minimumLines, int maximumLines, QWidget* parent = nullptr);

    // Replaces the text without emitting edited(); nothing happens when it is unchanged.
    void showText(const QString& text);
    int shownLines() const { return shownLines_; }

signals:
    void edited(const QString& text);

private:
    void fitHeight();

    const int minimumLines_;
    const int maximumLines_;
    int shownLines_ = 0;
};
