#include "AI/ChatRequest.h"
#include "AITestSupport.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

QJsonObject json(const char* text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    return document.object();
}

// The body without the fields every request has.
QJsonObject generationFields(const ModelConfiguration& c)
{
    QJsonObject body = ChatRequest{c, {}, {}, {}, QStringLiteral("q")}.body();
    EXPECT_EQ(body.take(QLatin1String("model")).toString(), c.model);
    EXPECT_EQ(body.take(QLatin1String("stream")), QJsonValue(false));
    body.remove(QLatin1String("messages"));
    return body;
}

struct ProviderCase {
    const char* name;
    ModelProvider provider;
    ThinkingMode thinking;
    ReasoningEffort effort;
    std::optional<qint64> budget;
    std::optional<qint64> maxOutput;
    const char* expected;
};

class ProviderFields : public ::testing::TestWithParam<ProviderCase> {};

TEST_P(ProviderFields, MapEachSettingToTheServicesOwnField)
{
    ModelConfiguration c(QStringLiteral("https://x.example.com/v1"), QStringLiteral("m"), false,
                         GetParam().provider);
    c.thinking = GetParam().thinking;
    c.reasoningEffort = GetParam().effort;
    c.thinkingBudget = GetParam().budget;
    c.maxOutputTokens = GetParam().maxOutput;
    EXPECT_EQ(generationFields(c), json(GetParam().expected))
        << QJsonDocument(generationFields(c)).toJson(QJsonDocument::Compact).toStdString();
}

using P = ModelProvider;
using T = ThinkingMode;
using E = ReasoningEffort;

