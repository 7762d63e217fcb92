#pragma once
// HTTP/1.1 over libcurl: one new easy handle per call, no cookies, no redirects, no
// proxies, a connect timeout and a stall timeout so nothing hangs forever.
// Thread: calls share nothing and may run on any thread at the same time.
//
// Addresses are byte strings "http://host[:port]/target". The target goes into the
// request line exactly as given (no escaping, no normalisation of "\" or ".."), except
// that a blank is sent as "%20" because a request line cannot hold one; an address
// with a control character is refused before anything is sent.
#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

namespace platform {

struct HttpResult {
    bool transportOk = false;  // the exchange completed (any status)
    long status = 0;           // HTTP status, 0 when there was none
    QByteArray body;
    QString error;  // transport error text, empty when transportOk
    bool ok() const { return transportOk && status >= 200 && status < 300; }
};

// One part of a multipart/form-data body (RFC 7578).
struct MultipartPart {
    QByteArray name;         // bytes as they go on the wire
    QByteArray content;      // bytes as they go on the wire (unused when sourcePath is set)
    QByteArray filename;     // empty for a text part
    QByteArray contentType;  // empty for a text part
    bool isFile = false;
    // When not empty, the content is streamed from this file. Every such file is opened
    // before the request starts; one that cannot be read fails the call unsent.
    QString sourcePath;
};

// Time limits of every call. The stall limit ends a transfer that moved no byte for
// that long; there is no limit on a transfer that keeps moving.
struct HttpTimeouts {
    long connectMs = 5000;
    long stallMs = 60000;
};
HttpTimeouts httpTimeouts();
void setHttpTimeouts(const HttpTimeouts& timeouts);  // for tests of slow servers

// Answers held in memory (get, post) larger than this fail the call.
constexpr qint64 kMaxAnswerBytes = 256LL * 1024 * 1024;

class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpResult get(const QByteArray& url) = 0;
    virtual HttpResult postMultipart(const QByteArray& url,
                                     const std::vector<MultipartPart>& parts) = 0;
    // Streams the body into `targetPath`: into a temporary file beside it that replaces
    // the target only on a success status, so a failed or broken transfer leaves the old
    // file as it was. Returns the status in the result; the body stays empty.
    // `writeError` is set when the target cannot be written (then nothing is replaced;
    // when the temporary file cannot even be created, nothing is sent).
    virtual HttpResult download(const QByteArray& url, const QString& targetPath,
                                bool* writeError) = 0;
};

// The process-wide instance (libcurl unless a test installed another). Not owned.
HttpClient& httpClient();
void setHttpClient(HttpClient* instance);  // nullptr restores the real one

}  // namespace platform
