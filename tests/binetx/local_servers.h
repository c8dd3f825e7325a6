#pragma once
// Servers the download tests start on 127.0.0.1 and stop again: a small HTTP
// server on its own thread, and Python's FTP server in a child process.

#include <QProcess>
#include <QString>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace tambolin::testing {

struct HttpReply {
    HttpReply(int status_ = 200, std::string body_ = {}, bool sendLength_ = true,
              bool stall_ = false)
        : status(status_), body(std::move(body_)), sendLength(sendLength_), stall(stall_) {}

    int status = 200;
    std::string body;
    bool sendLength = true; // false: the body ends when the connection closes
    bool stall = false;     // send the head and half the body, then nothing more
    int trickleMs = 0;      // > 0: the body one byte at a time, this far apart
    std::string location;   // sent as the Location header (with a 3xx status)
};

class LocalHttpServer final {
public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer &) = delete;
    LocalHttpServer &operator=(const LocalHttpServer &) = delete;

    bool listening() const { return m_listenFd >= 0; }
    int port() const { return m_port; }
    // Replies for a path; unknown paths get 404.
    void route(const std::string &path, HttpReply reply);
    int requestCount() const { return m_requests.load(); }

private:
    void serve();
    void answer(int client);

    int m_listenFd = -1;
    int m_stopPipe[2] = {-1, -1};
    int m_port = 0;
    std::mutex m_mutex;
    std::map<std::string, HttpReply> m_routes;
    std::atomic<int> m_requests{0};
    std::thread m_thread;
};

// Python's web server behind TLS, serving folder, with a certificate for
// 127.0.0.1 made for it by openssl (key and certificate go in the folder's
// parent) and trusted by nobody else.
class LocalHttpsServer final {
public:
    explicit LocalHttpsServer(const QString &folder);
    ~LocalHttpsServer();
    LocalHttpsServer(const LocalHttpsServer &) = delete;
    LocalHttpsServer &operator=(const LocalHttpsServer &) = delete;

    int port() const { return m_port; }                   // 0 when it did not start
    QString certificate() const { return m_certificate; } // PEM file to trust
    QString log() const { return m_log; }

private:
    QProcess m_process;
    QString m_certificate;
    QString m_log;
    int m_port = 0;
};

// pyftpdlib serving folder read-only to anonymous users.
class LocalFtpServer final {
public:
    explicit LocalFtpServer(const QString &folder);
    ~LocalFtpServer();
    LocalFtpServer(const LocalFtpServer &) = delete;
    LocalFtpServer &operator=(const LocalFtpServer &) = delete;

    int port() const { return m_port; } // 0 when it did not start
    QString log() const { return m_log; }

private:
    QProcess m_process;
    QString m_log;
    int m_port = 0;
};

// A port on 127.0.0.1 that refuses connections: bound, never listening,
// and held until the object goes, so nothing else takes it meanwhile.
class ClosedPort final {
public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort &) = delete;
    ClosedPort &operator=(const ClosedPort &) = delete;
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace tambolin::testing
