#include "local_servers.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QRegularExpression>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tambolin::testing {

namespace {

// Every test needs only a handful; a runaway client cannot keep us busy.
constexpr int maxRequests = 100;
constexpr int ioTimeoutMs = 5000;

int bindLoopback(int *port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) != 0) {
        ::close(fd);
        return -1;
    }
    *port = ntohs(addr.sin_port);
    return fd;
}

bool sendAll(int fd, const std::string &data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

const char *reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 301:
    case 302:
        return "Found";
    default:
        return "Error";
    }
}

// Reads the server's output until it names its port (0 when it never does).
int awaitPort(QProcess &process, const QRegularExpression &started, QString &log) {
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && process.state() == QProcess::Running) {
        process.waitForReadyRead(200);
        log += QString::fromLocal8Bit(process.readAll());
        const auto match = started.match(log);
        if (match.hasMatch())
            return match.captured(1).toInt();
    }
    return 0;
}

void stopServer(QProcess &process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

LocalHttpServer::LocalHttpServer() {
    m_listenFd = bindLoopback(&m_port);
    if (m_listenFd < 0 || ::listen(m_listenFd, 8) != 0 || ::pipe2(m_stopPipe, O_CLOEXEC) != 0) {
        if (m_listenFd >= 0)
            ::close(m_listenFd);
        m_listenFd = -1;
        return;
    }
    m_thread = std::thread([this] { serve(); });
}

LocalHttpServer::~LocalHttpServer() {
    if (m_thread.joinable()) {
        const char stop = 1;
        (void)!::write(m_stopPipe[1], &stop, 1);
        m_thread.join();
    }
    for (int fd : {m_listenFd, m_stopPipe[0], m_stopPipe[1]})
        if (fd >= 0)
            ::close(fd);
}

void LocalHttpServer::route(const std::string &path, HttpReply reply) {
    std::lock_guard lock(m_mutex);
    m_routes[path] = std::move(reply);
}

void LocalHttpServer::serve() {
    while (m_requests.load() < maxRequests) {
        pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN))
            return;
        const int client = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        ++m_requests;
        answer(client);
        ::close(client);
    }
}

void LocalHttpServer::answer(int client) {
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd pfd{client, POLLIN, 0};
        if (::poll(&pfd, 1, ioTimeoutMs) <= 0)
            return;
        const ssize_t n = ::recv(client, buf, sizeof buf, 0);
        if (n <= 0)
            return;
        request.append(buf, static_cast<std::size_t>(n));
    }
    // "GET /path HTTP/1.1"
    const auto sp1 = request.find(' ');
    const auto sp2 = request.find(' ', sp1 + 1);
    const std::string path = request.substr(sp1 + 1, sp2 - sp1 - 1);

    HttpReply reply;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_routes.find(path);
        if (it != m_routes.end())
            reply = it->second;
        else
            reply = HttpReply{404, "not here\n", true, false};
    }
    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + reason(reply.status) +
                       "\r\nConnection: close\r\nContent-Type: application/octet-stream\r\n";
    if (reply.sendLength)
        head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    if (!reply.location.empty())
        head += "Location: " + reply.location + "\r\n";
    head += "\r\n";
    if (reply.stall) {
        if (!sendAll(client, head + reply.body.substr(0, reply.body.size() / 2)))
            return;
        // Silence until the client gives up or the server stops.
        pollfd fds[2] = {{client, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        ::poll(fds, 2, 60000);
        return;
    }
    if (reply.trickleMs > 0) {
        if (!sendAll(client, head))
            return;
        for (const char byte : reply.body) {
            pollfd fds[1] = {{m_stopPipe[0], POLLIN, 0}};
            if (::poll(fds, 1, reply.trickleMs) != 0 || !sendAll(client, std::string(1, byte)))
                return; // stopping, or the client gave up
        }
        return;
    }
    sendAll(client, head + reply.body);
}

namespace {

// Serves one folder over TLS with the given key and certificate; prints the
// port it took.
constexpr const char *httpsServerScript = R"(
import functools, http.server, ssl, sys
certificate, key, folder = sys.argv[1:4]
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(certificate, key)
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=folder)
server = http.server.HTTPServer(("127.0.0.1", 0), handler)
server.socket = context.wrap_socket(server.socket, server_side=True)
print("listening on", server.server_address[1], flush=True)
server.serve_forever()
)";

} // namespace

LocalHttpsServer::LocalHttpsServer(const QString &folder) {
    const QString key = folder + QStringLiteral("/../https-key.pem");
    m_certificate = QDir::cleanPath(folder + QStringLiteral("/../https-cert.pem"));
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
                   QDir::cleanPath(key), QStringLiteral("-out"), m_certificate});
    if (!openssl.waitForFinished(20000) || openssl.exitCode() != 0) {
        m_log = QStringLiteral("openssl: ") + QString::fromLocal8Bit(openssl.readAll());
        return;
    }
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral("-u"), QStringLiteral("-c"),
                     QString::fromLatin1(httpsServerScript), m_certificate, QDir::cleanPath(key),
                     folder});
    if (!m_process.waitForStarted(5000))
        return;
    static const QRegularExpression started(QStringLiteral("listening on (\\d+)"));
    m_port = awaitPort(m_process, started, m_log);
}

LocalHttpsServer::~LocalHttpsServer() {
    stopServer(m_process);
}

LocalFtpServer::LocalFtpServer(const QString &folder) {
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("pyftpdlib"),
                     QStringLiteral("-i"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                     QStringLiteral("0"), QStringLiteral("-d"), folder});
    if (!m_process.waitForStarted(5000))
        return;
    static const QRegularExpression started(
        QStringLiteral("starting FTP server on [0-9.]+:(\\d+)"));
    m_port = awaitPort(m_process, started, m_log);
}

LocalFtpServer::~LocalFtpServer() {
    stopServer(m_process);
}

ClosedPort::ClosedPort() {
    m_fd = bindLoopback(&m_port);
}

ClosedPort::~ClosedPort() {
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace tambolin::testing
