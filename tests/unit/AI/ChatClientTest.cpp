#include "AI/AIChatClient.h"
#include "AI/ModelNetworkAccessManager.h"
#include "AITestSupport.h"
#include "support/LoopbackHttpServer.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>
#include <thread>

namespace {

using Kind = ModelError::Kind;
using Response = LoopbackHttpServer::Response;
using Status = ChatResult::Status;

const QByteArray okAnswer = R"({"choices":[{"message":{"role":"assistant","content":"OK"}}]})";

class ChatClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        useEnglish();
        ASSERT_TRUE(server.isListening());
    }

    ModelConfiguration configuration(ModelProvider provider = ModelProvider::compatible) const
    {
        return ModelConfiguration(server.url(QStringLiteral("/v1")).toString(), QStringLiteral("test-model"),
                                  false, provider);
    }

    // Runs the reply to its end and returns its result. An event loop of its own wakes up
    // for each event, as the application's does (QTest::qWaitFor sleeps between passes).
    ChatResult run(ChatReply* reply, int timeoutMs = 10'000)
    {
        std::optional<ChatResult> result;
        QEventLoop loop;
        QObject::connect(reply, &ChatReply::finished, &context, [&](const ChatResult& r) {
            result = r;
            loop.quit();
        });
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_TRUE(result.has_value());
        return result.value_or(ChatResult());
    }

    LoopbackHttpServer server;
    ModelNetworkAccessManager manager;
    AIChatClient client{&manager};
    QObject context;
};

TEST_F(ChatClientTest, PostsTheRequestAndReturnsTheAnswer)
{
    server.enqueue(Response::json(200, okAnswer));
    ModelConfiguration c = configuration(ModelProvider::deepSeek);
    c.systemPrompt = QStringLiteral("Be brief.");
    c.thinking = ThinkingMode::disabled;
    c.maxOutputTokens = 64;
    const ChatResult result = run(client.testConnection(c, QStringLiteral(" sk-test ")));
    EXPECT_EQ(result.status, Status::answered);
    EXPECT_EQ(result.answer, QStringLiteral("OK"));

    ASSERT_EQ(server.requests().size(), 1);
    const LoopbackHttpServer::Request& r = server.requests().first();
    EXPECT_EQ(r.method, QByteArray("POST"));
    EXPECT_EQ(r.path, QByteArray("/v1/chat/completions"));
    EXPECT_EQ(r.header("authorization"), QByteArray("Bearer sk-test"));
    EXPECT_EQ(r.header("content-type"), QByteArray("application/json"));
    EXPECT_FALSE(r.hasHeader("cookie"));
    EXPECT_EQ(QJsonDocument::fromJson(r.body).object(), QJsonDocument::fromJson(R"({
        "model":"test-model","stream":false,"thinking":{"type":"disabled"},"max_tokens":64,
        "messages":[{"role":"system","content":"Be brief."},{"role":"user","content":"Reply with OK."}]})")
                                                            .object());
}

TEST_F(ChatClientTest, SendsNoAuthorizationWithoutAKey)
{
    server.enqueue(Response::json(200, okAnswer));
    EXPECT_EQ(run(client.testConnection(configuration(), QStringLiteral(" \n"))).status, Status::answered);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_FALSE(server.requests().first().hasHeader("authorization"));
}

TEST_F(ChatClientTest, RefusesRedirectsWithoutFollowingThem)
{
    for (int status : {301, 302, 307, 308}) {
        LoopbackHttpServer elsewhere;
        server.enqueue(
            Response::redirect(status, elsewhere.url(QStringLiteral("/v1/chat/completions")).toEncoded()));
        const ChatResult result = run(client.testConnection(configuration(), QStringLiteral("sk-test")));
        ASSERT_EQ(result.status, Status::failed) << status;
        EXPECT_EQ(result.error->kind(), Kind::redirected);
        QTest::qWait(50);
        EXPECT_TRUE(elsewhere.requests().isEmpty()) << "the key went to the redirect target";
    }
}

struct StatusCase {
    int status;
    QByteArray body;
    const char* message;
};

TEST_F(ChatClientTest, MapsErrorAnswersToTheirMessages)
{
    const StatusCase cases[] = {
        {401, R"({"error":{"message":"bad key"}})",
         "The service refused the API key. Check the key and its access, then retry."},
        {429, R"({"error":{"message":"slow down"}})",
         "The service is receiving too many requests. Wait a moment, then retry."},
        {500, R"({"error":{"message":"boom"}})", "The service reported an error (500): boom"},
        {400, R"({"error":{"message":"This model's maximum context length is 8192 tokens"}})",
         "The question and materials are too long for this model. Remove materials or earlier turns, then "
         "retry."},
        {400, R"({"error":{"message":"Unknown parameter: seed"}})",
         "The service reported an error (400): Unknown parameter: seed"},
    };
    for (const StatusCase& c : cases) {
        server.enqueue(Response::json(c.status, c.body));
        const ChatResult result = run(client.testConnection(configuration(), {}));
        ASSERT_EQ(result.status, Status::failed) << c.status;
        EXPECT_EQ(result.error->errorDescription(), QString::fromUtf8(c.message));
    }
}

TEST_F(ChatClientTest, StopsReadingAHugeAnswer)
{
    Response huge = Response::json(200, QByteArray(ChatReply::maximumAnswerBytes + 1024, ' '));
    server.enqueue(huge);
    huge.sendContentLength = false; // no length announced: cut while reading
    huge.chunkSize = 1 << 20;
    server.enqueue(huge);
    huge.chunkedEncoding = true;
    server.enqueue(huge);
    for (int i = 0; i < 3; ++i) {
        const ChatResult result = run(client.testConnection(configuration(), {}));
        ASSERT_EQ(result.status, Status::failed);
        EXPECT_EQ(result.error->kind(), Kind::answerTooLarge);
    }
}

