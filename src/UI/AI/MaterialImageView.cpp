#include "UI/AI/MaterialImageView.h"

#include "UI/ContinuousCorners.h"

#include <QPainter>

MaterialImageView::MaterialImageView(QImage image, qreal cornerRadius, QWidget* parent)
    : QWidget(parent)
    , image_(std::move(image))
    , cornerRadius_(cornerRadius)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QImage MaterialImageView::decode(const ConversationMaterial& material)
{
    if (!material.imageData)
        return {};
    return QImage::fromData(*material.imageData);
}

QRect MaterialImageView::imageRect() const
{
    if (image_.isNull() || width() <= 0 || height() <= 0)
        return {};
    const QSize fitted = image_.size().scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

void MaterialImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    if (cornerRadius_ > 0)
        painter.setClipPath(continuousRoundedRect(rect(), cornerRadius_));
    painter.drawImage(imageRect(), image_);
}
