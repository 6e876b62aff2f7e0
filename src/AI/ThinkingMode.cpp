#include "AI/ThinkingMode.h"

namespace ThinkingModes {

const QList<ThinkingMode>& allCases()
{
    static const QList<ThinkingMode> cases{ThinkingMode::serviceDefault, ThinkingMode::enabled,
                                           ThinkingMode::disabled};
    return cases;
}

QString rawValue(ThinkingMode mode)
{
    switch (mode) {
    case ThinkingMode::serviceDefault:
        return QStringLiteral("serviceDefault");
    case ThinkingMode::enabled:
        return QStringLiteral("enabled");
    case ThinkingMode::disabled:
        return QStringLiteral("disabled");
    }
    return {};
}

std::optional<ThinkingMode> fromRawValue(const QString& raw)
{
    for (ThinkingMode mode : allCases()) {
        if (rawValue(mode) == raw)
            return mode;
    }
    return std::nullopt;
}

} // namespace ThinkingModes
