#pragma once

#include "AI/ConversationMaterial.h"

#include <QWidget>

class ConversationDraftView;
class QLabel;
class VelloraIconButton;

// The content of the preview sheet: one material whole under its title, the image scaled to
// fit or the full text (plain, selectable, scrolling). The close button and Escape set the
// view's previewMaterial to none.
class MaterialPreview final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize fixedSize{640, 480};

    MaterialPreview(ConversationDraftView& view, ConversationMaterial material, QWidget* parent = nullptr);

    const ConversationMaterial& material() const { return material_; }
    // The body: a MaterialImageView, or a read-only QPlainTextEdit.
    QWidget* body() const { return body_; }
    VelloraIconButton* closeButton() const { return close_; }

private:
    void build();
    void retranslate();

    ConversationDraftView& view_;
    ConversationMaterial material_;
    VelloraIconButton* close_ = nullptr;
    QWidget* body_ = nullptr;
};
