#include "service/ucm.h"

#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <vector>

#include "platform/Gbk.h"
#include "platform/HttpClient.h"
#include "platform/Paths.h"

#ifndef ORVANE_SERVICE_BASE
#define ORVANE_SERVICE_BASE "http://127.0.0.1:8600/"
#endif

namespace ucm {

namespace {

QString withTrailingSlash(QString base) {
    if (!base.endsWith(QLatin1Char('/'))) base += QLatin1Char('/');
    return base;
}

QString& serviceBaseValue() {
    static QString value = withTrailingSlash(QStringLiteral(ORVANE_SERVICE_BASE));
    return value;
}

QString& localRootValue() {
    static QString value = platform::defaultLocalRoot();
    return value;
}

struct Login {
    QMutex mutex;
    QString userId;
    QString userName;
};

Login& login() {
    static Login value;
    return value;
}

QByteArray requestAddress(const QString& path) {
    return platform::toGbk(ServiceBase()) + "act/" + platform::toGbk(path);
}

// Drops the first and the last GBK byte of a decoded answer. When both ends are
// single-byte characters that is dropping two characters, which keeps characters that
// GBK cannot hold; otherwise the bytes are cut as they are.
QString dropWrappingBytes(const QString& text) {
    if (platform::gbkLength(text) <= 2) return {};
    if (text.front().unicode() < 0x80 && text.back().unicode() < 0x80) {
        return text.mid(1, text.size() - 2);
    }
    const QByteArray bytes = platform::toGbk(text);
    return platform::fromGbk(bytes.mid(1, bytes.size() - 2));
}

platform::MultipartPart textPart(const QString& field) {
    platform::MultipartPart part;
    const qsizetype eq = field.indexOf(QLatin1Char('='));
    part.name = eq < 0 ? QByteArray() : platform::toGbk(field.left(eq));
    part.content = (eq < 0 ? field : field.mid(eq + 1)).toUtf8();
    return part;
}

platform::MultipartPart filePart(const QString& path) {
    platform::MultipartPart part;
    part.isFile = true;
    part.name = platform::fileNameOf(path).toUtf8();
    part.filename = platform::toGbk(path);
    part.contentType = "text/plain";
    part.sourcePath = path;
    return part;
}

}  // namespace

const QString& ServiceBase() {
    return serviceBaseValue();
}
void setServiceBase(const QString& base) {
    serviceBaseValue() = withTrailingSlash(base);
}

const QString& LocalRoot() {
    return localRootValue();
}
void setLocalRoot(const QString& root) {
    localRootValue() = root;
}

QString CurrentUserId() {
    QMutexLocker lock(&login().mutex);
    return login().userId;
}

QString CurrentUserName() {
    QMutexLocker lock(&login().mutex);
    return login().userName;
}

void setLogin(const QString& userId, const QString& userName) {
    QMutexLocker lock(&login().mutex);
    login().userId = userId;
    login().userName = userName;
}

QString UserFolder() {
    const QString id = CurrentUserId();
    if (id.isEmpty()) return {};
    return LocalRoot() + id + platform::separator();
}

QString ServiceGet(const QString& path) {
    const platform::HttpResult result = platform::httpClient().get(requestAddress(path));
    if (!result.ok() || result.body.size() < 3) return {};
    QString answer;
    if (!platform::decodeUtf8Strict(result.body.mid(1, result.body.size() - 2), &answer)) return {};
    return answer;
}

QString ServicePost(const QStringList& fields, const QStringList& attachments,
                    const QString& path) {
    std::vector<platform::MultipartPart> parts;
    parts.reserve(static_cast<size_t>(fields.size() + attachments.size()));
    for (const QString& field : fields) parts.push_back(textPart(field));
    for (const QString& attachment : attachments) parts.push_back(filePart(attachment));
    const platform::HttpResult result =
        platform::httpClient().postMultipart(requestAddress(path), parts);
    if (!result.ok()) return {};
    QString answer;
    if (!platform::decodeUtf8Strict(result.body, &answer)) return {};
    return dropWrappingBytes(answer);
}

bool DownloadToFile(const QString& url, const QString& target) {
    bool writeError = false;
    const platform::HttpResult result =
        platform::httpClient().download(platform::toGbk(url), target, &writeError);
    if (writeError) throw DownloadError("Cannot create file \"" + target.toStdString() + "\"");
    return result.ok() && QFileInfo::exists(target);
}

}  // namespace ucm
