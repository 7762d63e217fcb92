#pragma once
// The target path of a shell shortcut (.lnk), read from the Shell Link binary format
// itself: LinkInfo's local base path (or network name) with its common path suffix, or
// else the path spelled by the LinkTargetIDList (drive item and file entries). Portable,
// no OS call besides reading the file. Bounded: files over 1 MiB, offsets or sizes
// outside the data, and unterminated strings give an empty path. Any thread.
#include <QByteArray>
#include <QString>

namespace platform {

// The target path of the shortcut file at `lnkPath`; empty when the file is missing,
// is no shortcut or is broken.
QString shellLinkTarget(const QString& lnkPath);

// The same for the bytes of a shortcut file. ANSI strings are read in GBK (code page
// 936, the program's system code page).
QString shellLinkTargetFromBytes(const QByteArray& bytes);

// The largest shortcut file that is read.
constexpr qint64 kMaxShellLinkSize = 1 << 20;

}  // namespace platform
