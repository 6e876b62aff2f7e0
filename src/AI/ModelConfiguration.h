#pragma once

#include "AI/ModelProvider.h"
#include "AI/ReasoningEffort.h"
#include "AI/ThinkingMode.h"

#include <QJsonObject>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace Platform {
class Defaults;
}

// One model's request settings. An unset optional is left out of requests, so that the
// service's own default applies. Stored as JSON under "dorvane.modelConfiguration.v1" (the
// active model) and inside each saved model of the library.
struct ModelConfiguration {
    QString baseURL;
    QString model;
    bool supportsImages = false;
    ModelProvider provider = ModelProvider::compatible;
    ThinkingMode thinking = ThinkingMode::serviceDefault;
    ReasoningEffort reasoningEffort = ReasoningEffort::serviceDefault;
    std::optional<qint64> thinkingBudget;
    std::optional<qint64> maxOutputTokens;
    std::optional<qint64> contextTokens;
    std::optional<qint64> historyTurns;
    std::optional<qint64> seed;
    std::optional<double> temperature;
    std::optional<double> topP;
    std::optional<double> presencePenalty;
    std::optional<double> frequencyPenalty;
    QString stopSequences; // one sequence per line
    QString systemPrompt;  // the response instructions
    int timeoutSeconds = defaultTimeoutSeconds;

    static constexpr int defaultTimeoutSeconds = 180;
    static inline const QString storageKey = QStringLiteral("dorvane.modelConfiguration.v1");

    ModelConfiguration() = default;
    ModelConfiguration(QString baseURL, QString model, bool supportsImages, ModelProvider provider);

    bool operator==(const ModelConfiguration&) const = default;

    // The configuration stored under storageKey; missing or undecodable data gives the default.
    static ModelConfiguration load(const Platform::Defaults& defaults);

    // The chat-completions URL. Throws ModelError::invalidConfiguration when the trimmed model
    // name is empty, or the trimmed address is not HTTPS (plain HTTP only to a local host),
    // has no host, or carries a user, a password, a query or a fragment.
    QUrl endpoint() const;

    // Throws ModelError::invalidParameters for a value out of range, and
    // ModelError::contextExceeded when the output limit is not below the context budget.
    void validateGeneration() const;

    // The non-empty lines of stopSequences, in order.
    QStringList stopSequenceList() const;

    QJsonObject toJson() const;
    // None when a field holds a value of the wrong type or an unknown raw value; missing
    // fields take their defaults.
    static std::optional<ModelConfiguration> fromJson(const QJsonObject& object);
};

// True for "localhost", 127.0.0.0/8 and "::1": the hosts plain HTTP may go to.
bool isLocalHost(const QString& host);
