#pragma once

#include "UI/Settings/SettingsDetailCard.h"

class QLabel;

// A card whose first item is its title in the title font.
class SettingsDetailSection : public SettingsDetailCard {
    Q_OBJECT
public:
    explicit SettingsDetailSection(const QString& title, QWidget* parent = nullptr);

    QString title() const;
    void setTitle(const QString& title);

private:
    QLabel* titleLabel_ = nullptr;
};
