#pragma once

#include "UI/VelloraIconButtonStyle.h"

#include <QToolButton>

// A square icon button drawn in VelloraIconButtonStyle; the whole square is its hit area.
// It shows a symbol by name, or its text when it has no symbol. A menu set on it opens on
// press.
class VelloraIconButton : public QToolButton {
    Q_OBJECT
public:
    explicit VelloraIconButton(const QString& symbolName = {}, const VelloraIconButtonStyle& style = {},
                               QWidget* parent = nullptr);

    QString symbolName() const { return symbolName_; }
    void setSymbolName(const QString& name);

    VelloraIconButtonStyle buttonStyle() const { return style_; }
    void setButtonStyle(const VelloraIconButtonStyle& style);

    bool isHovered() const { return hovered_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void setHovered(bool hovered);

    QString symbolName_;
    VelloraIconButtonStyle style_;
    bool hovered_ = false;
    bool keyboardFocus_ = false;
};
