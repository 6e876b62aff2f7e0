#pragma once

#include <QFont>
#include <QStringList>
#include <QWidget>

// A plain-text excerpt wrapped to the widget's width and cut after a number of lines, the
// last shown line ending in an ellipsis when text was left out.
class MaterialExcerpt final : public QWidget {
    Q_OBJECT
public:
    MaterialExcerpt(QString text, int maximumLines, qreal lineSpacing, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    // The lines drawn at the given width.
    QStringList visibleLines(int width) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    int maximumLines_;
    qreal lineSpacing_;
};
