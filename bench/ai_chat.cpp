#include "AI/ChatAnswerParser.h"
#include "AI/ChatRequest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

// The local work around one question: building the request body (20 text materials of
// 10 KB and 2 images of 2 MB, Base64-coded into data URLs) and reading a 1 MB answer.
// Both should stay far below the network's own time.
namespace {

constexpr int textMaterials = 20;
constexpr int textBytes = 10 * 1024;
constexpr int imageBytes = 2 * 1024 * 1024;
constexpr int answerBytes = 1024 * 1024;

QByteArray fakePng(int size)
{
    QByteArray data("\x89PNG\r\n\x1a\n");
    data.resize(size);
    QRandomGenerator generator(7);
    for (int i = 8; i < size; ++i)
        data[i] = char(generator.bounded(256));
    return data;
}

ChatRequest largeRequest()
{
    ChatRequest request;
    request.configuration = ModelConfiguration(QStringLiteral("https://api.example.com/v1"),
                                               QStringLiteral("m"), true, ModelProvider::openAI);
    request.configuration.contextTokens = 128'000;
    request.question = QStringLiteral("Summarise these materials.");
    for (int i = 0; i < textMaterials; ++i) {
        ConversationMaterial m;
        m.title = QStringLiteral("Note %1").arg(i);
        m.source = QStringLiteral("Editor");
        m.text = QString(textBytes, QLatin1Char('a' + i % 26));
        request.materials.append(m);
    }
    for (int i = 0; i < 2; ++i) {
        ConversationMaterial m;
        m.title = QStringLiteral("Screenshot %1").arg(i);
        m.imageData = fakePng(imageBytes);
        request.materials.append(m);
    }
    return request;
}

void BuildRequestBody(benchmark::State& state)
{
    const ChatRequest request = largeRequest();
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray body = QJsonDocument(request.body()).toJson(QJsonDocument::Compact);
        bytes = body.size();
        benchmark::DoNotOptimize(body.constData());
    }
    state.counters["body_MB"] = double(bytes) / (1024 * 1024);
}
BENCHMARK(BuildRequestBody)->Unit(benchmark::kMillisecond);

void ParseLargeAnswer(benchmark::State& state)
{
    const QJsonObject message{{"role", "assistant"}, {"content", QString(answerBytes, QLatin1Char('x'))}};
    const QByteArray body =
        QJsonDocument(QJsonObject{{"choices", QJsonArray{QJsonObject{{"message", message}}}}}).toJson();
    for (auto _ : state)
        benchmark::DoNotOptimize(ChatAnswerParser::answer(200, body).size());
    state.SetBytesProcessed(state.iterations() * body.size());
}
BENCHMARK(ParseLargeAnswer)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
