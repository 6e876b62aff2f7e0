#pragma once

#include <QString>
#include <QStringList>

class QPushButton;
class QWidget;

// The push button under `root` that reads `text` ("&&" in a button's text shows as "&"); null
// when there is none.
QPushButton* button(const QWidget& root, const QString& text);
// The texts of the labels under `root`, in the order of the widget tree.
QStringList labelTexts(const QWidget& root);
