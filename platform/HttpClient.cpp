#include "platform/HttpClient.h"

#include <curl/curl.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

namespace platform {

namespace {

// --- RAII holders for libcurl's handles -------------------------------------------

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct MimeDeleter {
    void operator()(curl_mime* mime) const { curl_mime_free(mime); }
};
using MimeHandle = std::unique_ptr<curl_mime, MimeDeleter>;

class HeaderList {
public:
    HeaderList() = default;
    HeaderList(const HeaderList&) = delete;
    HeaderList& operator=(const HeaderList&) = delete;
    ~HeaderList() { curl_slist_free_all(list_); }
    bool append(const char* header) {
        curl_slist* next = curl_slist_append(list_, header);
        if (next == nullptr) return false;
        list_ = next;
        return true;
    }
    curl_slist* get() const { return list_; }

private:
    curl_slist* list_ = nullptr;
};

// --- addresses --------------------------------------------------------------------

struct Address {
    std::string origin;  // "http://host:port/"
    std::string target;  // the request target as it goes into the request line
};

std::optional<Address> splitAddress(const QByteArray& url) {
    const qsizetype schemeEnd = url.indexOf("://");
    if (schemeEnd <= 0) return std::nullopt;
    const QByteArray scheme = url.left(schemeEnd).toLower();
    if (scheme != "http" && scheme != "https") return std::nullopt;
    const qsizetype hostStart = schemeEnd + 3;
    qsizetype hostEnd = hostStart;
    while (hostEnd < url.size() && !QByteArray("/?#\\").contains(url[hostEnd])) ++hostEnd;
    if (hostEnd == hostStart) return std::nullopt;
    QByteArray target = url.mid(hostEnd);
    if (!target.startsWith('/')) target.prepend('/');
    for (const char c : url) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) return std::nullopt;  // would break the request line
    }
    if (url.left(hostEnd).contains(' ')) return std::nullopt;
    target.replace(" ", "%20");
    Address address;
    address.origin = (scheme + "://" + url.mid(hostStart, hostEnd - hostStart) + "/").toStdString();
    address.target = target.toStdString();
    return address;
}

// --- one exchange -----------------------------------------------------------------

std::atomic<long> g_connectMs{5000};
std::atomic<long> g_stallMs{60000};

void initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct MemorySink {
    QByteArray body;
    bool tooLarge = false;
};

size_t writeToMemory(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<MemorySink*>(user);
    const size_t bytes = size * count;
    if (sink->body.size() + static_cast<qint64>(bytes) > kMaxAnswerBytes) {
        sink->tooLarge = true;
        return 0;
    }
    sink->body.append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

struct StallWatch {
    long limitMs = 0;
    curl_off_t seen = -1;  // bytes moved so far, both ways
    std::chrono::steady_clock::time_point lastMove;
    bool stalled = false;
};

int checkStall(void* user, curl_off_t dlTotal, curl_off_t dlNow, curl_off_t ulTotal,
               curl_off_t ulNow) {
    (void)dlTotal;
    (void)ulTotal;
    auto* watch = static_cast<StallWatch*>(user);
    const auto now = std::chrono::steady_clock::now();
    if (dlNow + ulNow != watch->seen) {
        watch->seen = dlNow + ulNow;
        watch->lastMove = now;
        return 0;
    }
    if (now - watch->lastMove > std::chrono::milliseconds(watch->limitMs)) {
        watch->stalled = true;
        return 1;  // aborts the transfer
    }
    return 0;
}

// One configured easy handle with the storage its options point at.
class Exchange {
public:
    explicit Exchange(const Address& address) : address_(address) {
        initCurlOnce();
        easy_.reset(curl_easy_init());
        if (!easy_) return;
        errorText_[0] = '\0';
        CURL* h = easy_.get();
        bool ok = curl_easy_setopt(h, CURLOPT_URL, address_.origin.c_str()) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_REQUEST_TARGET, address_.target.c_str()) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
        ok = ok && headers_.append("Expect:");
        ok = ok && curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers_.get()) == CURLE_OK;
        curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText_);
        curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(h, CURLOPT_PROXY, "");  // never through a proxy from the environment
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, g_connectMs.load());
        // libcurl's own low-speed check averages over several seconds, so a stall is
        // measured here: the time since the last byte moved either way.
        stall_.limitMs = g_stallMs.load();
        stall_.lastMove = std::chrono::steady_clock::now();
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &checkStall);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, &stall_);
        curl_easy_setopt(h, CURLOPT_USERAGENT, "OrvaneCAD/1.0");
        if (!ok) easy_.reset();
    }

    CURL* handle() const { return easy_.get(); }

    // Runs the exchange and fills in the transport outcome and the status.
    HttpResult perform() {
        HttpResult result;
        const CURLcode code = curl_easy_perform(easy_.get());
        long status = 0;
        curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status);
        result.status = status;
        result.transportOk = code == CURLE_OK;
        if (stall_.stalled) {
            result.transportOk = false;
            result.error = QStringLiteral("The server stopped answering.");
        } else if (!result.transportOk) {
            result.error =
                QString::fromUtf8(errorText_[0] != '\0' ? errorText_ : curl_easy_strerror(code));
        }
        return result;
    }

