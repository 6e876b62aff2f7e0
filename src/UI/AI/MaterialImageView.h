#pragma once

#include "AI/ConversationMaterial.h"

#include <QImage>
#include <QWidget>

// An image scaled to fit its frame (aspect ratio kept) and centred, clipped to continuous
// corners of the given radius.
class MaterialImageView final : public QWidget {
    Q_OBJECT
public:
    MaterialImageView(QImage image, qreal cornerRadius, QWidget* parent = nullptr);

    // The material's image when its bytes decode; a null image otherwise. Decoded each time:
    // the card and the preview decide the same way and cache nothing.
    static QImage decode(const ConversationMaterial& material);

    const QImage& image() const { return image_; }
    // Where the image is drawn inside the widget.
    QRect imageRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    qreal cornerRadius_;
};
