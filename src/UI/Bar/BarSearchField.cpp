#include "UI/Bar/BarSearchField.h"

#include "UI/Appearance.h"
#include "UI/ContinuousCorners.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QAction>
#include <QPainter>
#include <QScopedValueRollback>

namespace {

constexpr qreal cornerRadius = 8;
constexpr qreal borderWidth = 1;
constexpr int magnifierSize = 16;

} // namespace

BarSearchField::BarSearchField(QWidget* parent)
    : QLineEdit(parent)
{
    setFont(VelloraTypography::body());
    setFrame(false);
    setClearButtonEnabled(true);
    setFixedSize(preferredWidth, preferredHeight);
    magnifier_ = addAction(QIcon(), QLineEdit::LeadingPosition);
    applyTheme();
    retranslate();
    connect(&Appearance::shared(), &Appearance::changed, this, &BarSearchField::applyTheme);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { retranslate(); });
}

void BarSearchField::setSearchesBrowserTabs(bool searchesBrowserTabs)
{
    searchesBrowserTabs_ = searchesBrowserTabs;
    retranslate();
}

void BarSearchField::clearForOpening()
{
    setClearButtonEnabled(false);
    setText(QString()); // unlike clear(), forgets what Ctrl+Z could undo from an earlier opening
    setClearButtonEnabled(true);
}

void BarSearchField::retranslate()
{
    setPlaceholderText(Localization::string(searchesBrowserTabs_ ? QStringLiteral("Search open tabs")
                                                                 : QStringLiteral("Search clips")));
}

void BarSearchField::applyTheme()
{
    magnifier_->setIcon(
        Symbols::icon(QStringLiteral("magnifyingglass"), Theme::chromeTextTertiary(), magnifierSize));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    colours.setColor(QPalette::Text, Theme::chromeTextPrimary());
    colours.setColor(QPalette::PlaceholderText, Theme::chromeTextTertiary());
    setPalette(colours);
}

void BarSearchField::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF frame =
            QRectF(rect()).adjusted(borderWidth / 2, borderWidth / 2, -borderWidth / 2, -borderWidth / 2);
        const QColor border = hasFocus() ? QColor(Theme::selection()) : QColor(Theme::cardBorder());
        painter.setPen(QPen(border, borderWidth));
        painter.setBrush(QColor(Theme::cardBody()));
        painter.drawPath(continuousRoundedRect(frame, cornerRadius));
    }
    QLineEdit::paintEvent(event);
    emit painted();
}

void BarSearchField::keyPressEvent(QKeyEvent* event)
{
    const QScopedValueRollback typing(typing_, true);
    QLineEdit::keyPressEvent(event);
}

void BarSearchField::inputMethodEvent(QInputMethodEvent* event)
{
    const QScopedValueRollback typing(typing_, true);
    QLineEdit::inputMethodEvent(event);
}
