#include "Platform/linux/DisplayConnections.h"

#include "Platform/linux/ProcessInfo.h"
#include "Platform/linux/XcbConnection.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <linux/unix_diag.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

constexpr int receiveBufferBytes = 32768;
constexpr int socketLinkBytes = 64; // "socket:[4026531840]" and more

struct UnixSocket {
    QByteArray name; // the bound address; an abstract one starts with '\0'
    quint32 peer = 0;
};

using SocketTable = QHash<quint32, UnixSocket>;

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd)
        : fd_(fd)
    {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

void readAttributes(const unix_diag_msg* message, int length, UnixSocket& socket)
{
    for (auto* attribute = reinterpret_cast<const rtattr*>(message + 1); RTA_OK(attribute, length);
         attribute = RTA_NEXT(attribute, length)) {
        if (attribute->rta_type == UNIX_DIAG_NAME)
            socket.name =
                QByteArray(static_cast<const char*>(RTA_DATA(attribute)), int(RTA_PAYLOAD(attribute)));
        else if (attribute->rta_type == UNIX_DIAG_PEER && RTA_PAYLOAD(attribute) >= sizeof(quint32))
            socket.peer = *static_cast<const quint32*>(RTA_DATA(attribute));
    }
}

// Every Unix socket of the system by inode, with its address and peer; none when the kernel
// offers no socket diagnostics.
std::optional<SocketTable> unixSockets()
{
    const Descriptor netlink(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_SOCK_DIAG));
    if (netlink.get() < 0)
        return std::nullopt;
    struct {
        nlmsghdr header;
        unix_diag_req request;
    } query{};
    query.header.nlmsg_len = sizeof(query);
    query.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    query.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    query.request.sdiag_family = AF_UNIX;
    query.request.udiag_states = ~0U;
    query.request.udiag_show = UDIAG_SHOW_NAME | UDIAG_SHOW_PEER;
    if (::send(netlink.get(), &query, sizeof(query), 0) != ssize_t(sizeof(query)))
        return std::nullopt;

    SocketTable sockets;
    alignas(nlmsghdr) char buffer[receiveBufferBytes];
    for (;;) {
        int received = int(::recv(netlink.get(), buffer, sizeof(buffer), 0));
        if (received <= 0)
            return std::nullopt;
        for (auto* header = reinterpret_cast<nlmsghdr*>(buffer); NLMSG_OK(header, received);
             header = NLMSG_NEXT(header, received)) {
            if (header->nlmsg_type == NLMSG_DONE)
                return sockets;
            if (header->nlmsg_type == NLMSG_ERROR)
                return std::nullopt;
            const auto* message = static_cast<const unix_diag_msg*>(NLMSG_DATA(header));
            UnixSocket socket;
            readAttributes(message, int(header->nlmsg_len - NLMSG_LENGTH(sizeof(*message))), socket);
            sockets.insert(message->udiag_ino, socket);
        }
    }
}

// The display's address without the mark of an abstract one, which clients may use instead.
QByteArray displayAddress(const QByteArray& name)
{
    return name.startsWith('\0') ? name.mid(1) : name;
}

// The client ends of all connections to the display that the connection goes to.
QSet<quint32> displayConnections(xcb_connection_t* connection, const SocketTable& sockets)
{
    struct stat own {};
    if (::fstat(xcb_get_file_descriptor(connection), &own) != 0)
        return {};
    const QByteArray display = displayAddress(sockets.value(sockets.value(quint32(own.st_ino)).peer).name);
    QSet<quint32> clients;
    if (display.isEmpty())
        return clients;
    for (const UnixSocket& socket : sockets) {
        if (socket.peer != 0 && displayAddress(socket.name) == display)
            clients.insert(socket.peer);
    }
    return clients;
}

// The inodes of the sockets the process holds; none when its descriptors can't be read.
std::optional<QSet<quint32>> socketsHeldBy(qint64 pid)
{
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(pid));
    if (!descriptors.isReadable())
        return std::nullopt;
    static constexpr QByteArrayView prefix = "socket:[";
    QSet<quint32> held;
    char target[socketLinkBytes];
    for (const QString& entry : descriptors.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        const ssize_t length =
            ::readlink(QFile::encodeName(descriptors.filePath(entry)).constData(), target, sizeof(target));
        const QByteArrayView link(target, length > 0 ? length : 0);
        if (link.startsWith(prefix) && link.endsWith(']'))
            held.insert(link.sliced(prefix.size(), link.size() - prefix.size() - 1).toUInt());
    }
    return held;
}

// The connection the ended client made: the only connection to the display that no running
// client holds, when the ended one is the display's only client whose process has ended.
std::optional<quint32> connectionOfEndedClient(xcb_connection_t* connection, qint64 endedPid)
{
    const std::optional<QList<qint64>> clients = Xcb::processesOfClients(connection);
    const std::optional<SocketTable> sockets = unixSockets();
    if (!clients || !sockets)
        return std::nullopt;
    QSet<quint32> unclaimed = displayConnections(connection, *sockets);
    QSet<qint64> ended;
    for (const qint64 pid : *clients) {
        if (!ProcessInfo::isRunning(pid)) {
            ended.insert(pid);
            continue;
        }
        const std::optional<QSet<quint32>> held = socketsHeldBy(pid);
        if (!held)
            return std::nullopt;
        unclaimed.subtract(*held);
    }
    if (ended != QSet<qint64>{endedPid} || unclaimed.size() != 1)
        return std::nullopt;
    return *unclaimed.constBegin();
}

} // namespace

std::optional<qint64> DisplayConnections::holderOfEndedClient(xcb_connection_t* connection, qint64 endedPid)
{
    if (!connection || endedPid <= 0)
        return std::nullopt;
    const std::optional<quint32> inherited = connectionOfEndedClient(connection, endedPid);
    if (!inherited)
        return std::nullopt;
    // /proc lists processes, not their threads.
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isNumber = false;
        const qint64 pid = entry.toLongLong(&isNumber);
        if (!isNumber || !ProcessInfo::isRunning(pid))
            continue;
        if (const std::optional<QSet<quint32>> held = socketsHeldBy(pid); held && held->contains(*inherited))
            return pid;
    }
    return std::nullopt;
}

} // namespace Platform