const ProviderCase providerCases[] = {
    {"allDefaultsSendNothing", P::openAI, T::serviceDefault, E::serviceDefault, {}, {}, "{}"},
    {"openAIEffort",
     P::openAI,
     T::serviceDefault,
     E::xhigh,
     {},
     100,
     R"({"reasoning_effort":"xhigh","max_completion_tokens":100})"},
    {"openAIEnabledSendsOnlyEffort", P::openAI, T::enabled, E::serviceDefault, {}, {}, "{}"},
    {"openAIDisabled", P::openAI, T::disabled, E::high, {}, {}, R"({"reasoning_effort":"none"})"},
    {"deepSeekEnabled",
     P::deepSeek,
     T::enabled,
     E::max,
     {},
     50,
     R"({"thinking":{"type":"enabled"},"reasoning_effort":"max","max_tokens":50})"},
    {"deepSeekDisabledDropsEffort",
     P::deepSeek,
     T::disabled,
     E::high,
     {},
     {},
     R"({"thinking":{"type":"disabled"}})"},
    {"deepSeekEffortOnly",
     P::deepSeek,
     T::serviceDefault,
     E::minimal,
     {},
     {},
     R"({"reasoning_effort":"minimal"})"},
    {"qwenEnabledWithBudget", P::qwen, T::enabled, E::serviceDefault, 2048, 4096,
     R"({"enable_thinking":true,"thinking_budget":2048,"max_completion_tokens":4096})"},
    {"qwenDisabled", P::qwen, T::disabled, E::serviceDefault, 2048, {}, R"({"enable_thinking":false})"},
    {"qwenNeverSendsEffort", P::qwen, T::serviceDefault, E::high, {}, {}, "{}"},
    {"openRouterEnabledBudget", P::openRouter, T::enabled, E::serviceDefault, 1000, 2000,
     R"({"reasoning":{"enabled":true,"max_tokens":1000},"max_tokens":2000})"},
    {"openRouterEffort",
     P::openRouter,
     T::serviceDefault,
     E::low,
     {},
     {},
     R"({"reasoning":{"effort":"low"}})"},
    {"openRouterDisabled", P::openRouter, T::disabled, E::low, {}, {}, R"({"reasoning":{"effort":"none"}})"},
    {"ollamaEffort",
     P::ollama,
     T::enabled,
     E::medium,
     {},
     10,
     R"({"reasoning_effort":"medium","max_tokens":10})"},
    {"ollamaDisabled", P::ollama, T::disabled, E::serviceDefault, {}, {}, R"({"reasoning_effort":"none"})"},
    {"compatibleEffort",
     P::compatible,
     T::enabled,
     E::max,
     {},
     7,
     R"({"reasoning_effort":"max","max_tokens":7})"},
    {"compatibleDisabledSendsNothing", P::compatible, T::disabled, E::max, {}, {}, "{}"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ProviderFields, ::testing::ValuesIn(providerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChatRequestBody, SendsSamplingValuesOnlyWhenSetAndKeepsLocalValuesLocal)
{
    ModelConfiguration c(QStringLiteral("https://x.example.com"), QStringLiteral(" m "), false, P::deepSeek);
    c.temperature = 0.5;
    c.topP = 1.0;
    c.presencePenalty = -0.5;
    c.frequencyPenalty = 0.25;
    c.seed = 42;
    c.stopSequences = QStringLiteral("END\n\nSTOP\r\n");
    c.contextTokens = 100'000;
    c.historyTurns = 4;
    c.model = QStringLiteral("m");
    EXPECT_EQ(generationFields(c),
              json(R"({"temperature":0.5,"top_p":1,"presence_penalty":-0.5,"frequency_penalty":0.25,"seed":42,
                       "stop":["END","STOP"]})"));
}

TEST(ChatRequestBody, OrdersSystemHistoryMaterialsAndQuestion)
{
    ModelConfiguration c(QStringLiteral("https://x.example.com"), QStringLiteral(" gpt "), false, P::openAI);
    c.systemPrompt = QStringLiteral("Be brief.");
    ConversationMaterial note;
    note.title = QStringLiteral("Note");
    note.source = QStringLiteral("Editor");
    note.text = QStringLiteral("hello");
    ConversationMaterial picture; // named but not sent: the model takes no images
    picture.title = QStringLiteral("Image");
    picture.imageData = QByteArray("\x89PNG\r\n\x1a\nrest");
    const ChatRequest request{c,
                              {},
                              {note, picture},
                              {ChatTurn{QUuid(), QStringLiteral("q1"), QStringLiteral("a1")}},
                              QStringLiteral("Why?")};
    EXPECT_EQ(request.body(), json(R"({"model":"gpt","stream":false,"messages":[
        {"role":"system","content":"Be brief."},
        {"role":"user","content":"q1"},{"role":"assistant","content":"a1"},
        {"role":"user","content":"[Material 1: Note (from Editor)]\nhello\n\n[Material 2: Image]\n(An image, not included: this model does not accept images.)\n\nWhy?"}]})"));
}

QByteArray bmpImage()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

TEST(ChatRequestBody, SendsImagesAsDataURLPartsWhenTheModelTakesThem)
{
    ModelConfiguration c(QStringLiteral("https://x.example.com"), QStringLiteral("m"), true, P::openRouter);
    ConversationMaterial png;
    png.title = QStringLiteral("Shot");
    png.imageData = QByteArray("\x89PNG\r\n\x1a\nabc");
    ConversationMaterial bmp;
    bmp.title = QStringLiteral("Old");
    bmp.imageData = bmpImage();
    const QJsonArray parts = ChatRequest{c, {}, {png, bmp}, {}, QStringLiteral("What is it?")}
                                 .body()
                                 .value(QLatin1String("messages"))
                                 .toArray()
                                 .last()
                                 .toObject()
                                 .value(QLatin1String("content"))
                                 .toArray();
    ASSERT_EQ(parts.size(), 5);
    EXPECT_EQ(parts[0].toObject(), json(R"({"type":"text","text":"[Material 1: Shot]"})"));
    EXPECT_EQ(parts[1].toObject(),
              json(R"({"type":"image_url","image_url":{"url":"data:image/png;base64,iVBORw0KGgphYmM="}})"));
    EXPECT_TRUE(parts[3].toObject()["image_url"].toObject()["url"].toString().startsWith(
        QStringLiteral("data:image/png;base64,iVBOR"))); // BMP re-encoded as PNG
    EXPECT_EQ(parts[4].toObject(), json(R"({"type":"text","text":"What is it?"})"));

    bmp.imageData = QByteArray("not an image");
    const std::optional<ModelError> error = thrownBy([&] {
        ChatRequest{c, {}, {bmp}, {}, QStringLiteral("q")}.body();
    });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), ModelError::Kind::unreadableImage);
}

