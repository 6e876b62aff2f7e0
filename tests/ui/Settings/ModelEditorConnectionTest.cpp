#include "ModelEditorFixture.h"

#include "support/LoopbackHttpServer.h"

#include <QCloseEvent>
#include <QSignalSpy>

namespace {

constexpr int answerWaitMs = 10000;
const QByteArray okAnswer = R"({"choices":[{"message":{"role":"assistant","content":"OK"}}]})";

// The editor over a model whose address is a loopback server of the test.
class ModelEditorConnectionTest : public ModelEditorFixture {
protected:
    QString serverAddress() const { return server.url(QStringLiteral("/v1")).toString(); }
    QString serverAccount() const { return serverAddress() + QStringLiteral("/chat/completions"); }

    SavedModel serverModel() const { return model(serverAddress()); }

    // Runs the event loop until the test has ended.
    bool waitForTestEnd() const
    {
        return QTest::qWaitFor([this] { return !view || !view->isTesting(); }, answerWaitMs);
    }

    LoopbackHttpServer server;
};

TEST_F(ModelEditorConnectionTest, PassedTestStoresWhatWasTestedAndCloses)
{
    server.enqueue(LoopbackHttpServer::Response::json(200, okAnswer));
    const SavedModel saved = serverModel();
    open(saved, true);
    typeInto(QStringLiteral("key"), QStringLiteral(" sk-test "));
    auto* progress = child<QProgressBar>(QStringLiteral("progress"));
    EXPECT_FALSE(progress->isVisible());

    QTest::keyClick(child<QLineEdit>(QStringLiteral("modelName")), Qt::Key_Return);
    EXPECT_TRUE(view->isTesting());
    EXPECT_TRUE(progress->isVisible());
    EXPECT_FALSE(child<QLineEdit>(QStringLiteral("address"))->isEnabled());
    EXPECT_FALSE(validateAndSave()->isEnabled());
    EXPECT_FALSE(child<QToolButton>(QStringLiteral("more"))->isEnabled());
    EXPECT_TRUE(child<QPushButton>(QStringLiteral("cancel"))->isEnabled());
    ASSERT_TRUE(waitForTestEnd());

    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().path, "/v1/chat/completions");
    EXPECT_EQ(server.requests().first().header("authorization"), "Bearer sk-test");
    EXPECT_EQ(view->result(), QDialog::Accepted);
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(storedKey(serverAccount()), "sk-test");
    const auto stored = storedModel(saved.id);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->configuration, saved.configuration);
    EXPECT_EQ(view->credentials(), ModelCredentialDraft());
}

TEST_F(ModelEditorConnectionTest, FailedTestShowsTheMessageAndStoresNothing)
{
    const struct {
        const char* name;
        LoopbackHttpServer::Response response;
        QString message;
    } cases[] = {
        {"unauthorized", LoopbackHttpServer::Response::json(401, R"({"error":{"message":"bad key"}})"),
         "The service refused the API key. Check the key and its access, then retry."},
        {"bad body", LoopbackHttpServer::Response::json(200, "this is not JSON"),
         "The service's answer could not be read. Check the API address."},
        {"redirect", LoopbackHttpServer::Response::redirect(302, "https://elsewhere.example.com/v1"),
         "The API address redirects elsewhere. Enter the service's final address."},
    };
    for (const auto& c : cases) {
        server.enqueue(c.response);
        const SavedModel saved = serverModel();
        open(saved, true);
        typeInto(QStringLiteral("key"), QStringLiteral("sk-x"));
        validateAndSave()->click();
        ASSERT_TRUE(waitForTestEnd()) << c.name;
        EXPECT_EQ(shownStatus(), c.message) << c.name;
        EXPECT_TRUE(view->isVisible()) << c.name;
        EXPECT_TRUE(validateAndSave()->isEnabled()) << c.name;
        EXPECT_FALSE(child<QProgressBar>(QStringLiteral("progress"))->isVisible()) << c.name;
        EXPECT_EQ(view->credentials().typedKey, "sk-x") << c.name;
        EXPECT_FALSE(storedModel(saved.id).has_value()) << c.name;
        EXPECT_TRUE(keychain.items.isEmpty()) << c.name;
    }
}

TEST_F(ModelEditorConnectionTest, UnreachableServiceIsAConnectionFailure)
{
    const SavedModel saved = model(QStringLiteral("http://127.0.0.1:1/v1"));
    open(saved, true);
    validateAndSave()->click();
    ASSERT_TRUE(waitForTestEnd());
    EXPECT_EQ(shownStatus(), "Connection failed. Check the service address and network, then retry.");
    EXPECT_FALSE(storedModel(saved.id).has_value());
}

