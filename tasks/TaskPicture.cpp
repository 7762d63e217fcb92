#include "tasks/TaskPicture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "platform/Gbk.h"
#include "platform/Paths.h"
#include "service/Base64.h"
#include "service/ucm.h"
#include "tasks/JpegCodec.h"

namespace tasks {

QString LocalPictureName(const QString& filePath) {
    const QString name = platform::fileNameOf(filePath);
    if (name == QStringLiteral(".") || name == QStringLiteral("..")) return {};
    return name;
}

void FetchPicture(TFileMsg& entry, const QString& userFolder) {
    const QString name = LocalPictureName(entry.FilePath);
    if (name.isEmpty()) {
        entry.LocalPath.clear();
        return;
    }
    entry.LocalPath = userFolder + name;
    QDir().mkpath(userFolder);
    if (ucm::DownloadToFile(entry.FilePath, entry.LocalPath)) {
        entry.LocalState = 3;
    } else {
        QFile::remove(entry.LocalPath);
    }
}

namespace {

bool looksLikeJpeg(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(3);
    return head.size() == 3 && static_cast<unsigned char>(head[0]) == 0xFF &&
           static_cast<unsigned char>(head[1]) == 0xD8 &&
           static_cast<unsigned char>(head[2]) == 0xFF;
}

}  // namespace

QImage LoadPicture(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool jpegName = suffix == QStringLiteral("jpg") || suffix == QStringLiteral("jpeg");
    // Pictures saved by this client carry no extension until the service names them,
    // so a name without a known extension is recognised by its first bytes.
    const bool knownOther =
        !suffix.isEmpty() && QImageReader::supportedImageFormats().contains(suffix.toLatin1());
    if (jpegName || (!knownOther && looksLikeJpeg(path))) {
        jpeg::DecodeResult decoded = jpeg::ReadFile(path);
        return decoded.ok() ? decoded.image : QImage();
    }
    QImageReader reader(path);
    if (knownOther) reader.setFormat(suffix.toLatin1());
    QImage image;
    if (!reader.read(&image)) return {};
    return image;
}

QString Base64OfGbk(const QString& text) {
    return ucm::Base64Encode(platform::toGbk(text));
}

}  // namespace tasks
