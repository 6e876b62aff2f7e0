#pragma once

class QColor;
class QFont;
class QLabel;
class QWidget;

// Small helpers the settings pages share for their texts.
namespace SettingsLabels {
// A label that shows its text as plain text, never as markup.
QLabel* plainLabel(QWidget* parent, const QFont& font, bool wraps = false);
// The colour of a label's or a button's text.
void setTextColor(QWidget* widget, const QColor& color);
} // namespace SettingsLabels
