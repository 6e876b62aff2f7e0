#include "UI/Settings/SettingsDetailSection.h"

#include "UI/VelloraTypography.h"

#include <QLabel>

SettingsDetailSection::SettingsDetailSection(const QString& title, QWidget* parent)
    : SettingsDetailCard(parent)
{
    titleLabel_ = new QLabel(title, this);
    titleLabel_->setTextFormat(Qt::PlainText);
    titleLabel_->setFont(VelloraTypography::title());
    addItem(titleLabel_);
}

QString SettingsDetailSection::title() const
{
    return titleLabel_->text();
}

void SettingsDetailSection::setTitle(const QString& title)
{
    titleLabel_->setText(title);
}
