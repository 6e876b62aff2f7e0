#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <chrono>

class QLocalServer;

namespace Platform {

// One running Vellora per user. The first run holds an advisory lock on "<name>.lock" in the
// user's runtime folder ($XDG_RUNTIME_DIR) and listens on the local socket "<name>.socket"
// beside it; a later run hands its request (one short line) to the first over that socket
// and ends. The kernel drops the lock with its process, so the lock file of a run that
// crashed is simply taken over, together with its stale socket.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    // How long a later run keeps trying to reach the running one, which may still be
    // starting (locked, not yet listening) or quitting (about to drop the lock).
    static constexpr std::chrono::milliseconds handOverTimeout{5000};
    static constexpr qsizetype maximumRequestLength = 64;

    enum class Outcome {
        // This run holds the lock and listens, requests arriving through requested(); or no
        // lock can be had in the runtime folder at all, and this run goes on alone.
        running,
        // The running instance took the request; this run should end.
        handedOver,
        // Another run holds the lock but did not take the request in time.
        unreachable,
    };

    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    Outcome claim(const QByteArray& request);

    QString lockPath() const;
    QString socketPath() const;

signals:
    // A later run's request, on the running instance.
    void requested(const QByteArray& request);

private:
    enum class Lock { taken, heldElsewhere, unavailable };

    Lock tryLock();
    void listen();
    bool handOver(const QByteArray& request, std::chrono::milliseconds timeout) const;
    void serveConnection();

    QString folder_;
    QString name_;
    int lockDescriptor_ = -1;
    QLocalServer* server_ = nullptr;
};

} // namespace Platform
