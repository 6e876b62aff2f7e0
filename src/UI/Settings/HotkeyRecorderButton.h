#pragma once

#include <QAbstractButton>

// The capsule of the shortcut recorder, which is also its main button: a 180 × 28 px
// continuous-corner rectangle showing the shortcut (or the recording prompt) in medium 13 px
// text, shrinking to 80 % before eliding, kept clear of the two small buttons at its
// trailing edge.
class HotkeyRecorderButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int capsuleWidth = 180;
    static constexpr int capsuleHeight = 28;
    static constexpr qreal cornerRadius = 7;
    static constexpr int textPadding = 38;
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
    QRect textRect() const;

    bool recording_ = false;
    bool highlighted_ = false;
    bool placeholder_ = false;
};
