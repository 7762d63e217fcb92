#include "library/EntryNames.h"

#include <QUuid>

#include "platform/Paths.h"

namespace library {

QString newEntryId() {
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}

QString localFileName(const QString& filePath) {
    const QString name = platform::fileNameOf(filePath);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return {};
    return name;
}

QString extensionOf(const QString& path) {
    const QString name = platform::fileNameOf(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

}  // namespace library
