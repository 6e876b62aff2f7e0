#include "Platform/linux/PortalDesktopAppearance.h"

#include "Platform/linux/DesktopThemeFiles.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace Platform {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString portalInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearanceNamespace = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");
const QString noReplyError = QStringLiteral("org.freedesktop.DBus.Error.NoReply");

// Start-up waits at most this long for the portal; a slower answer is applied when it comes.
constexpr int portalReadTimeoutMs = 250;
constexpr int lateReplyTimeoutMs = 10000;
constexpr qint64 settingsFileLimit = 1 << 20;

// The portal wraps the value in one or two variants, depending on its version.
QVariant unwrapped(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = qvariant_cast<QDBusVariant>(value).variant();
    return value;
}

std::optional<bool> answerFrom(const QVariant& wrapped)
{
    const QVariant value = unwrapped(wrapped);
    if (value.metaType() != QMetaType::fromType<uint>())
        return std::nullopt;
    return DesktopThemeFiles::colorSchemePrefersDark(value.toUInt());
}

QString readSmallFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(settingsFileLimit));
}

QDBusMessage colorSchemeRead()
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(portalService, portalPath, portalInterface, QStringLiteral("Read"));
    message << appearanceNamespace << colorSchemeKey;
    return message;
}

} // namespace

bool PortalDesktopAppearance::prefersDark()
{
    if (!started_)
        start();
    return portalAnswer_.value_or(settingsFilesPreferDark());
}

void PortalDesktopAppearance::start()
{
    started_ = true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(portalService, portalPath, portalInterface, QStringLiteral("SettingChanged"), this,
                SLOT(settingChanged(QString, QString, QDBusVariant)));
    const QDBusMessage reply = bus.call(colorSchemeRead(), QDBus::Block, portalReadTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) {
        portalAnswer_ = answerFrom(reply.arguments().value(0));
        return;
    }
    if (reply.errorName() != noReplyError)
        return;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(colorSchemeRead(), lateReplyTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &PortalDesktopAppearance::lateReply);
}

void PortalDesktopAppearance::lateReply(QDBusPendingCallWatcher* watcher)
{
    watcher->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *watcher;
    if (reply.isError())
        return;
    setPortalAnswer(answerFrom(QVariant::fromValue(reply.value())));
}

void PortalDesktopAppearance::settingChanged(const QString& nameSpace, const QString& key,
                                             const QDBusVariant& value)
{
    if (nameSpace != appearanceNamespace || key != colorSchemeKey)
        return;
    setPortalAnswer(answerFrom(value.variant()));
}

void PortalDesktopAppearance::setPortalAnswer(std::optional<bool> answer)
{
    const bool before = portalAnswer_.value_or(settingsFilesPreferDark());
    portalAnswer_ = answer;
    if (portalAnswer_.value_or(settingsFilesPreferDark()) != before)
        emit changed();
}

bool PortalDesktopAppearance::settingsFilesPreferDark()
{
    if (const auto env = DesktopThemeFiles::gtkThemePrefersDark(qEnvironmentVariable("GTK_THEME")))
        return *env;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    for (const char* gtk : {"gtk-3.0/settings.ini", "gtk-4.0/settings.ini"}) {
        const QString text = readSmallFile(QDir(config).filePath(QString::fromLatin1(gtk)));
        if (const auto gtkAnswer = DesktopThemeFiles::gtkSettingsPrefersDark(text))
            return *gtkAnswer;
    }
    const QString kde = readSmallFile(QDir(config).filePath(QStringLiteral("kdeglobals")));
    return DesktopThemeFiles::kdeGlobalsPrefersDark(kde).value_or(false);
}

} // namespace Platform
