#pragma once
// The service client: every exchange with the review service goes through here.
// Process-wide values live for the whole process; tests point ServiceBase and
// LocalRoot at a loopback server and a temporary folder through the setters.
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

// GET ServiceBase + "act/" + path (unescaped). Empty on any failure.
QString ServiceGet(const QString& path);
// Multipart POST of form fields ("name=value") and attachments (full paths).
// Empty on any failure; nothing is sent when an attachment cannot be read.
QString ServicePost(const QStringList& fields, const QStringList& attachments,
                    const QString& path);

// Raised when the target of a download cannot be written.
class DownloadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// Fetches `url` into `target`; replaces the target only when the transfer succeeded.
// Throws DownloadError when the target cannot be written.
bool DownloadToFile(const QString& url, const QString& target);

// Splits an answer into fields (quotes, blanks and trailing-delimiter rules).
QStringList SplitDelimited(const QString& text, QChar delimiter);

}  // namespace ucm