TEST_F(ChatClientTest, AbortsAFastChunkedFloodNearTheCap)
{
    // A server on a thread of its own writes a 50 MB chunked answer as fast as the
    // connection takes it; the transfer must end soon after the cap, not at the end.
    constexpr qint64 floodBytes = 50 * 1024 * 1024;
    constexpr qint64 chunkBytes = 1024 * 1024;
    constexpr int ioTimeoutMs = 5000;
    QTcpServer flood;
    ASSERT_TRUE(flood.listen(QHostAddress::LocalHost));
    flood.moveToThread(nullptr);
    std::atomic<qint64> sent = 0;
    std::thread serving([&] {
        flood.moveToThread(QThread::currentThread());
        if (!flood.waitForNewConnection(ioTimeoutMs))
            return;
        std::unique_ptr<QTcpSocket> socket(flood.nextPendingConnection());
        while (!socket->readAll().contains("\r\n\r\n") && socket->waitForReadyRead(ioTimeoutMs)) {
        }
        socket->write(
            "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n");
        const QByteArray chunk =
            QByteArray::number(chunkBytes, 16) + "\r\n" + QByteArray(chunkBytes, ' ') + "\r\n";
        for (qint64 i = 0; i < floodBytes / chunkBytes && socket->state() == QAbstractSocket::ConnectedState;
             ++i) {
            socket->write(chunk);
            while (socket->bytesToWrite() > 0 && socket->waitForBytesWritten(ioTimeoutMs)) {
            }
            if (socket->bytesToWrite() > 0)
                break;
            sent += chunkBytes;
        }
    });
    ModelConfiguration c = configuration();
    c.baseURL = QStringLiteral("http://127.0.0.1:%1/v1").arg(flood.serverPort());
    const ChatResult result = run(client.testConnection(c, {}));
    serving.join();
    ASSERT_EQ(result.status, Status::failed);
    EXPECT_EQ(result.error->kind(), Kind::answerTooLarge);
    // Socket buffers let some megabytes more through.
    EXPECT_LT(sent.load(), 3 * ChatReply::maximumAnswerBytes);
}

TEST_F(ChatClientTest, ReadsASlowDripAnswer)
{
    Response slow = Response::json(200, okAnswer);
    slow.chunkSize = 4;
    slow.chunkIntervalMs = 10;
    server.enqueue(slow);
    const ChatResult result = run(client.testConnection(configuration(), {}));
    EXPECT_EQ(result.status, Status::answered);
    EXPECT_EQ(result.answer, QStringLiteral("OK"));
}

TEST_F(ChatClientTest, TransportFailuresStayDistinctFromModelErrors)
{
    Response silent;
    silent.withholdAnswer = true;
    server.enqueue(silent);
    ModelConfiguration c = configuration();
    c.timeoutSeconds = 1; // below the editor's minimum, to keep the test short
    ChatResult result = run(client.testConnection(c, {}));
    EXPECT_EQ(result.status, Status::connectionFailed);
    EXPECT_FALSE(result.error);

    c.baseURL = QStringLiteral("http://127.0.0.1:1/v1"); // nothing listens there
    result = run(client.testConnection(c, {}));
    EXPECT_EQ(result.status, Status::connectionFailed);
}

TEST_F(ChatClientTest, TheTimeOutBoundsTheWholeRequestNotTheGapsBetweenBytes)
{
    // A byte every 0.3 s would take 20 s; the 1 s time-out ends it (run() waits up to 10 s).
    Response trickle = Response::json(200, okAnswer);
    trickle.chunkSize = 1;
    trickle.chunkIntervalMs = 300;
    trickle.chunkedEncoding = true;
    server.enqueue(trickle);
    ModelConfiguration c = configuration();
    c.timeoutSeconds = 1;
    const ChatResult result = run(client.testConnection(c, {}));
    EXPECT_EQ(result.status, Status::connectionFailed);
}

TEST_F(ChatClientTest, AnInvalidConfigurationFailsWithoutARequest)
{
    ModelConfiguration c = configuration();
    c.baseURL = QStringLiteral("http://remote.example.com/v1");
    ChatReply* reply = client.testConnection(c, {});
    EXPECT_FALSE(reply->isFinished()); // delivered later, like every other outcome
    const ChatResult result = run(reply);
    ASSERT_EQ(result.status, Status::failed);
    EXPECT_EQ(result.error->kind(), Kind::invalidConfiguration);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(ChatClientTest, CancelEndsTheRequestOnceAndDropsTheLateAnswer)
{
    Response late = Response::json(200, okAnswer);
    late.delayMs = 300;
    server.enqueue(late);
    ChatReply* reply = client.testConnection(configuration(), {});
    QSignalSpy finished(reply, &ChatReply::finished);
    ASSERT_TRUE(server.waitForRequests(1));
    reply->cancel();
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.first().first().value<ChatResult>().status, Status::cancelled);
    reply->cancel();
    QTest::qWait(500);
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(ChatClientTest, TheManagerKeepsNoCookies)
{
    Response withCookie = Response::json(200, okAnswer);
    withCookie.headers.append(qMakePair(QByteArray("Set-Cookie"), QByteArray("session=abc; Path=/")));
    server.enqueue(withCookie);
    server.enqueue(Response::json(200, okAnswer));
    run(client.testConnection(configuration(), {}));
    run(client.testConnection(configuration(), {}));
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_FALSE(server.requests().at(1).hasHeader("cookie"));
    EXPECT_EQ(manager.cache(), nullptr);
}

} // namespace
