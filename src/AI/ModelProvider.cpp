#include "AI/ModelProvider.h"

#include "Util/Localization.h"

namespace ModelProviders {

const QList<ModelProvider>& allCases()
{
    static const QList<ModelProvider> cases{ModelProvider::compatible, ModelProvider::openAI,
                                            ModelProvider::deepSeek,   ModelProvider::qwen,
                                            ModelProvider::openRouter, ModelProvider::ollama};
    return cases;
}

QString rawValue(ModelProvider provider)
{
    switch (provider) {
    case ModelProvider::compatible:
        return QStringLiteral("compatible");
    case ModelProvider::openAI:
        return QStringLiteral("openAI");
    case ModelProvider::deepSeek:
        return QStringLiteral("deepSeek");
    case ModelProvider::qwen:
        return QStringLiteral("qwen");
    case ModelProvider::openRouter:
        return QStringLiteral("openRouter");
    case ModelProvider::ollama:
        return QStringLiteral("ollama");
    }
    return {};
}

std::optional<ModelProvider> fromRawValue(const QString& raw)
{
    for (ModelProvider provider : allCases()) {
        if (rawValue(provider) == raw)
            return provider;
    }
    return std::nullopt;
}

bool supportsThinkingBudget(ModelProvider provider)
{
    return provider == ModelProvider::qwen || provider == ModelProvider::openRouter;
}

QString title(ModelProvider provider)
{
    switch (provider) {
    case ModelProvider::compatible:
        return Localization::string(QStringLiteral("Generic compatible API"));
    case ModelProvider::openAI:
        return QStringLiteral("OpenAI");
    case ModelProvider::deepSeek:
        return QStringLiteral("DeepSeek");
    case ModelProvider::qwen:
        return QStringLiteral("Qwen / DashScope");
    case ModelProvider::openRouter:
        return QStringLiteral("OpenRouter");
    case ModelProvider::ollama:
        return QStringLiteral("Ollama");
    }
    return {};
}

} // namespace ModelProviders
