#include "UI/AI/ConversationMaterialsColumn.h"

#include "UI/AI/ConversationDraftView.h"
#include "UI/AI/MaterialCard.h"
#include "UI/Appearance.h"
#include "UI/ContinuousCorners.h"
#include "UI/ScrollBarLook.h"
#include "UI/Theme.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

constexpr int horizontalPadding = 16;
constexpr int topPadding = 25;
constexpr int bottomPadding = 16;
constexpr int columnSpacing = 18;
constexpr int headingSpacing = 7;
constexpr int headingPadding = 6;
constexpr int headingPixelSize = 12;
constexpr int badgePixelSize = 10;
constexpr int badgeHorizontalPadding = 5;
constexpr int badgeVerticalPadding = 2;
constexpr qreal badgeCornerRadius = 4;
constexpr int cardSpacing = 10;

// The count, on a pill with continuous corners.
class CountBadge final : public QLabel {
public:
    explicit CountBadge(QWidget* parent)
        : QLabel(parent)
    {
        setTextFormat(Qt::PlainText);
        setContentsMargins(badgeHorizontalPadding, badgeVerticalPadding, badgeHorizontalPadding,
                           badgeVerticalPadding);
        QFont badgeFont = font();
        badgeFont.setPixelSize(badgePixelSize);
        badgeFont.setWeight(QFont::Medium);
        badgeFont.setStyleHint(QFont::Monospace);
        badgeFont.setFamilies({QStringLiteral("monospace")});
        setFont(badgeFont);
        applyTheme();
        connect(&Appearance::shared(), &Appearance::changed, this, &CountBadge::applyTheme);
    }

    void applyTheme()
    {
        QPalette palette = this->palette();
        palette.setColor(QPalette::WindowText, Theme::chromeTextSecondary());
        setPalette(palette);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(continuousRoundedRect(rect(), badgeCornerRadius), QColor(Theme::pillBG()));
        painter.end();
        QLabel::paintEvent(event);
    }
};

} // namespace

ConversationMaterialsColumn::ConversationMaterialsColumn(ConversationDraftView& view, QWidget* parent)
    : QWidget(parent)
    , view_(view)
{
    setFixedWidth(columnWidth);
    build();
    retranslate();
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { retranslate(); });
}

void ConversationMaterialsColumn::build()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(horizontalPadding, topPadding, horizontalPadding, bottomPadding);
    column->setSpacing(columnSpacing);
    column->addLayout(buildHeading());
    column->addWidget(buildList(), 1);
}

QLayout* ConversationMaterialsColumn::buildHeading()
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(headingPadding, 0, headingPadding, 0);
    row->setSpacing(headingSpacing);
    heading_ = new QLabel(this);
    heading_->setTextFormat(Qt::PlainText);
    QFont headingFont = font();
    headingFont.setPixelSize(headingPixelSize);
    headingFont.setWeight(QFont::Medium);
    heading_->setFont(headingFont);
    row->addWidget(heading_);
    countBadge_ = new CountBadge(this);
    countBadge_->setText(QString::number(view_.draft().materials.size()));
    row->addWidget(countBadge_);
    row->addStretch(1);
    return row;
}

QWidget* ConversationMaterialsColumn::buildList()
{
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->viewport()->setAutoFillBackground(false);
    ScrollBarLook::follow(scroll->verticalScrollBar(), Theme::sidebar());

    auto* content = new QWidget(scroll);
    auto* list = new QVBoxLayout(content);
    list->setContentsMargins(0, 0, 0, 0);
    list->setSpacing(cardSpacing);
    for (const ConversationMaterial& material : view_.draft().materials) {
        auto* card = new MaterialCard(material, content);
        connect(card, &QAbstractButton::clicked, this,
                [this, material] { view_.setPreviewMaterial(material); });
        list->addWidget(card);
        cards_ << card;
    }
    list->addStretch(1);
    scroll->setWidget(content);
    content->setAutoFillBackground(false); // setWidget() turns it on
    return scroll;
}

void ConversationMaterialsColumn::retranslate()
{
    heading_->setText(Localization::string(QStringLiteral("Materials")));
}

void ConversationMaterialsColumn::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(Theme::sidebar()));
}
