#include "support/WidgetLookup.h"

#include <QLabel>
#include <QPushButton>

QPushButton* button(const QWidget& root, const QString& text)
{
    for (QPushButton* candidate : root.findChildren<QPushButton*>()) {
        if (candidate->text().replace(QStringLiteral("&&"), QStringLiteral("&")) == text)
            return candidate;
    }
    return nullptr;
}

QStringList labelTexts(const QWidget& root)
{
    QStringList texts;
    for (const QLabel* label : root.findChildren<QLabel*>())
        texts.append(label->text());
    return texts;
}
