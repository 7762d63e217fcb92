#include "tests/support/TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace testsupport {

namespace {

constexpr int kReadTimeoutMs = 5000;
constexpr qsizetype kMaxHeaderBytes = 1 << 20;
constexpr qsizetype kMaxBodyBytes = 256LL << 20;

QByteArray reasonFor(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 204:
            return "No Content";
        case 302:
            return "Found";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

// Reads more bytes into `buffer`; false when the peer closed, failed or went quiet.
bool readMore(int fd, QByteArray& buffer) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, kReadTimeoutMs) <= 0) return false;
    char chunk[65536];
    const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
    if (got <= 0) return false;
    buffer.append(chunk, static_cast<qsizetype>(got));
    return true;
}

void sendAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL);
        if (sent <= 0) return;
        data += sent;
        size -= sent;
    }
}

void sleepMs(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Keeps the connection open for up to `ms`, but no longer than the peer does.
void holdOpen(int fd, int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0) continue;
        char byte;
        if (::recv(fd, &byte, 1, MSG_PEEK) <= 0) return;  // the peer closed
        sleepMs(10);
    }
}

void parseHead(const QByteArray& head, RecordedRequest& request) {
    const QList<QByteArray> lines = head.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r')) line.chop(1);
        if (i == 0) {
            request.requestLine = line;
            const qsizetype a = line.indexOf(' ');
            const qsizetype b = line.lastIndexOf(' ');
            request.method = line.left(a);
            request.target = a >= 0 && b > a ? line.mid(a + 1, b - a - 1) : QByteArray();
            request.version = b > a ? line.mid(b + 1) : QByteArray();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) continue;
        request.headers.emplace_back(line.left(colon), line.mid(colon + 1).trimmed());
    }
}

// Reads a chunked body from `buffer` (refilled from `fd`); nothing on a broken stream.
std::optional<QByteArray> readChunked(int fd, QByteArray& buffer, qsizetype from) {
    QByteArray body;
    qsizetype pos = from;
    for (;;) {
        qsizetype eol;
        while ((eol = buffer.indexOf("\r\n", pos)) < 0) {
            if (!readMore(fd, buffer)) return std::nullopt;
        }
        bool ok = false;
        const qsizetype size =
            buffer.mid(pos, eol - pos).split(';').first().trimmed().toLongLong(&ok, 16);
        if (!ok || size < 0 || body.size() + size > kMaxBodyBytes) return std::nullopt;
        pos = eol + 2;
        while (buffer.size() < pos + size + 2) {
            if (!readMore(fd, buffer)) return std::nullopt;
        }
        if (size == 0) return body;  // trailers are not used by the clients under test
        body += buffer.mid(pos, size);
        pos += size + 2;
    }
}

}  // namespace

QByteArray RecordedRequest::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
    }
    return {};
}

bool RecordedRequest::hasHeader(const QByteArray& name) const {
    for (const auto& entry : headers) {
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

ScriptedReply ScriptedReply::http(int status, const QByteArray& body,
                                  const QByteArray& contentType) {
    ScriptedReply reply;
    reply.bytes = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonFor(status) +
                  "\r\nContent-Type: " + contentType +
                  "\r\nContent-Length: " + QByteArray::number(body.size()) +
                  "\r\nConnection: close\r\n\r\n" + body;
    return reply;
}

ScriptedReply ScriptedReply::broken(const QByteArray& body, qsizetype promised) {
    ScriptedReply reply;
    reply.bytes = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                  QByteArray::number(promised) + "\r\nConnection: close\r\n\r\n" + body;
    return reply;
}

ScriptedReply ScriptedReply::raw(const QByteArray& bytes) {
    ScriptedReply reply;
    reply.bytes = bytes;
    return reply;
}

TestHttpServer::TestHttpServer() : default_(ScriptedReply::http(404, QByteArray())) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("TestHttpServer: cannot listen on 127.0.0.1");
        std::abort();
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

TestHttpServer::~TestHttpServer() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

QByteArray TestHttpServer::baseUrl() const {
    return "http://127.0.0.1:" + QByteArray::number(port_) + "/";
}

void TestHttpServer::enqueue(const ScriptedReply& reply) {
    std::lock_guard lock(mutex_);
    queue_.push_back(reply);
}

void TestHttpServer::setHandler(Handler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

void TestHttpServer::setDefaultReply(const ScriptedReply& reply) {
    std::lock_guard lock(mutex_);
    default_ = reply;
}

std::vector<RecordedRequest> TestHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

size_t TestHttpServer::requestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

bool TestHttpServer::waitForRequests(size_t count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return recorded_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return requests_.size() >= count; });
}

void TestHttpServer::run() {
    while (!stopping_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0) continue;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) continue;
        ++connections_;
        serve(client);
        ::close(client);
    }
}

ScriptedReply TestHttpServer::replyFor(const RecordedRequest& request) {
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        if (!queue_.empty()) {
            ScriptedReply reply = queue_.front();
            queue_.pop_front();
            return reply;
        }
        handler = handler_;
        if (!handler) return default_;
    }
    return handler(request);
}

void TestHttpServer::serve(int client) {
    QByteArray buffer;
    qsizetype headEnd;
    while ((headEnd = buffer.indexOf("\r\n\r\n")) < 0) {
        if (buffer.size() > kMaxHeaderBytes || !readMore(client, buffer)) return;
    }
    RecordedRequest request;
    parseHead(buffer.left(headEnd), request);
    const qsizetype bodyStart = headEnd + 4;
    if (request.header("Transfer-Encoding").toLower().contains("chunked")) {
        const auto body = readChunked(client, buffer, bodyStart);
        if (!body) return;
        request.body = *body;
    } else {
        const qsizetype length = request.header("Content-Length").toLongLong();
        if (length < 0 || length > kMaxBodyBytes) return;
        while (buffer.size() < bodyStart + length) {
            if (!readMore(client, buffer)) return;
        }
        request.body = buffer.mid(bodyStart, length);
    }
    request.raw = buffer;
    const ScriptedReply reply = replyFor(request);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    recorded_.notify_all();

    sleepMs(reply.delayMs);
    qsizetype total = reply.bytes.size();
    if (reply.cutAfter >= 0 && reply.cutAfter < total) total = reply.cutAfter;
    const qsizetype step = reply.chunkBytes > 0 ? reply.chunkBytes : total;
    for (qsizetype sent = 0; sent < total && !stopping_; sent += step) {
        if (sent > 0) sleepMs(reply.chunkPauseMs);
        sendAll(client, reply.bytes.constData() + sent, std::min(step, total - sent));
    }
    holdOpen(client, reply.holdOpenMs);
    ::shutdown(client, SHUT_WR);
    // Let the client read everything before the socket goes away.
    QByteArray rest;
    while (readMore(client, rest) && rest.size() < kMaxHeaderBytes) {
    }
}

}  // namespace testsupport
