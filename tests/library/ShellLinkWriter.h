#pragma once
// Writes shortcut (.lnk) files for tests, in the Shell Link binary format: a header, an
// optional LinkTargetIDList spelling a drive path, and an optional LinkInfo with a local
// base path (ANSI in GBK and/or Unicode) or a network name, plus a common path suffix.
#include <QByteArray>
#include <QString>
#include <optional>

namespace testlnk {

struct LinkSpec {
    std::optional<QString> idListPath;  // "C:\dir\file.exe": root, drive and file items
    int extensionVersion = 9;           // version of the file entries' extension blocks
    std::optional<QString> localBaseAnsi;
    std::optional<QString> localBaseUnicode;
    std::optional<QString> networkName;  // instead of a local base path
    QString suffix;
    bool forceNoLinkInfo = false;
};

QByteArray makeShellLink(const LinkSpec& spec);
bool writeFile(const QString& path, const QByteArray& bytes);

}  // namespace testlnk
