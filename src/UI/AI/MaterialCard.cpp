#include "UI/AI/MaterialCard.h"

#include "UI/AI/MaterialExcerpt.h"
#include "UI/AI/MaterialImageView.h"
#include "UI/Appearance.h"
#include "UI/ContinuousCorners.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/AppIconProvider.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int cardPadding = 14;
constexpr int rowSpacing = 14;
constexpr qreal cornerRadius = 12;
constexpr qreal borderOpacity = 0.65;
constexpr int firstRowSpacing = 8;
constexpr int sourceIconSize = 21;
constexpr qreal iconCornerRadius = 5;
constexpr int sourcePixelSize = 12;
constexpr int arrowPixelSize = 10;
constexpr qreal imageCornerRadius = 7;
constexpr qreal excerptLineSpacing = 4;

QPixmap roundedIcon(const QIcon& icon, qreal ratio)
{
    QPixmap source = icon.pixmap(QSize(sourceIconSize, sourceIconSize), ratio);
    QPixmap result(QSize(sourceIconSize, sourceIconSize) * ratio);
    result.setDevicePixelRatio(ratio);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.setClipPath(
        continuousRoundedRect(QRectF(0, 0, sourceIconSize, sourceIconSize), iconCornerRadius));
    painter.drawPixmap(QRect(0, 0, sourceIconSize, sourceIconSize), source);
    return result;
}

QLabel* passiveLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

MaterialCard::MaterialCard(ConversationMaterial material, QWidget* parent)
    : QAbstractButton(parent)
    , material_(std::move(material))
{
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    build();
    retranslate();
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { retranslate(); });
    connect(&Appearance::shared(), &Appearance::changed, this, &MaterialCard::applyTheme);
}

void MaterialCard::build()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(cardPadding, cardPadding, cardPadding, cardPadding);
    column->setSpacing(rowSpacing);

    auto* firstRow = new QHBoxLayout;
    firstRow->setSpacing(firstRowSpacing);
    QLabel* icon = passiveLabel(this);
    icon->setFixedSize(sourceIconSize, sourceIconSize);
    icon->setPixmap(roundedIcon(AppIconProvider::icon(material_.sourceBundleID), devicePixelRatioF()));
    firstRow->addWidget(icon);

    sourceLabel_ = passiveLabel(this);
    sourceLabel_->setTextFormat(Qt::PlainText);
    sourceLabel_->setText(material_.source);
    QFont sourceFont = font();
    sourceFont.setPixelSize(sourcePixelSize);
    sourceFont.setWeight(QFont::Medium);
    sourceLabel_->setFont(sourceFont);
    sourceLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    sourceLabel_->setForegroundRole(QPalette::WindowText);
    firstRow->addWidget(sourceLabel_, 1);

    arrow_ = passiveLabel(this);
    firstRow->addWidget(arrow_);
    column->addLayout(firstRow);

    const QImage image = MaterialImageView::decode(material_);
    if (!image.isNull()) {
        auto* view = new MaterialImageView(image, imageCornerRadius, this);
        view->setFixedHeight(imageHeight);
        view->setAttribute(Qt::WA_TransparentForMouseEvents);
        detail_ = view;
    } else if (material_.text) {
        auto* excerpt = new MaterialExcerpt(*material_.text, excerptLines, excerptLineSpacing, this);
        excerpt->setFont(VelloraTypography::isCode(*material_.text) ? VelloraTypography::code()
                                                                    : VelloraTypography::source());
        excerpt->setAttribute(Qt::WA_TransparentForMouseEvents);
        detail_ = excerpt;
    }
    if (detail_)
        column->addWidget(detail_);
    applyTheme();
}

void MaterialCard::applyTheme()
{
    arrow_->setPixmap(Symbols::pixmap(QStringLiteral("arrow.up.right"), Theme::chromeTextTertiary(),
                                      arrowPixelSize, devicePixelRatioF()));
    if (auto* excerpt = qobject_cast<MaterialExcerpt*>(detail_)) {
        QPalette palette = excerpt->palette();
        palette.setColor(QPalette::WindowText, Theme::chromeTextSecondary());
        excerpt->setPalette(palette);
    }
    update();
}

void MaterialCard::retranslate()
{
    setToolTip(Localization::string(QStringLiteral("Click to preview the full material")));
    setAccessibleName(Localization::format(QStringLiteral("Preview material: %@"), material_.title));
}

void MaterialCard::resizeEvent(QResizeEvent* event)
{
    QAbstractButton::resizeEvent(event);
    elideSource();
}

void MaterialCard::elideSource()
{
    const QFontMetrics metrics(sourceLabel_->font());
    sourceLabel_->setText(metrics.elidedText(material_.source, Qt::ElideRight, sourceLabel_->width()));
}

QSize MaterialCard::sizeHint() const
{
    return layout()->sizeHint();
}

QSize MaterialCard::minimumSizeHint() const
{
    return layout()->minimumSize();
}

bool MaterialCard::hasHeightForWidth() const
{
    return layout()->hasHeightForWidth();
}

int MaterialCard::heightForWidth(int width) const
{
    return layout()->hasHeightForWidth() ? layout()->heightForWidth(width) : sizeHint().height();
}

void MaterialCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF inner = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = continuousRoundedRect(inner, cornerRadius);
    painter.fillPath(shape, QColor(Theme::cardBody()));
    QColor border = Theme::cardBorder();
    border.setAlphaF(borderOpacity);
    painter.setPen(QPen(border, 1));
    painter.drawPath(shape);
}
