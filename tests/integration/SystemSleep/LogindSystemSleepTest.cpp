#include "Platform/linux/LogindSystemSleep.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int deliveryWaitMs = 2000;

// Plays logind on the session bus of the test run: owns its name and sends its signal.
class FakeLogind {
public:
    FakeLogind()
        : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-logind")))
    {
        owned_ = bus_.isConnected() && bus_.registerService(QStringLiteral("org.freedesktop.login1"));
    }
    ~FakeLogind()
    {
        bus_.unregisterService(QStringLiteral("org.freedesktop.login1"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-logind"));
    }

    bool owned() const { return owned_; }

    void prepareForSleep(bool start)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                                         QStringLiteral("PrepareForSleep"));
        signal << start;
        bus_.send(signal);
    }

private:
    QDBusConnection bus_;
    bool owned_ = false;
};

TEST(LogindSystemSleep, ReportsWakingButNotGoingToSleep)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "the test runs inside dbus-run-session";
    FakeLogind logind;
    ASSERT_TRUE(logind.owned());

    Platform::LogindSystemSleep sleep(QDBusConnection::sessionBus());
    QSignalSpy woke(&sleep, &Platform::SystemSleep::didWake);

    logind.prepareForSleep(true);
    logind.prepareForSleep(false);
    ASSERT_TRUE(woke.wait(deliveryWaitMs));
    QTest::qWait(100); // a stray report of going to sleep would arrive by now
    EXPECT_EQ(woke.count(), 1);
}

TEST(LogindSystemSleep, IgnoresTheSameSignalFromAnotherSender)
{
    Platform::LogindSystemSleep sleep(QDBusConnection::sessionBus());
    QSignalSpy woke(&sleep, &Platform::SystemSleep::didWake);

    QDBusConnection impostor =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("impostor"));
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                     QStringLiteral("org.freedesktop.login1.Manager"),
                                                     QStringLiteral("PrepareForSleep"));
    signal << false;
    impostor.send(signal);
    QTest::qWait(300);
    EXPECT_EQ(woke.count(), 0);
    QDBusConnection::disconnectFromBus(QStringLiteral("impostor"));
}

TEST(LogindSystemSleep, WithoutABusNothingHappens)
{
    Platform::LogindSystemSleep sleep(QDBusConnection(QStringLiteral("not-connected")));
    QSignalSpy woke(&sleep, &Platform::SystemSleep::didWake);
    QTest::qWait(50);
    EXPECT_EQ(woke.count(), 0);
}

} // namespace
