#include "UI/Settings/SettingsLabels.h"

#include <QLabel>
#include <QPalette>

namespace SettingsLabels {

QLabel* plainLabel(QWidget* parent, const QFont& font, bool wraps)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setWordWrap(wraps);
    return label;
}

void setTextColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

} // namespace SettingsLabels
