#include "AI/ReasoningEffort.h"

#include "Util/Localization.h"

namespace ReasoningEfforts {

const QList<ReasoningEffort>& allCases()
{
    static const QList<ReasoningEffort> cases{ReasoningEffort::serviceDefault,
                                              ReasoningEffort::minimal,
                                              ReasoningEffort::low,
                                              ReasoningEffort::medium,
                                              ReasoningEffort::high,
                                              ReasoningEffort::xhigh,
                                              ReasoningEffort::max};
    return cases;
}

QString rawValue(ReasoningEffort effort)
{
    switch (effort) {
    case ReasoningEffort::serviceDefault:
        return QStringLiteral("serviceDefault");
    case ReasoningEffort::minimal:
        return QStringLiteral("minimal");
    case ReasoningEffort::low:
        return QStringLiteral("low");
    case ReasoningEffort::medium:
        return QStringLiteral("medium");
    case ReasoningEffort::high:
        return QStringLiteral("high");
    case ReasoningEffort::xhigh:
        return QStringLiteral("xhigh");
    case ReasoningEffort::max:
        return QStringLiteral("max");
    }
    return {};
}

std::optional<ReasoningEffort> fromRawValue(const QString& raw)
{
    for (ReasoningEffort effort : allCases()) {
        if (rawValue(effort) == raw)
            return effort;
    }
    return std::nullopt;
}

QString title(ReasoningEffort effort)
{
    switch (effort) {
    case ReasoningEffort::serviceDefault:
        return Localization::string(QStringLiteral("Service default"));
    case ReasoningEffort::minimal:
        return Localization::string(QStringLiteral("Minimal"));
    case ReasoningEffort::low:
        return Localization::string(QStringLiteral("Low"));
    case ReasoningEffort::medium:
        return Localization::string(QStringLiteral("Medium"));
    case ReasoningEffort::high:
        return Localization::string(QStringLiteral("High"));
    case ReasoningEffort::xhigh:
        return Localization::string(QStringLiteral("Extra high"));
    case ReasoningEffort::max:
        return Localization::string(QStringLiteral("Maximum"));
    }
    return {};
}

} // namespace ReasoningEfforts
