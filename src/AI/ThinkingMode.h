#pragma once

#include <QList>
#include <QString>
#include <optional>

// Whether the model is asked to think before answering; `serviceDefault` sends nothing.
// Stored by raw value: "serviceDefault", "enabled", "disabled".
enum class ThinkingMode { serviceDefault, enabled, disabled };

namespace ThinkingModes {
const QList<ThinkingMode>& allCases();
QString rawValue(ThinkingMode mode);
std::optional<ThinkingMode> fromRawValue(const QString& raw);
} // namespace ThinkingModes