QList<ChatTurn> turns(int count, int answerLength = 10)
{
    QList<ChatTurn> result;
    for (int i = 0; i < count; ++i)
        result.append(ChatTurn{QUuid::createUuid(), QStringLiteral("q%1").arg(i),
                               QString(answerLength, QLatin1Char('a'))});
    return result;
}

QStringList questions(const QList<ChatTurn>& list)
{
    QStringList result;
    for (const ChatTurn& t : list)
        result << t.question;
    return result;
}

TEST(ChatRequestHistory, KeepsTheLatestTurnsWithinTheTurnLimit)
{
    ModelConfiguration c(QStringLiteral("https://x.example.com"), QStringLiteral("m"), false, P::openAI);
    ChatRequest request{c, {}, {}, turns(5), QStringLiteral("q")};
    EXPECT_EQ(questions(request.historyToSend()).size(), 5);
    request.configuration.historyTurns = 2;
    EXPECT_EQ(questions(request.historyToSend()), QStringList({"q3", "q4"}));
    request.configuration.historyTurns = 0;
    EXPECT_TRUE(request.historyToSend().isEmpty());
    request.configuration.historyTurns = 1000;
    EXPECT_EQ(request.historyToSend().size(), 5);
}

TEST(ChatRequestHistory, DropsTheOldestTurnsFirstWhenOverTheContextBudget)
{
    ModelConfiguration c(QStringLiteral("https://x.example.com"), QStringLiteral("m"), false, P::openAI);
    // Each turn is about 250 + 8 tokens; the question 1 + 8.
    ChatRequest request{c, {}, {}, turns(4, 1000), QStringLiteral("q")};
    request.configuration.contextTokens = 2000;
    EXPECT_EQ(request.historyToSend().size(), 4);
    request.configuration.maxOutputTokens = 1000; // the answer's room counts against the budget
    EXPECT_EQ(questions(request.historyToSend()), QStringList({"q1", "q2", "q3"}));
    request.configuration.contextTokens = 256;
    EXPECT_TRUE(request.historyToSend().isEmpty());
}

TEST(ChatRequestHistory, EstimatesNonLatinTextAtOneTokenPerCharacter)
{
    EXPECT_EQ(ChatRequest::estimatedTokens(QString()), 0);
    EXPECT_EQ(ChatRequest::estimatedTokens(QStringLiteral("abcd")), 1);
    EXPECT_EQ(ChatRequest::estimatedTokens(QStringLiteral("abcde")), 2);
    EXPECT_EQ(ChatRequest::estimatedTokens(QString::fromUtf8("中文")), 2);
    EXPECT_EQ(ChatRequest::estimatedTokens(QString::fromUtf8("😀")), 1);
}

TEST(ChatRequestHeaders, CarryTheBearerKeyOnlyWhenThereIsOne)
{
    ModelConfiguration c(QStringLiteral("https://x.example.com/v1"), QStringLiteral("m"), false, P::openAI);
    c.timeoutSeconds = 120;
    const ChatRequest keyed{c, QStringLiteral(" sk-1 \n"), {}, {}, {}};
    const QNetworkRequest withKey = keyed.networkRequest();
    EXPECT_EQ(withKey.rawHeader("Authorization"), QByteArray("Bearer sk-1"));
    EXPECT_EQ(withKey.url(), QUrl(QStringLiteral("https://x.example.com/v1/chat/completions")));
    EXPECT_EQ(withKey.transferTimeout(), 120'000);
    EXPECT_EQ(withKey.attribute(QNetworkRequest::RedirectPolicyAttribute).toInt(),
              int(QNetworkRequest::ManualRedirectPolicy));
    const ChatRequest blankKey{c, QStringLiteral(" \t\n"), {}, {}, {}};
    EXPECT_FALSE(blankKey.networkRequest().hasRawHeader("Authorization"));
}

} // namespace
