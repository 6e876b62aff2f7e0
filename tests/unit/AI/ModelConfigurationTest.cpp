#include "AI/ModelConfiguration.h"
#include "AI/ModelError.h"
#include "AITestSupport.h"
#include "fakes/FakeDefaults.h"

#include <QJsonDocument>
#include <cmath>
#include <limits>

namespace {

using Kind = ModelError::Kind;

struct RangeCase {
    const char* name;
    std::function<void(ModelConfiguration&)> set;
    std::optional<Kind> expected; // none: valid
    const char* message = nullptr;
};

ModelConfiguration base()
{
    return ModelConfiguration(QStringLiteral("https://api.example.com/v1"), QStringLiteral("m"), false,
                              ModelProvider::compatible);
}

class ValidateGeneration : public ::testing::TestWithParam<RangeCase> {
protected:
    void SetUp() override { useEnglish(); }
};

TEST_P(ValidateGeneration, AcceptsOrRejects)
{
    ModelConfiguration c = base();
    GetParam().set(c);
    const std::optional<ModelError> error = thrownBy([&] { c.validateGeneration(); });
    if (!GetParam().expected) {
        EXPECT_FALSE(error) << error->errorDescription().toStdString();
        return;
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), *GetParam().expected);
    if (GetParam().message) {
        EXPECT_EQ(error->errorDescription(), QString::fromUtf8(GetParam().message));
    }
}

const double nan = std::numeric_limits<double>::quiet_NaN();

