#pragma once

#include "AI/ConversationMaterial.h"

#include <QAbstractButton>

class QLabel;

// One material in the materials column: the source application's icon and name, then the
// image or a few lines of the text. A click emits clicked(); the card draws no button chrome.
class MaterialCard final : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int imageHeight = 122;
    static constexpr int excerptLines = 5;

    explicit MaterialCard(ConversationMaterial material, QWidget* parent = nullptr);

    const ConversationMaterial& material() const { return material_; }
    // The second row: a MaterialImageView, a MaterialExcerpt, or none.
    QWidget* detail() const { return detail_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    void elideSource();
    void retranslate();
    void applyTheme();

    ConversationMaterial material_;
    QLabel* sourceLabel_ = nullptr;
    QLabel* arrow_ = nullptr;
    QWidget* detail_ = nullptr;
};
