#pragma once

#include <QWidget>

class QLabel;

// A row of a settings card: the title on the left, a flexible space of at least 8 px, then the
// content at the right edge; vertically centred, 16 px between items.
class SettingsDetailRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int itemSpacing = 16;
    static constexpr int minimumGap = 8;

    SettingsDetailRow(const QString& title, QWidget* content, QWidget* parent = nullptr);

    QString title() const;
    void setTitle(const QString& title);
    QWidget* content() const { return content_; }

private:
    QLabel* titleLabel_ = nullptr;
    QWidget* content_ = nullptr;
};
