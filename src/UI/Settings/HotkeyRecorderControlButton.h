#pragma once

#include <QAbstractButton>

// One of the two small buttons at the trailing edge of the recorder's capsule: a symbol of
// 10 px in an 18 × 22 px frame. While concealed it is not drawn and lets clicks through,
// but it can still take keyboard focus (which reveals it).
class HotkeyRecorderControlButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int frameWidth = 18;
    static constexpr int frameHeight = 22;
    static constexpr int symbolPixelSize = 10;

    explicit HotkeyRecorderControlButton(const QString& symbolName, QWidget* parent = nullptr);

    QString symbolName() const { return symbolName_; }
    bool isConcealed() const { return concealed_; }
    void setConcealed(bool concealed);

    QSize sizeHint() const override;

signals:
    void focusChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString symbolName_;
    bool concealed_ = true;
};
