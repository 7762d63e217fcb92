#include "library/LocalCopies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "library/EntryNames.h"
#include "service/ucm.h"

namespace library {
namespace {

bool sameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

bool liesDirectlyIn(const QString& path, const QString& folder) {
    if (folder.isEmpty()) return false;
    return QDir::cleanPath(QFileInfo(path).absolutePath()) ==
           QDir::cleanPath(QDir(folder).absolutePath());
}

QString copyOver(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        return QStringLiteral("无法读取文件“%1”：%2").arg(source, in.errorString());
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        return QStringLiteral("无法写入文件“%1”：%2").arg(target, out.errorString());
    }
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (out.write(chunk) != chunk.size()) break;
    }
    if (in.error() != QFileDevice::NoError || out.error() != QFileDevice::NoError) {
        out.cancelWriting();
        return QStringLiteral("替换图纸失败，原文件未改动：%1")
            .arg(in.error() != QFileDevice::NoError ? in.errorString() : out.errorString());
    }
    if (!out.commit()) {
        return QStringLiteral("替换图纸失败，原文件未改动：%1").arg(out.errorString());
    }
    return {};
}

}  // namespace

void LocalCopies::EnsureLocalCopy(TFiles& entry, const QString& userFolder) {
    if (entry.LocalState != 2) return;
    const QString name = localFileName(entry.FilePath);
    entry.LocalPath = userFolder + name;
    if (name.isEmpty() || userFolder.isEmpty()) return;
    if (ucm::DownloadToFile(entry.FilePath, entry.LocalPath)) entry.LocalState = 3;
}

int LocalCopies::dropDownloadedCopies(EntryList& entries, const QString& userFolder) {
    int dropped = 0;
    for (const auto& entry : entries) {
        if (entry->LocalState != 3) continue;
        if (liesDirectlyIn(entry->LocalPath, userFolder)) QFile::remove(entry->LocalPath);
        entry->LocalState = 2;
        ++dropped;
    }
    return dropped;
}

QString LocalCopies::replaceFile(TFiles& entry, const QString& chosen) {
    if (!sameFile(chosen, entry.LocalPath)) {
        const QString error = copyOver(chosen, entry.LocalPath);
        if (!error.isEmpty()) return error;
    }
    entry.LocalModified = true;
    return {};
}

QString LocalCopies::folderPart(const QString& path) {
    qsizetype cut = -1;
    for (QChar sep : {QLatin1Char('\\'), QLatin1Char('/'), QLatin1Char(':')}) {
        cut = std::max(cut, path.lastIndexOf(sep));
    }
    return path.left(cut + 1);
}

}  // namespace library
