#pragma once

#include "Platform/linux/HttpsCloudContainer.h"
#include "PublicConfiguration/PublicCloudSettings.h"
#include "PublicConfiguration/PublicConfigurationStore.h"
#include "UI/Settings/AboutView.h"
#include "Util/Localization.h"
#include "fakes/FakeBundle.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestCrypto.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

// The About page of a build whose record is served over loopback HTTPS, read through the
// store's own loader and the HTTPS container.
class AboutViewRecordFixture : public ::testing::Test {
public:
    // Reads the request and never answers.
    static LoopbackHttpServer::Response withholding()
    {
        LoopbackHttpServer::Response response;
        response.withholdAnswer = true;
        return response;
    }

protected:
    static inline const QString container = QStringLiteral("iCloud.app.vellora.Vellora");
    static constexpr int waitMs = 10'000;

    void SetUp() override
    {
        Localization::shared().setLanguage(AppLanguage::english);
        bundle.info = QJsonObject{{"VelloraPublicConfigContainerIdentifier", container}};
        Platform::setCloudContainerForTesting(&httpsContainer);
    }

    void TearDown() override
    {
        view.reset();
        store.reset();
        Platform::setCloudContainerForTesting(nullptr);
    }

    void makeView()
    {
        view.reset();
        store = std::make_unique<PublicConfigurationStore>(
            PublicCloudSettings::current(bundle, httpsContainer), dir.filePath(QStringLiteral("cache.json")),
            [this] { return now; });
        view = std::make_unique<AboutView>(*store);
        view->show();
    }

    void refresh(bool force)
    {
        store->refresh(force);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !store->isRefreshing(); }, waitMs));
        QCoreApplication::processEvents();
    }

    bool shows(const QString& text) const
    {
        for (const QLabel* label : view->findChildren<QLabel*>()) {
            if (label->isVisibleTo(view.get()) && label->text() == text)
                return true;
        }
        return false;
    }

    QTemporaryDir dir;
    TestCrypto::TlsIdentity tls = TestCrypto::makeLoopbackIdentity();
    LoopbackHttpServer server{tls.server};
    Platform::HttpsCloudContainer httpsContainer{server.url(QStringLiteral("/record.json")), container,
                                                 tls.client, 500};
    FakeBundle bundle;
    QDateTime now = QDateTime::currentDateTimeUtc();
    std::unique_ptr<PublicConfigurationStore> store;
    std::unique_ptr<AboutView> view;
};
