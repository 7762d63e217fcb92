#pragma once
// HTTP/1.1 over libcurl: one new easy handle per call, no cookies, no redirects,
// a connect timeout and a stall timeout so nothing hangs forever. Thread-safe:
// calls share nothing.
#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

namespace platform {

struct HttpResult {
    bool transportOk = false;  // the exchange completed (any status)
    long status = 0;           // HTTP status, 0 when there was none
    QByteArray body;
    QString error;             // transport error text, empty when transportOk
    bool ok() const { return transportOk && status >= 200 && status < 300; }
};

// One part of a multipart/form-data body (RFC 7578).
struct MultipartPart {
    QByteArray name;         // bytes as they go on the wire
    QByteArray content;      // bytes as they go on the wire
    QByteArray filename;     // empty for a text part
    QByteArray contentType;  // empty for a text part
    bool isFile = false;
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpResult get(const QByteArray& url) = 0;
    virtual HttpResult postMultipart(const QByteArray& url, const std::vector<MultipartPart>& parts) = 0;
    // Streams the body into `targetPath`: into a temporary file beside it that replaces
    // the target only on a success status. Returns the status in the result; the body
    // stays empty. `writeError` is set when the target cannot be written.
    virtual HttpResult download(const QByteArray& url, const QString& targetPath,
                                bool* writeError) = 0;
};

HttpClient& httpClient();
void setHttpClient(HttpClient* instance);  // nullptr restores the real one

}  // namespace platform
