#pragma once
// A scriptable HTTP server for tests, speaking raw TCP on 127.0.0.1 on a free port in
// its own thread. It records every request exactly as it arrived (request line, headers,
// body) and answers each one with scripted bytes: a normal answer, any status, bytes
// that are not HTTP at all, a body sent slowly or cut off. One request per connection;
// the connection is closed after each answer.
//
// Ownership: the server owns its thread and socket; the destructor stops and joins it.
// Thread: every public member may be called from the test's thread while the server runs.
#include <QByteArray>
#include <QList>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace testsupport {

struct RecordedRequest {
    QByteArray raw;          // everything received, as received
    QByteArray requestLine;  // e.g. "GET /act/x HTTP/1.1"
    QByteArray method;
    QByteArray target;  // the request target, exactly as sent
    QByteArray version;
    std::vector<std::pair<QByteArray, QByteArray>> headers;  // names as sent
    QByteArray body;                                         // de-chunked when chunked
    // The first header of that name (letter case ignored), or an empty array.
    QByteArray header(const QByteArray& name) const;
    bool hasHeader(const QByteArray& name) const;
};

// What the server sends back for one request.
struct ScriptedReply {
    QByteArray bytes;         // sent as they are
    int delayMs = 0;          // wait before the first byte
    int chunkBytes = 0;       // when > 0, send in pieces of this size ...
    int chunkPauseMs = 0;     // ... with this pause between them
    qsizetype cutAfter = -1;  // when >= 0, close the connection after this many bytes
    int holdOpenMs = 0;       // keep the connection open this long after the last byte

    // "HTTP/1.1 <status> <reason>" with Content-Length and Connection: close.
    static ScriptedReply http(int status, const QByteArray& body,
                              const QByteArray& contentType = "text/plain; charset=utf-8");
    // A 200 answer whose header promises `promised` bytes but whose body breaks off
    // after `body`.
    static ScriptedReply broken(const QByteArray& body, qsizetype promised);
    // Arbitrary bytes, HTTP or not.
    static ScriptedReply raw(const QByteArray& bytes);
};

class TestHttpServer {
public:
    using Handler = std::function<ScriptedReply(const RecordedRequest&)>;

    // Starts listening at once; aborts the test program if no port can be had.
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    quint16 port() const { return port_; }
    // "http://127.0.0.1:<port>/"
    QByteArray baseUrl() const;

    // Replies used in order, one per request; after them the handler (if set), then
    // the default reply (404 with an empty body unless set).
    void enqueue(const ScriptedReply& reply);
    void setHandler(Handler handler);
    void setDefaultReply(const ScriptedReply& reply);

    std::vector<RecordedRequest> requests() const;
    size_t requestCount() const;
    // Waits until at least `count` requests were recorded; false on timeout.
    bool waitForRequests(size_t count, int timeoutMs = 5000) const;
    // Connections accepted, including those that sent no complete request.
    size_t connectionCount() const { return connections_.load(); }

private:
    void run();
    void serve(int client);
    ScriptedReply replyFor(const RecordedRequest& request);

    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<size_t> connections_{0};
    mutable std::mutex mutex_;
    mutable std::condition_variable recorded_;
    std::deque<ScriptedReply> queue_;
    Handler handler_;
    ScriptedReply default_;
    std::vector<RecordedRequest> requests_;
    std::thread thread_;
};

}  // namespace testsupport
