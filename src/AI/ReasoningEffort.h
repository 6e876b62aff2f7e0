#pragma once

#include <QList>
#include <QString>
#include <optional>

// How hard a reasoning model should think; `serviceDefault` sends nothing. Stored by raw
// value: "serviceDefault", "minimal", "low", "medium", "high", "xhigh", "max"; the raw value
// is also what the services expect.
enum class ReasoningEffort { serviceDefault, minimal, low, medium, high, xhigh, max };

namespace ReasoningEfforts {
const QList<ReasoningEffort>& allCases();
QString rawValue(ReasoningEffort effort);
std::optional<ReasoningEffort> fromRawValue(const QString& raw);
// "Service default", "Minimal", … "Maximum" in the language in effect.
QString title(ReasoningEffort effort);
} // namespace ReasoningEfforts
