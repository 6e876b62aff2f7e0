#pragma once

#include <QProxyStyle>

// The application's style: Fusion, with text fields (line edits, spin boxes and editable text
// areas) that show their edge against any sheet in both appearances and keep their text an
// even inner margin away from the border, whatever its alignment.
class VelloraStyle final : public QProxyStyle {
    Q_OBJECT

public:
    VelloraStyle();

    // Extra room between a framed line edit's border and its text, on each side.
    static constexpr int fieldTextInset = 4;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                         const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;
};
