#include "UI/VelloraMark.h"

#include "UI/VelloraBrand.h"

#include <QPainter>

VelloraMark::VelloraMark(int size, QWidget* parent)
    : QWidget(parent)
    , size_(size)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
}

QSize VelloraMark::sizeHint() const
{
    return {size_, size_};
}

void VelloraMark::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    VelloraBrand::paintMark(painter, QRectF(rect()));
}
