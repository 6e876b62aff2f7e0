#include "Platform/SingleInstance.h"

#include "Platform/FileSystem.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Platform {

namespace {

const QByteArray acknowledgement = QByteArrayLiteral("ok\n");
constexpr std::chrono::milliseconds connectAttemptTimeout{250};
constexpr std::chrono::milliseconds retryPause{50};

} // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent)
    , folder_(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
    , name_(std::move(name))
{}

SingleInstance::~SingleInstance()
{
    if (server_)
        server_->close();
    if (lockDescriptor_ >= 0)
        ::close(lockDescriptor_);
}

QString SingleInstance::lockPath() const
{
    return folder_ + QLatin1Char('/') + name_ + QStringLiteral(".lock");
}

QString SingleInstance::socketPath() const
{
    return folder_ + QLatin1Char('/') + name_ + QStringLiteral(".socket");
}

SingleInstance::Outcome SingleInstance::claim(const QByteArray& request)
{
    const QDeadlineTimer deadline(handOverTimeout);
    while (true) {
        const Lock lock = tryLock();
        if (lock != Lock::heldElsewhere) {
            // Without a lock or a socket, running beats refusing to start.
            if (lock == Lock::taken)
                listen();
            return Outcome::running;
        }
        const auto remaining = std::chrono::milliseconds(deadline.remainingTime());
        if (handOver(request, std::min(remaining, connectAttemptTimeout)))
            return Outcome::handedOver;
        if (deadline.hasExpired())
            return Outcome::unreachable;
        QThread::msleep(static_cast<unsigned long>(retryPause.count()));
    }
}

SingleInstance::Lock SingleInstance::tryLock()
{
    if (makePrivateFolder(folder_))
        return Lock::unavailable;
    const int descriptor =
        ::open(QFile::encodeName(lockPath()).constData(), O_RDWR | O_CREAT | O_CLOEXEC, privateFileMode);
    if (descriptor < 0)
        return Lock::unavailable;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(descriptor);
        return held ? Lock::heldElsewhere : Lock::unavailable;
    }
    lockDescriptor_ = descriptor;
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
    if (::ftruncate(descriptor, 0) == 0) {
        const ssize_t written = ::pwrite(descriptor, pid.constData(), size_t(pid.size()), 0);
        static_cast<void>(written); // the process id is only a hint for people
    }
    return Lock::taken;
}

// Holding the lock, any socket file left there belongs to a run that has ended.
void SingleInstance::listen()
{
    QLocalServer::removeServer(socketPath());
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::serveConnection);
    server_->listen(socketPath());
}

bool SingleInstance::handOver(const QByteArray& request, std::chrono::milliseconds timeout) const
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    const QDeadlineTimer deadline(timeout);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(request + '\n');
    if (!socket.waitForBytesWritten(int(handOverTimeout.count())))
        return false;
    QByteArray reply;
    while (!reply.endsWith('\n') && socket.waitForReadyRead(int(handOverTimeout.count())))
        reply += socket.readAll();
    return reply == acknowledgement;
}

void SingleInstance::serveConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket = QPointer(socket)] {
            if (!socket)
                return;
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > maximumRequestLength)
                    socket->abort();
                return;
            }
            const QByteArray request = socket->readLine(maximumRequestLength + 1).trimmed();
            socket->write(acknowledgement);
            socket->flush();
            socket->disconnectFromServer();
            emit requested(request);
        });
    }
}

} // namespace Platform
