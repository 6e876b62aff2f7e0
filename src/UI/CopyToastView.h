#pragma once

#include <QPainterPath>
#include <QWidget>

// The toast's window: a symbol and a short message on a rounded card. It never takes focus
// and never activates; the message is plain text. Its corners are see-through where the
// desktop composes windows, else the window is cut to the card's shape.
class CopyToastView final : public QWidget {
    Q_OBJECT
public:
    CopyToastView();

    void setContent(const QString& message, const QString& symbolName);
    QString message() const { return message_; }
    QString symbolName() const { return symbolName_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRect() const;
    QPainterPath cardShape() const;
    void fitShape();

    QString message_;
    QString symbolName_;
    bool opaque_ = false;
};
