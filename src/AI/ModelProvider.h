#pragma once

#include <QList>
#include <QString>
#include <optional>

// The chat-completions services whose request fields a configuration is adapted to.
// Stored by raw value: "compatible", "openAI", "deepSeek", "qwen", "openRouter", "ollama".
enum class ModelProvider { compatible, openAI, deepSeek, qwen, openRouter, ollama };

namespace ModelProviders {
const QList<ModelProvider>& allCases();
QString rawValue(ModelProvider provider);
std::optional<ModelProvider> fromRawValue(const QString& raw);
// The service's own name; the generic one is "Generic compatible API", in the language in use.
QString title(ModelProvider provider);
// Only these services accept a token budget for thinking.
bool supportsThinkingBudget(ModelProvider provider);
} // namespace ModelProviders
