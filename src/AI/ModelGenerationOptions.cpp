#include "AI/ModelGenerationOptions.h"

#include "AI/ModelConfiguration.h"

#include <QJsonArray>

namespace {

const QString reasoningEffortKey = QStringLiteral("reasoning_effort");
const QString noReasoning = QStringLiteral("none");

bool hasEffort(const ModelConfiguration& c)
{
    return c.reasoningEffort != ReasoningEffort::serviceDefault;
}

QString effort(const ModelConfiguration& c)
{
    return ReasoningEfforts::rawValue(c.reasoningEffort);
}

// openAI and ollama: no switch of its own; "none" turns reasoning off.
void applyEffortOnly(const ModelConfiguration& c, QJsonObject& body)
{
    if (c.thinking == ThinkingMode::disabled)
        body.insert(reasoningEffortKey, noReasoning);
    else if (hasEffort(c))
        body.insert(reasoningEffortKey, effort(c));
}

void applyDeepSeek(const ModelConfiguration& c, QJsonObject& body)
{
    if (c.thinking != ThinkingMode::serviceDefault) {
        const bool on = c.thinking == ThinkingMode::enabled;
        body.insert(QStringLiteral("thinking"),
                    QJsonObject{{QStringLiteral("type"),
                                 on ? QStringLiteral("enabled") : QStringLiteral("disabled")}});
    }
    if (c.thinking != ThinkingMode::disabled && hasEffort(c))
        body.insert(reasoningEffortKey, effort(c));
}

// Qwen's compatible mode documents no effort field.
void applyQwen(const ModelConfiguration& c, QJsonObject& body)
{
    if (c.thinking == ThinkingMode::serviceDefault)
        return;
    const bool on = c.thinking == ThinkingMode::enabled;
    body.insert(QStringLiteral("enable_thinking"), on);
    if (on && c.thinkingBudget)
        body.insert(QStringLiteral("thinking_budget"), *c.thinkingBudget);
}

void applyOpenRouter(const ModelConfiguration& c, QJsonObject& body)
{
    QJsonObject reasoning;
    if (c.thinking == ThinkingMode::disabled) {
        reasoning.insert(QStringLiteral("effort"), noReasoning);
    } else {
        if (c.thinking == ThinkingMode::enabled)
            reasoning.insert(QStringLiteral("enabled"), true);
        if (hasEffort(c))
            reasoning.insert(QStringLiteral("effort"), effort(c));
        else if (c.thinking == ThinkingMode::enabled && c.thinkingBudget)
            reasoning.insert(QStringLiteral("max_tokens"), *c.thinkingBudget);
    }
    if (!reasoning.isEmpty())
        body.insert(QStringLiteral("reasoning"), reasoning);
}

// A generic server has no portable thinking switch; only the effort is passed on.
void applyCompatible(const ModelConfiguration& c, QJsonObject& body)
{
    if (c.thinking != ThinkingMode::disabled && hasEffort(c))
        body.insert(reasoningEffortKey, effort(c));
}

void applyReasoning(const ModelConfiguration& c, QJsonObject& body)
{
    switch (c.provider) {
    case ModelProvider::openAI:
    case ModelProvider::ollama:
        applyEffortOnly(c, body);
        return;
    case ModelProvider::deepSeek:
        applyDeepSeek(c, body);
        return;
    case ModelProvider::qwen:
        applyQwen(c, body);
        return;
    case ModelProvider::openRouter:
        applyOpenRouter(c, body);
        return;
    case ModelProvider::compatible:
        applyCompatible(c, body);
        return;
    }
}

QString outputLimitKey(ModelProvider provider)
{
    const bool countsReasoning = provider == ModelProvider::openAI || provider == ModelProvider::qwen;
    return countsReasoning ? QStringLiteral("max_completion_tokens") : QStringLiteral("max_tokens");
}

void insertIfSet(QJsonObject& body, const QString& key, const std::optional<double>& value)
{
    if (value)
        body.insert(key, *value);
}

} // namespace

void ModelGenerationOptions::apply(const ModelConfiguration& c, QJsonObject& body)
{
    applyReasoning(c, body);
    if (c.maxOutputTokens)
        body.insert(outputLimitKey(c.provider), *c.maxOutputTokens);
    insertIfSet(body, QStringLiteral("temperature"), c.temperature);
    insertIfSet(body, QStringLiteral("top_p"), c.topP);
    insertIfSet(body, QStringLiteral("presence_penalty"), c.presencePenalty);
    insertIfSet(body, QStringLiteral("frequency_penalty"), c.frequencyPenalty);
    if (c.seed)
        body.insert(QStringLiteral("seed"), *c.seed);
    const QStringList stops = c.stopSequenceList();
    if (!stops.isEmpty())
        body.insert(QStringLiteral("stop"), QJsonArray::fromStringList(stops));
}
