#pragma once
// The service client: every exchange with the review service goes through here.
// Process-wide values live for the whole process; tests point ServiceBase and
// LocalRoot at a loopback server and a temporary folder through the setters.
//
// Thread: ServiceGet, ServicePost, DownloadToFile and SplitDelimited share nothing and
// may run on the UI thread and the poller's thread at the same time. The setters are
// for start-up and test set-up, before other threads run; the login values are guarded.
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace ucm {

// The service root, "http://host:port/" (fixed at build time; tests may replace it).
const QString& ServiceBase();
void setServiceBase(const QString& base);

// The local data folder with a trailing separator.
const QString& LocalRoot();
void setLocalRoot(const QString& root);

// Login values: empty until a successful login.
QString CurrentUserId();
QString CurrentUserName();
void setLogin(const QString& userId, const QString& userName);
// LocalRoot + CurrentUserId + separator; empty when nobody is logged in.
QString UserFolder();

constexpr int ClientVersion = 100;

// GET ServiceBase + "act/" + path. The path goes out in GBK bytes, unescaped. The
// answer's first and last byte are dropped before the UTF-8 decoding; a body shorter
// than three bytes, an error status, a failed transfer or ill-formed UTF-8 give an empty
// answer. Never throws.
QString ServiceGet(const QString& path);
// Multipart POST of form fields ("name=value", split at the first "=") and attachments
// (full paths) to ServiceBase + "act/" + path. The answer is decoded from UTF-8 first,
// then its first and last GBK byte are dropped (two bytes or fewer give an empty answer).
// Every failure gives an empty answer; nothing is sent when an attachment cannot be
// read. Never throws.
QString ServicePost(const QStringList& fields, const QStringList& attachments, const QString& path);

// Raised when the target of a download cannot be written ("Cannot create file "%s"").
class DownloadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// Fetches `url` (sent as its GBK bytes, unescaped) into `target`. The body goes to a
// temporary file beside the target that replaces it only after a complete transfer
// with a success status, so a failed download neither leaves an error page or a partial
// body behind nor destroys an existing file. True when the file was fetched.
// Throws DownloadError when the target cannot be written.
bool DownloadToFile(const QString& url, const QString& target);

// Splits an answer into fields: blanks and control characters (code 1 to 32) separate
// fields like the delimiter does; a field that starts with a double quote runs to the
// next single double quote, with doubled quotes standing for one (an unclosed quote
// runs to the end); two delimiters in a row give an empty field, a delimiter at the
// very end an empty last field. An empty text or one of blanks only gives no field.
QStringList SplitDelimited(const QString& text, QChar delimiter);

}  // namespace ucm