private:
    Address address_;
    EasyHandle easy_;
    HeaderList headers_;
    StallWatch stall_;
    char errorText_[CURL_ERROR_SIZE];
};

HttpResult failure(const QString& why) {
    HttpResult result;
    result.error = why;
    return result;
}

HttpResult runToMemory(Exchange& exchange) {
    MemorySink sink;
    curl_easy_setopt(exchange.handle(), CURLOPT_WRITEFUNCTION, &writeToMemory);
    curl_easy_setopt(exchange.handle(), CURLOPT_WRITEDATA, &sink);
    HttpResult result = exchange.perform();
    if (sink.tooLarge) return failure(QStringLiteral("The answer is too large."));
    if (result.transportOk) result.body = std::move(sink.body);
    return result;
}

// --- streamed file parts ----------------------------------------------------------

size_t readFilePart(char* buffer, size_t size, size_t count, void* user) {
    auto* file = static_cast<QFile*>(user);
    const qint64 got = file->read(buffer, static_cast<qint64>(size * count));
    if (got < 0) return CURL_READFUNC_ABORT;
    return static_cast<size_t>(got);
}

int seekFilePart(void* user, curl_off_t offset, int origin) {
    auto* file = static_cast<QFile*>(user);
    if (origin != SEEK_SET) return CURL_SEEKFUNC_CANTSEEK;
    return file->seek(offset) ? CURL_SEEKFUNC_OK : CURL_SEEKFUNC_FAIL;
}

bool addPart(curl_mime* mime, const MultipartPart& part, QFile* source) {
    curl_mimepart* p = curl_mime_addpart(mime);
    if (p == nullptr) return false;
    if (curl_mime_name(p, part.name.constData()) != CURLE_OK) return false;
    CURLcode code = CURLE_OK;
    if (source != nullptr) {
        code = curl_mime_data_cb(p, static_cast<curl_off_t>(source->size()), &readFilePart,
                                 &seekFilePart, nullptr, source);
    } else {
        code =
            curl_mime_data(p, part.content.constData(), static_cast<size_t>(part.content.size()));
    }
    if (code != CURLE_OK) return false;
    if (part.isFile && !part.filename.isEmpty() &&
        curl_mime_filename(p, part.filename.constData()) != CURLE_OK) {
        return false;
    }
    if (!part.contentType.isEmpty() &&
        curl_mime_type(p, part.contentType.constData()) != CURLE_OK) {
        return false;
    }
    return true;
}

// --- downloads --------------------------------------------------------------------

struct FileSink {
    CURL* easy = nullptr;
    QSaveFile* file = nullptr;
    bool statusRejected = false;  // not a success status: the body is not kept
    bool writeFailed = false;
};

size_t writeToFile(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<FileSink*>(user);
    long status = 0;
    curl_easy_getinfo(sink->easy, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status >= 300) {
        sink->statusRejected = true;
        return 0;  // an error page never reaches the disk
    }
    const auto bytes = static_cast<qint64>(size * count);
    if (sink->file->write(data, bytes) != bytes) {
        sink->writeFailed = true;
        return 0;
    }
    return static_cast<size_t>(bytes);
}

