#pragma once

#include <QList>
#include <QWidget>

class ConversationDraftView;
class MaterialCard;
class QLabel;

// The left column of the conversation window: a "Materials" heading with their count and
// one card per material of the draft, in order. A click on a card previews that material
// through the view's previewMaterial. The list never changes while the window is open.
class ConversationMaterialsColumn final : public QWidget {
    Q_OBJECT
public:
    static constexpr int columnWidth = 264;

    explicit ConversationMaterialsColumn(ConversationDraftView& view, QWidget* parent = nullptr);

    const QList<MaterialCard*>& cards() const { return cards_; }
    QLabel* countBadge() const { return countBadge_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void build();
    QLayout* buildHeading();
    QWidget* buildList();
    void retranslate();

    ConversationDraftView& view_;
    QLabel* heading_ = nullptr;
    QLabel* countBadge_ = nullptr;
    QList<MaterialCard*> cards_;
};