TEST_F(ModelEditorConnectionTest, InvalidSettingsOrUnreadableKeyFailBeforeAnythingIsSent)
{
    const struct {
        bool badTopP;
        bool keychainFails;
        QString message;
    } cases[] = {
        {true, false, "Top P must be between 0 and 1."},
        {false, true,
         "Could not reach the keyring that holds your API keys. Make sure it is running and unlocked, then "
         "retry."},
    };
    for (const auto& c : cases) {
        SavedModel saved = serverModel();
        if (c.badTopP)
            saved.configuration.topP = 1.5;
        keychain.failing = c.keychainFails;
        open(saved, true);
        validateAndSave()->click();
        EXPECT_FALSE(view->isTesting());
        EXPECT_EQ(shownStatus(), c.message);
        EXPECT_TRUE(view->isVisible());
    }
    QTest::qWait(50);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(ModelEditorConnectionTest, KeyOfTheRequestFollowsTheKeyRule)
{
    const struct {
        const char* name;
        bool removeFirst;
        QString typed;
        QByteArray authorization; // empty: no header
        std::optional<QString> storedAfter;
    } cases[] = {
        {"stored key", false, "", "Bearer stored", QStringLiteral("stored")},
        {"removal pending", true, "", "", std::nullopt},
        {"typed after removal", true, "fresh", "Bearer fresh", QStringLiteral("fresh")},
    };
    for (const auto& c : cases) {
        server.enqueue(LoopbackHttpServer::Response::json(200, okAnswer));
        const SavedModel saved = serverModel();
        settings->save(saved, QStringLiteral("stored"));
        const qsizetype before = server.requests().size();
        open(saved);
        if (c.removeFirst)
            trigger(QStringLiteral("removeKey"));
        typeInto(QStringLiteral("key"), c.typed);
        validateAndSave()->click();
        ASSERT_TRUE(waitForTestEnd()) << c.name;
        ASSERT_EQ(server.requests().size(), before + 1) << c.name;
        const auto& request = server.requests().last();
        EXPECT_EQ(request.hasHeader("authorization"), !c.authorization.isEmpty()) << c.name;
        EXPECT_EQ(request.header("authorization"), c.authorization) << c.name;
        const auto found = keychain.items.constFind({ModelKeychain::service(), serverAccount()});
        EXPECT_EQ(found == keychain.items.cend() ? std::nullopt : std::optional(*found), c.storedAfter)
            << c.name;
    }
}

TEST_F(ModelEditorConnectionTest, CancelOrEscapeStopsASlowTestAndStoresNothing)
{
    LoopbackHttpServer::Response slow = LoopbackHttpServer::Response::json(200, okAnswer);
    slow.delayMs = 300;
    server.setFallback(slow);
    for (const bool escape : {false, true}) {
        const SavedModel saved = serverModel();
        open(saved, true);
        validateAndSave()->click();
        ASSERT_TRUE(server.waitForRequests(int(server.requests().size()) + 1));
        ASSERT_TRUE(view->isTesting());

        // The window's close button is refused while testing.
        EXPECT_FALSE(view->close());
        EXPECT_TRUE(view->isVisible());

        if (escape)
            QTest::keyClick(view.get(), Qt::Key_Escape);
        else
            child<QPushButton>(QStringLiteral("cancel"))->click();
        EXPECT_FALSE(view->isVisible()) << escape;
        EXPECT_FALSE(view->isTesting()) << escape;
        EXPECT_EQ(view->result(), QDialog::Rejected) << escape;
        QTest::qWait(600); // past the delayed answer: it must change nothing
        EXPECT_FALSE(view->status().has_value()) << escape;
        EXPECT_FALSE(storedModel(saved.id).has_value()) << escape;
    }
}

TEST_F(ModelEditorConnectionTest, ClosingTheSheetCancelsTheTest)
{
    LoopbackHttpServer::Response slow = LoopbackHttpServer::Response::json(200, okAnswer);
    slow.delayMs = 300;
    server.setFallback(slow);
    for (const bool destroy : {false, true}) {
        const SavedModel saved = serverModel();
        open(saved, true);
        validateAndSave()->click();
        ASSERT_TRUE(view->isTesting());
        if (destroy)
            view.reset();
        else
            view->hide();
        if (view) {
            EXPECT_FALSE(view->isTesting());
            EXPECT_FALSE(view->status().has_value());
        }
        QTest::qWait(600);
        EXPECT_FALSE(storedModel(saved.id).has_value()) << destroy;
    }
}

TEST_F(ModelEditorConnectionTest, MinimizingTheWindowDoesNotStopTheTest)
{
    LoopbackHttpServer::Response slow = LoopbackHttpServer::Response::json(200, okAnswer);
    slow.delayMs = 300;
    server.setFallback(slow);
    const SavedModel saved = serverModel();
    open(saved, true);
    validateAndSave()->click();
    ASSERT_TRUE(view->isTesting());

    // The window system hides a minimized window: the sheet is still open.
    view->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(view->isTesting());
    ASSERT_TRUE(waitForTestEnd());
    EXPECT_EQ(view->result(), QDialog::Accepted);
    EXPECT_TRUE(storedModel(saved.id).has_value());
}

} // namespace
