#include "AI/ChatAnswerParser.h"
#include "AITestSupport.h"

namespace {

using Kind = ModelError::Kind;

struct AnswerCase {
    const char* name;
    int status;
    QByteArray body;
    const char* answer; // nullptr: an error
    std::optional<Kind> kind;
    const char* message = nullptr;
};

class ParseAnswer : public ::testing::TestWithParam<AnswerCase> {
protected:
    void SetUp() override { useEnglish(); }
};

TEST_P(ParseAnswer, GivesTheAnswerOrAClearError)
{
    const AnswerCase& c = GetParam();
    std::optional<QString> answer;
    const std::optional<ModelError> error =
        thrownBy([&] { answer = ChatAnswerParser::answer(c.status, c.body); });
    if (c.answer) {
        ASSERT_FALSE(error) << error->what();
        EXPECT_EQ(*answer, QString::fromUtf8(c.answer));
        return;
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), *c.kind) << error->what();
    if (c.message) {
        EXPECT_EQ(error->errorDescription(), QString::fromUtf8(c.message));
    }
}

const AnswerCase answerCases[] = {
    {"plain", 200, R"({"choices":[{"message":{"role":"assistant","content":"  OK \n"}}]})", "OK", {}},
    {"firstChoiceOnly",
     200,
     R"({"choices":[{"message":{"content":"one"}},{"message":{"content":"two"}}]})",
     "one",
     {}},
    {"reasoningIsNotTheAnswer",
     200,
     R"({"choices":[{"message":{"content":"Paris","reasoning_content":"Let me think","reasoning":"hmm"}}]})",
     "Paris",
     {}},
    {"inlineThinking",
     200,
     R"({"choices":[{"message":{"content":"<think>step 1</think>\n\nParis"}}]})",
     "Paris",
     {}},
    {"unclosedThinking", 200, R"({"choices":[{"message":{"content":"<think>step 1"}}]})", nullptr,
     Kind::emptyAnswer},
    {"contentParts",
     200,
     R"({"choices":[{"message":{"content":[{"type":"text","text":"Hel"},{"type":"image_url"},{"type":"text","text":"lo"}]}}]})",
     "Hello",
     {}},
    {"refusal",
     200,
     R"({"choices":[{"message":{"content":null,"refusal":"I can't help with that."}}]})",
     "I can't help with that.",
     {}},
    {"nullContent", 200, R"({"choices":[{"finish_reason":"length","message":{"content":null}}]})", nullptr,
     Kind::emptyAnswer, "The model returned an empty answer. Try again, or raise the output limit."},
    {"noChoices", 200, R"({"choices":[]})", nullptr, Kind::emptyAnswer},
    {"choicesMissing", 200, R"({"id":"x"})", nullptr, Kind::malformedAnswer,
     "The service's answer could not be read. Check the API address."},
    {"choiceNotObject", 200, R"({"choices":["x"]})", nullptr, Kind::malformedAnswer},
    {"contentNumber", 200, R"({"choices":[{"message":{"content":5}}]})", nullptr, Kind::malformedAnswer},
    {"notJson", 200, "<html><body>Welcome to nginx</body></html>", nullptr, Kind::malformedAnswer},
    {"emptyBody", 200, "", nullptr, Kind::malformedAnswer},
    {"jsonArray", 200, "[1,2]", nullptr, Kind::malformedAnswer},
    {"truncated", 200, R"({"choices":[{"message":{"content":"par)", nullptr, Kind::malformedAnswer},
    {"redirect", 302, "", nullptr, Kind::redirected,
     "The API address redirects elsewhere. Enter the service's final address."},
    {"unauthorized", 401,
     R"({"error":{"message":"Incorrect API key provided","type":"invalid_request_error"}})", nullptr,
     Kind::unauthorized, "The service refused the API key. Check the key and its access, then retry."},
    {"forbidden", 403, R"({"error":{"message":"Country not supported"}})", nullptr, Kind::unauthorized},
    {"rateLimited", 429, R"({"error":{"message":"Rate limit reached","type":"requests"}})", nullptr,
     Kind::rateLimited, "The service is receiving too many requests. Wait a moment, then retry."},
    {"quota429", 429, R"({"error":{"message":"You exceeded your quota","code":"insufficient_quota"}})",
     nullptr, Kind::quotaExceeded,
     "Your account with this service has no credit left. Check its billing, then retry."},
    {"quota402TopLevel", 402, R"({"message":"Insufficient Balance","type":"unknown_error"})", nullptr,
     Kind::quotaExceeded},
    {"contextCode", 400, R"({"error":{"message":"too long","code":"context_length_exceeded"}})", nullptr,
     Kind::contextTooLong,
     "The question and materials are too long for this model. Remove materials or earlier turns, then "
     "retry."},
    {"contextText", 400,
     R"({"error":{"message":"This model's maximum context length is 65536 tokens.","code":"invalid_request_error"}})",
     nullptr, Kind::contextTooLong},
    {"contextQwen", 400, R"({"error":{"message":"Range of input length should be [1, 30720]"}})", nullptr,
     Kind::contextTooLong},
    {"contextMetadata", 400,
     R"({"error":{"code":400,"message":"x","metadata":{"error_type":"context_length_exceeded"}}})", nullptr,
     Kind::contextTooLong},
    {"badRequest", 400, R"({"error":{"message":"Unsupported value: 'minimal'","code":"unsupported_value"}})",
     nullptr, Kind::serviceError, "The service reported an error (400): Unsupported value: 'minimal'"},
    {"serverError", 500, R"({"error":{"message":"The server had an error\nwhile processing"}})", nullptr,
     Kind::serviceError, "The service reported an error (500): The server had an error while processing"},
    {"htmlErrorPage", 502, "<html><h1>502 Bad Gateway</h1></html>", nullptr, Kind::serviceError,
     "The service reported an error (502). Try again later."},
    {"stringError", 404, R"({"error":"model 'llama9' not found"})", nullptr, Kind::serviceError,
     "The service reported an error (404): model 'llama9' not found"},
    {"errorInside200", 200, R"({"error":{"code":429,"message":"Provider busy"}})", nullptr,
     Kind::rateLimited},
    {"choiceError", 200,
     R"({"choices":[{"finish_reason":"error","error":{"code":502,"message":"upstream died"}}]})", nullptr,
     Kind::serviceError, "The service reported an error (502): upstream died"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ParseAnswer, ::testing::ValuesIn(answerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParseAnswerLimits, CutsALongServiceMessage)
{
    useEnglish();
    const QByteArray body = R"({"error":{"message":")" + QByteArray(5000, 'x') + R"("}})";
    const std::optional<ModelError> error = thrownBy([&] { ChatAnswerParser::answer(500, body); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorDescription(),
              QStringLiteral("The service reported an error (500): ") + QString(300, QLatin1Char('x')));
}

TEST(ParseAnswerLimits, SurvivesRandomBytes)
{
    const QByteArray body = R"({"choices":[{"message":{"content":"ok"}}]})";
    int outcomes = 0;
    for (int i = 0; i < 500; ++i) {
        QByteArray mutated = body;
        mutated[i % mutated.size()] = char((i * 37) & 0xff);
        mutated.truncate(body.size() - i % 7);
        try {
            EXPECT_FALSE(ChatAnswerParser::answer(200, mutated).isEmpty());
        } catch (const ModelError&) {
        }
        ++outcomes; // any other exception fails the test
    }
    EXPECT_EQ(outcomes, 500);
}

} // namespace
