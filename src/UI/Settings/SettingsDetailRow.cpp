#include "UI/Settings/SettingsDetailRow.h"

#include <QHBoxLayout>
#include <QLabel>

SettingsDetailRow::SettingsDetailRow(const QString& title, QWidget* content, QWidget* parent)
    : QWidget(parent)
    , content_(content)
{
    titleLabel_ = new QLabel(title, this);
    titleLabel_->setTextFormat(Qt::PlainText);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(itemSpacing);
    layout->addWidget(titleLabel_, 0, Qt::AlignVCenter);
    layout->addSpacerItem(new QSpacerItem(minimumGap, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    if (content_)
        layout->addWidget(content_, 0, Qt::AlignVCenter);
}

QString SettingsDetailRow::title() const
{
    return titleLabel_->text();
}

void SettingsDetailRow::setTitle(const QString& title)
{
    titleLabel_->setText(title);
}