const RangeCase rangeCases[] = {
    {"outputAtLow", [](auto& c) { c.maxOutputTokens = 1; }, {}},
    {"outputBelow", [](auto& c) { c.maxOutputTokens = 0; }, Kind::invalidParameters,
     "Output limit must be between 1 and 2,000,000."},
    {"outputAtHigh", [](auto& c) { c.maxOutputTokens = 2'000'000; }, {}},
    {"outputAbove", [](auto& c) { c.maxOutputTokens = 2'000'001; }, Kind::invalidParameters},
    {"contextAtLow", [](auto& c) { c.contextTokens = 256; }, {}},
    {"contextBelow", [](auto& c) { c.contextTokens = 255; }, Kind::invalidParameters,
     "Context budget must be between 256 and 2,000,000."},
    {"contextAtHigh", [](auto& c) { c.contextTokens = 2'000'000; }, {}},
    {"contextAbove", [](auto& c) { c.contextTokens = 2'000'001; }, Kind::invalidParameters},
    {"turnsZero", [](auto& c) { c.historyTurns = 0; }, {}},
    {"turnsNegative", [](auto& c) { c.historyTurns = -1; }, Kind::invalidParameters,
     "Previous turns must be between 0 and 1,000."},
    {"turnsAtHigh", [](auto& c) { c.historyTurns = 1000; }, {}},
    {"turnsAbove", [](auto& c) { c.historyTurns = 1001; }, Kind::invalidParameters},
    {"budgetAtLow", [](auto& c) { c.thinkingBudget = 1; }, {}},
    {"budgetBelow", [](auto& c) { c.thinkingBudget = 0; }, Kind::invalidParameters,
     "Thinking budget must be between 1 and 2,000,000."},
    {"budgetAbove", [](auto& c) { c.thinkingBudget = 2'000'001; }, Kind::invalidParameters},
    {"temperatureZero", [](auto& c) { c.temperature = 0.0; }, {}},
    {"temperatureTwo", [](auto& c) { c.temperature = 2.0; }, {}},
    {"temperatureAbove", [](auto& c) { c.temperature = 2.0001; }, Kind::invalidParameters,
     "Temperature must be between 0 and 2."},
    {"temperatureBelow", [](auto& c) { c.temperature = -0.0001; }, Kind::invalidParameters},
    {"temperatureNaN", [](auto& c) { c.temperature = nan; }, Kind::invalidParameters},
    {"topPOne", [](auto& c) { c.topP = 1.0; }, {}},
    {"topPAbove", [](auto& c) { c.topP = 1.01; }, Kind::invalidParameters, "Top P must be between 0 and 1."},
    {"topPBelow", [](auto& c) { c.topP = -0.01; }, Kind::invalidParameters},
    {"presenceLow", [](auto& c) { c.presencePenalty = -2.0; }, {}},
    {"presenceBelow", [](auto& c) { c.presencePenalty = -2.01; }, Kind::invalidParameters,
     "Presence penalty must be between -2 and 2."},
    {"frequencyHigh", [](auto& c) { c.frequencyPenalty = 2.0; }, {}},
    {"frequencyAbove", [](auto& c) { c.frequencyPenalty = 2.01; }, Kind::invalidParameters,
     "Frequency penalty must be between -2 and 2."},
    {"timeoutLow", [](auto& c) { c.timeoutSeconds = 10; }, {}},
    {"timeoutBelow", [](auto& c) { c.timeoutSeconds = 9; }, Kind::invalidParameters,
     "Time-out in seconds must be between 10 and 900."},
    {"timeoutHigh", [](auto& c) { c.timeoutSeconds = 900; }, {}},
    {"timeoutAbove", [](auto& c) { c.timeoutSeconds = 901; }, Kind::invalidParameters},
    {"fourStops", [](auto& c) { c.stopSequences = QStringLiteral("a\nb\n\nc\r\nd\n"); }, {}},
    {"fiveStops", [](auto& c) { c.stopSequences = QStringLiteral("a\nb\nc\nd\ne"); }, Kind::invalidParameters,
     "Use at most 4 stop sequences."},
    {"stopAtBytes", [](auto& c) { c.stopSequences = QString(1024, QLatin1Char('x')); }, {}},
    {"stopOverBytes", [](auto& c) { c.stopSequences = QString(1023, QLatin1Char('x')) + QChar(0xe9); },
     Kind::invalidParameters, "Each stop sequence can be at most 1,024 bytes."},
    {"promptAtBytes", [](auto& c) { c.systemPrompt = QString(32'000, QLatin1Char('x')); }, {}},
    {"promptOverBytes", [](auto& c) { c.systemPrompt = QString(10'667, QChar(0x4e2d)); },
     Kind::invalidParameters, "Response instructions can be at most 32,000 bytes."},
    {"budgetQwen",
     [](auto& c) {
         c.provider = ModelProvider::qwen;
         c.thinking = ThinkingMode::enabled;
         c.thinkingBudget = 500;
     },
     {}},
    {"budgetOpenAI",
     [](auto& c) {
         c.provider = ModelProvider::openAI;
         c.thinking = ThinkingMode::enabled;
         c.thinkingBudget = 500;
     },
     Kind::invalidParameters, "A thinking budget needs the Qwen or OpenRouter provider."},
    {"budgetIgnoredWhenThinkingOff",
     [](auto& c) {
         c.provider = ModelProvider::openAI;
         c.thinking = ThinkingMode::disabled;
         c.thinkingBudget = 500;
     },
     {}},
    {"budgetWithEffort",
     [](auto& c) {
         c.provider = ModelProvider::qwen;
         c.thinking = ThinkingMode::enabled;
         c.reasoningEffort = ReasoningEffort::high;
         c.thinkingBudget = 500;
     },
     Kind::invalidParameters, "A thinking budget works only with the effort left at Service default."},
    {"openRouterBudgetBelowOutput",
     [](auto& c) {
         c.provider = ModelProvider::openRouter;
         c.thinking = ThinkingMode::enabled;
         c.thinkingBudget = 999;
         c.maxOutputTokens = 1000;
     },
     {}},
    {"openRouterBudgetAtOutput",
     [](auto& c) {
         c.provider = ModelProvider::openRouter;
         c.thinking = ThinkingMode::enabled;
         c.thinkingBudget = 1000;
         c.maxOutputTokens = 1000;
     },
     Kind::invalidParameters, "The thinking budget must be below the output limit."},
    {"qwenBudgetAboveOutputAllowed",
     [](auto& c) {
         c.provider = ModelProvider::qwen;
         c.thinking = ThinkingMode::enabled;
         c.thinkingBudget = 5000;
         c.maxOutputTokens = 1000;
     },
     {}},
    {"outputBelowContext",
     [](auto& c) {
         c.maxOutputTokens = 4095;
         c.contextTokens = 4096;
     },
     {}},
    {"outputEqualsContext",
     [](auto& c) {
         c.maxOutputTokens = 4096;
         c.contextTokens = 4096;
     },
     Kind::contextExceeded, "The output limit must be smaller than the context budget."},
    {"rangeBeforeContext",
     [](auto& c) {
         c.maxOutputTokens = 5000;
         c.contextTokens = 4096;
         c.temperature = 3.0;
     },
     Kind::invalidParameters},
};

INSTANTIATE_TEST_SUITE_P(Cases, ValidateGeneration, ::testing::ValuesIn(rangeCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct EndpointCase {
    const char* name;
    const char* address;
    ModelProvider provider;
    const char* expected; // nullptr: rejected
};

class Endpoint : public ::testing::TestWithParam<EndpointCase> {};

TEST_P(Endpoint, JoinsOrRejects)
{
    useEnglish();
    ModelConfiguration c(QString::fromUtf8(GetParam().address), QStringLiteral("model"), false,
                         GetParam().provider);
    const std::optional<ModelError> error = thrownBy([&] { c.endpoint(); });
    if (!GetParam().expected) {
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), Kind::invalidConfiguration);
        return;
    }
    ASSERT_FALSE(error) << error->errorDescription().toStdString();
    EXPECT_EQ(c.endpoint().toString(QUrl::FullyEncoded).toStdString(), GetParam().expected);
}

const EndpointCase endpointCases[] = {
    {"https", "https://api.example.com/v1", ModelProvider::compatible,
     "https://api.example.com/v1/chat/completions"},
    {"trailingSlashes", "  https://api.example.com/v1//  ", ModelProvider::compatible,
     "https://api.example.com/v1/chat/completions"},
    {"fullEndpoint", "https://api.example.com/v1/chat/completions/", ModelProvider::compatible,
     "https://api.example.com/v1/chat/completions"},
    {"deepSeekBareHost", "https://api.deepseek.com", ModelProvider::deepSeek,
     "https://api.deepseek.com/chat/completions"},
    {"openAIBareHost", "https://api.openai.com/", ModelProvider::openAI,
     "https://api.openai.com/v1/chat/completions"},
    {"ollamaBareHost", "http://localhost:11434", ModelProvider::ollama,
     "http://localhost:11434/v1/chat/completions"},
    {"noExtraV1", "https://openrouter.ai/api/v1", ModelProvider::openRouter,
     "https://openrouter.ai/api/v1/chat/completions"},
    {"upperCaseScheme", "HTTPS://Api.Example.com/v1", ModelProvider::compatible,
     "https://api.example.com/v1/chat/completions"},
    {"httpLocalhost", "http://localhost:8080/v1", ModelProvider::compatible,
     "http://localhost:8080/v1/chat/completions"},
    {"httpLoopback", "http://127.0.0.1:1234/v1", ModelProvider::compatible,
     "http://127.0.0.1:1234/v1/chat/completions"},
    {"httpLoopbackRange", "http://127.8.9.10/v1", ModelProvider::compatible,
     "http://127.8.9.10/v1/chat/completions"},
    {"httpIPv6Loopback", "http://[::1]:11434/v1", ModelProvider::compatible,
     "http://[::1]:11434/v1/chat/completions"},
    {"httpRemote", "http://api.example.com/v1", ModelProvider::compatible, nullptr},
    {"httpLookalike", "http://localhost.example.com/v1", ModelProvider::compatible, nullptr},
    {"httpPrivateAddress", "http://192.168.1.2/v1", ModelProvider::compatible, nullptr},
    {"otherScheme", "ftp://api.example.com", ModelProvider::compatible, nullptr},
    {"noScheme", "api.example.com/v1", ModelProvider::compatible, nullptr},
    {"noHost", "https:///v1", ModelProvider::compatible, nullptr},
    {"empty", "   ", ModelProvider::compatible, nullptr},
    {"user", "https://user@api.example.com/v1", ModelProvider::compatible, nullptr},
    {"password", "https://:secret@api.example.com/v1", ModelProvider::compatible, nullptr},
    {"query", "https://api.example.com/v1?key=1", ModelProvider::compatible, nullptr},
    {"emptyQuery", "https://api.example.com/v1?", ModelProvider::compatible, nullptr},
    {"fragment", "https://api.example.com/v1#top", ModelProvider::compatible, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Cases, Endpoint, ::testing::ValuesIn(endpointCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EndpointMessages, SayWhatToFix)
{
    useEnglish();
    ModelConfiguration c(QStringLiteral("https://api.example.com"), QStringLiteral("  "), false,
                         ModelProvider::compatible);
    EXPECT_EQ(thrownBy([&] { c.endpoint(); })->errorDescription(), QStringLiteral("Enter a model name."));
    c.model = QStringLiteral("m");
    c.baseURL = QStringLiteral("http://api.example.com");
    EXPECT_EQ(
        thrownBy([&] { c.endpoint(); })->errorDescription(),
        QStringLiteral("Enter an API address that starts with https:// (http:// only for this computer)."));
    c.baseURL = QStringLiteral("https://api.example.com/v1?x=1");
    EXPECT_EQ(thrownBy([&] { c.endpoint(); })->errorDescription(),
              QStringLiteral("Remove the user name, password, query or fragment from the API address."));
}

TEST(ModelConfigurationDefaults, MatchTheDocumentedValues)
{
    const ModelConfiguration c;
    EXPECT_TRUE(c.baseURL.isEmpty());
    EXPECT_TRUE(c.model.isEmpty());
    EXPECT_FALSE(c.supportsImages);
    EXPECT_EQ(c.provider, ModelProvider::compatible);
    EXPECT_EQ(c.thinking, ThinkingMode::serviceDefault);
    EXPECT_EQ(c.reasoningEffort, ReasoningEffort::serviceDefault);
    EXPECT_FALSE(c.maxOutputTokens || c.contextTokens || c.historyTurns || c.seed || c.thinkingBudget);
    EXPECT_FALSE(c.temperature || c.topP || c.presencePenalty || c.frequencyPenalty);
    EXPECT_EQ(c.timeoutSeconds, 180);
    EXPECT_EQ(ModelConfiguration(QStringLiteral("a"), QStringLiteral("b"), true, ModelProvider::qwen)
                  .timeoutSeconds,
              180);
}

TEST(ModelConfigurationJson, RoundTripsEveryFieldAndLeavesUnsetOptionalsOut)
{
    ModelConfiguration full = base();
    full.supportsImages = true;
    full.provider = ModelProvider::openRouter;
    full.thinking = ThinkingMode::enabled;
    full.reasoningEffort = ReasoningEffort::xhigh;
    full.thinkingBudget = 100;
    full.maxOutputTokens = 2000;
    full.contextTokens = 8000;
    full.historyTurns = 3;
    full.seed = 9'007'199'254'740'993; // above 2^53: must survive exactly
    full.temperature = 0.7;
    full.topP = 0.9;
    full.presencePenalty = -1.5;
    full.frequencyPenalty = 1.25;
    full.stopSequences = QStringLiteral("END\nSTOP");
    full.systemPrompt = QStringLiteral("Be brief.");
    full.timeoutSeconds = 600;

    const QByteArray text = QJsonDocument(full.toJson()).toJson();
    EXPECT_EQ(ModelConfiguration::fromJson(QJsonDocument::fromJson(text).object()), full);

    const QJsonObject sparse = base().toJson();
    for (const char* key : {"thinkingBudget", "maxOutputTokens", "contextTokens", "historyTurns", "seed",
                            "temperature", "topP", "presencePenalty", "frequencyPenalty"})
        EXPECT_FALSE(sparse.contains(QLatin1String(key))) << key;
    EXPECT_EQ(sparse.value(QLatin1String("provider")).toString(), QStringLiteral("compatible"));
    EXPECT_EQ(sparse.value(QLatin1String("thinking")).toString(), QStringLiteral("serviceDefault"));
}

TEST(ModelConfigurationJson, LoadFallsBackToTheDefaultForBadData)
{
    FakeDefaults defaults;
    EXPECT_EQ(ModelConfiguration::load(defaults), ModelConfiguration());
    for (const QJsonValue& bad :
         {QJsonValue(QStringLiteral("x")), QJsonValue(QJsonObject{{"provider", "gemini"}}),
          QJsonValue(QJsonObject{{"model", 3}}), QJsonValue(QJsonObject{{"maxOutputTokens", 1.5}})}) {
        defaults.setValue(ModelConfiguration::storageKey, bad);
        EXPECT_EQ(ModelConfiguration::load(defaults), ModelConfiguration());
    }
    defaults.setValue(ModelConfiguration::storageKey, base().toJson());
    EXPECT_EQ(ModelConfiguration::load(defaults), base());
}

TEST(ModelEnums, KeepTheirOrderRawValuesAndTitles)
{
    useEnglish();
    QStringList providers;
    for (ModelProvider p : ModelProviders::allCases())
        providers << ModelProviders::rawValue(p);
    EXPECT_EQ(providers.join(','), QStringLiteral("compatible,openAI,deepSeek,qwen,openRouter,ollama"));
    QStringList budget;
    for (ModelProvider p : ModelProviders::allCases()) {
        if (ModelProviders::supportsThinkingBudget(p))
            budget << ModelProviders::rawValue(p);
    }
    EXPECT_EQ(budget.join(','), QStringLiteral("qwen,openRouter"));
    QStringList efforts;
    QStringList titles;
    for (ReasoningEffort e : ReasoningEfforts::allCases()) {
        efforts << ReasoningEfforts::rawValue(e);
        titles << ReasoningEfforts::title(e);
        EXPECT_EQ(ReasoningEfforts::fromRawValue(ReasoningEfforts::rawValue(e)), e);
    }
    EXPECT_EQ(efforts.join(','), QStringLiteral("serviceDefault,minimal,low,medium,high,xhigh,max"));
    EXPECT_EQ(titles.join(','), QStringLiteral("Service default,Minimal,Low,Medium,High,Extra high,Maximum"));
    EXPECT_EQ(ThinkingModes::fromRawValue(QStringLiteral("disabled")), ThinkingMode::disabled);
    EXPECT_FALSE(ThinkingModes::fromRawValue(QStringLiteral("Disabled")));
}

} // namespace
