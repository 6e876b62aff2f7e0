#include "UI/VelloraStyle.h"

#include "UI/Theme.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextEdit>

namespace {

const QString fusionStyle = QStringLiteral("Fusion");
// Fusion's own outline of fields, which the field border paints over exactly.
constexpr qreal cornerRadius = 2;
constexpr int focusRingAlpha = 0x60;

bool isEditableTextArea(const QWidget* widget)
{
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return !plain->isReadOnly();
    if (const auto* rich = qobject_cast<const QTextEdit*>(widget))
        return !rich->isReadOnly();
    return false;
}

// A field's border: the field colour, or the accent with an inner ring while it has focus.
void drawFieldBorder(const QStyleOption& option, QPainter* painter)
{
    const bool focused = option.state & QStyle::State_HasFocus;
    const QColor accent = option.palette.color(QPalette::Highlight);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->translate(0.5, 0.5);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(focused ? accent : QColor(Theme::fieldBorder()));
    const QRect outline = option.rect.adjusted(0, 0, -1, -1);
    painter->drawRoundedRect(outline, cornerRadius, cornerRadius);
    if (focused) {
        QColor ring = accent;
        ring.setAlpha(focusRingAlpha);
        painter->setPen(ring);
        painter->drawRoundedRect(outline.adjusted(1, 1, -1, -1), cornerRadius, cornerRadius);
    }
    painter->restore();
}

bool hasFrame(const QStyleOption* option)
{
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    return frame && frame->lineWidth > 0;
}

} // namespace

VelloraStyle::VelloraStyle()
    : QProxyStyle(QStyleFactory::create(fusionStyle))
{}

void VelloraStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const
{
    if (element == PE_FrameLineEdit || (element == PE_Frame && isEditableTextArea(widget))) {
        drawFieldBorder(*option, painter);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void VelloraStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                      QPainter* painter, const QWidget* widget) const
{
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    const auto* spinBox = qstyleoption_cast<const QStyleOptionSpinBox*>(option);
    if (control == CC_SpinBox && spinBox && spinBox->frame)
        drawFieldBorder(*option, painter);
}

QRect VelloraStyle::subElementRect(SubElement element, const QStyleOption* option,
                                   const QWidget* widget) const
{
    const QRect rect = QProxyStyle::subElementRect(element, option, widget);
    if (element == SE_LineEditContents && hasFrame(option))
        return rect.adjusted(fieldTextInset, 0, -fieldTextInset, 0);
    return rect;
}

QRect VelloraStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                   SubControl subControl, const QWidget* widget) const
{
    const QRect rect = QProxyStyle::subControlRect(control, option, subControl, widget);
    const auto* spinBox = qstyleoption_cast<const QStyleOptionSpinBox*>(option);
    if (control == CC_SpinBox && subControl == SC_SpinBoxEditField && spinBox && spinBox->frame)
        return rect.adjusted(fieldTextInset, 0, 0, 0);
    return rect;
}

QSize VelloraStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                     const QWidget* widget) const
{
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_LineEdit && hasFrame(option))
        result.rwidth() += 2 * fieldTextInset;
    if (type == CT_SpinBox)
        result.rwidth() += fieldTextInset;
    return result;
}