class CurlHttpClient final : public HttpClient {
public:
    HttpResult get(const QByteArray& url) override {
        const auto address = splitAddress(url);
        if (!address) return failure(QStringLiteral("Invalid address."));
        Exchange exchange(*address);
        if (exchange.handle() == nullptr) return failure(QStringLiteral("No HTTP client."));
        curl_easy_setopt(exchange.handle(), CURLOPT_HTTPGET, 1L);
        return runToMemory(exchange);
    }

    HttpResult postMultipart(const QByteArray& url,
                             const std::vector<MultipartPart>& parts) override {
        const auto address = splitAddress(url);
        if (!address) return failure(QStringLiteral("Invalid address."));
        // Every attachment is opened before anything is sent.
        std::vector<std::unique_ptr<QFile>> sources;
        for (const MultipartPart& part : parts) {
            if (part.sourcePath.isEmpty()) {
                sources.push_back(nullptr);
                continue;
            }
            auto file = std::make_unique<QFile>(part.sourcePath);
            if (!QFileInfo(part.sourcePath).isFile() || !file->open(QIODevice::ReadOnly)) {
                return failure(QStringLiteral("Cannot read ") + part.sourcePath);
            }
            sources.push_back(std::move(file));
        }
        Exchange exchange(*address);
        if (exchange.handle() == nullptr) return failure(QStringLiteral("No HTTP client."));
        MimeHandle mime(curl_mime_init(exchange.handle()));
        if (!mime) return failure(QStringLiteral("No multipart body."));
        for (size_t i = 0; i < parts.size(); ++i) {
            if (!addPart(mime.get(), parts[i], sources[i].get())) {
                return failure(QStringLiteral("Cannot build the multipart body."));
            }
        }
        curl_easy_setopt(exchange.handle(), CURLOPT_MIMEPOST, mime.get());
        return runToMemory(exchange);
    }

    HttpResult download(const QByteArray& url, const QString& targetPath,
                        bool* writeError) override {
        if (writeError != nullptr) *writeError = false;
        const auto address = splitAddress(url);
        if (!address) return failure(QStringLiteral("Invalid address."));
        QSaveFile file(targetPath);
        if (QFileInfo(targetPath).isDir() || !file.open(QIODevice::WriteOnly)) {
            if (writeError != nullptr) *writeError = true;
            return failure(QStringLiteral("Cannot write ") + targetPath);
        }
        Exchange exchange(*address);
        if (exchange.handle() == nullptr) return failure(QStringLiteral("No HTTP client."));
        FileSink sink{exchange.handle(), &file};
        curl_easy_setopt(exchange.handle(), CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(exchange.handle(), CURLOPT_WRITEFUNCTION, &writeToFile);
        curl_easy_setopt(exchange.handle(), CURLOPT_WRITEDATA, &sink);
        HttpResult result = exchange.perform();
        if (sink.statusRejected) {
            result.transportOk = true;  // the exchange answered; only its status was refused
            result.error.clear();
        }
        if (sink.writeFailed) {
            if (writeError != nullptr) *writeError = true;
            result.transportOk = false;
            result.error = QStringLiteral("Cannot write ") + targetPath;
        }
        if (!result.ok()) {
            file.cancelWriting();
            return result;
        }
        if (!file.commit()) {
            if (writeError != nullptr) *writeError = true;
            result.transportOk = false;
            result.error = QStringLiteral("Cannot write ") + targetPath;
        }
        return result;
    }
};

std::atomic<HttpClient*> g_installed{nullptr};

}  // namespace

HttpTimeouts httpTimeouts() {
    return HttpTimeouts{g_connectMs.load(), g_stallMs.load()};
}

void setHttpTimeouts(const HttpTimeouts& timeouts) {
    g_connectMs.store(timeouts.connectMs);
    g_stallMs.store(timeouts.stallMs);
}

HttpClient& httpClient() {
    if (HttpClient* installed = g_installed.load()) return *installed;
    static CurlHttpClient real;
    return real;
}

void setHttpClient(HttpClient* instance) {
    g_installed.store(instance);
}

}  // namespace platform
