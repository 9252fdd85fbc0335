#include "platform/display_check.h"

// Qt
#include <QRegularExpression>

// Std
#include <cstring>
#include <netdb.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vorlane {

namespace {

    // Whether a stream socket connects to the local socket at path; abstract
    // names (as X servers also listen on) begin with a zero byte.
    bool connectsLocal(const QByteArray &path)
    {
        sockaddr_un address {};
        if (path.size() >= qsizetype(sizeof(address.sun_path)))
            return false;
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return true;
        const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + path.size());
        const bool connected = ::connect(fd, reinterpret_cast<sockaddr *>(&address), length) == 0;
        ::close(fd);
        return connected;
    }

    bool connectsTcp(const QByteArray &host, int port)
    {
        addrinfo hints {};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo *found = nullptr;
        if (::getaddrinfo(host.constData(), QByteArray::number(port).constData(), &hints, &found)
            != 0)
            return false;
        bool connected = false;
        for (addrinfo *a = found; a && !connected; a = a->ai_next) {
            const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
            if (fd < 0)
                continue;
            connected = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0;
            ::close(fd);
        }
        ::freeaddrinfo(found);
        return connected;
    }

} // namespace

bool xDisplayReachable(const QString &display)
{
    static const QRegularExpression name(QStringLiteral("^([^:]*):(\\d+)(\\.\\d+)?$"));
    const QRegularExpressionMatch m = name.match(display);
    if (!m.hasMatch())
        return true;
    const QByteArray host = m.captured(1).toLocal8Bit();
    const int number = m.captured(2).toInt();
    if (host.isEmpty() || host == "unix") {
        const QByteArray path = "/tmp/.X11-unix/X" + QByteArray::number(number);
        return connectsLocal(path) || connectsLocal('\0' + path);
    }
    return connectsTcp(host, 6000 + number);
}

} // namespace vorlane
