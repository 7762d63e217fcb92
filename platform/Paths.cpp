#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

bool isSeparator(QChar c) {
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

QString withTrailingSeparator(QString folder) {
    if (!folder.isEmpty() && !isSeparator(folder.back())) folder += separator();
    return folder;
}

}  // namespace

QString separator() {
#ifdef Q_OS_WIN
    return QStringLiteral("\\");
#else
    return QStringLiteral("/");
#endif
}

QString defaultLocalRoot() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\OrvaneCAD\\");
#else
    return withTrailingSeparator(QDir::homePath() + QStringLiteral("/OrvaneCAD"));
#endif
}

QString programFolder() {
    QString dir;
    if (QCoreApplication::instance() != nullptr) {
        dir = QCoreApplication::applicationDirPath();
    } else {
#ifdef Q_OS_LINUX
        dir = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
#else
        dir = QDir::currentPath();
#endif
    }
    return withTrailingSeparator(QDir::toNativeSeparators(dir));
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    QString start = name;
    while (!start.isEmpty() && isSeparator(start.front())) start.remove(0, 1);
    return withTrailingSeparator(folder) + start;
}

QString fileNameOf(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        const QChar c = path[i];
        if (isSeparator(c) || c == QLatin1Char(':')) return path.mid(i + 1);
    }
    return path;
}

QString folderOf(const QString& path) {
    return path.left(path.size() - fileNameOf(path).size());
}

}  // namespace platform
