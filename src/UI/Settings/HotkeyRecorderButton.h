#pragma once

#include <QAbstractButton>

// The capsule of the shortcut recorder, which is also its main button: a 180 × 28 px
// continuous-corner rectangle showing the shortcut (or the recording prompt) in medium 13 px
// text, shrinking to 80 %, kept clear of the two small buttons at its trailing edge; a text
// that still does not fit widens the capsule.
class HotkeyRecorderButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int capsuleWidth = 180;
    static constexpr int capsuleHeight = 28;
    static constexpr qreal cornerRadius = 7;
    // The text keeps clear of the restore and clear buttons at the trailing edge (6 px inset,
    // two 18 px buttons 2 px apart), and a little clear of the leading edge.
    static constexpr int trailingTextPadding = 44;
    static constexpr int leadingTextPadding = 10;
    static constexpr int textPixelSize = 13;
    static constexpr qreal minimumTextScale = 0.8;

    explicit HotkeyRecorderButton(QWidget* parent = nullptr);

    // Recording: tinted background, accent border.
    void setRecording(bool recording);
    // A control of the recorder has focus: accent border.
    void setHighlighted(bool highlighted);
    // No shortcut set and not recording: secondary text colour.
    void setPlaceholder(bool placeholder);
    bool isRecording() const { return recording_; }
    bool isHighlighted() const { return highlighted_; }
    bool isPlaceholder() const { return placeholder_; }

    // The font the text is drawn in: 13 px, or smaller down to 80 % where the text needs it.
    QFont textFont() const;

    QSize sizeHint() const override;
    // Where the text is drawn: centred on the capsule when it fits clear of the buttons there,
    // else centred in the room to their left.
    QRect textBounds() const;

signals:
    void hoveredChanged(bool hovered);
    void focusChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QRect textArea() const;

    bool recording_ = false;
    bool highlighted_ = false;
    bool placeholder_ = false;
};
