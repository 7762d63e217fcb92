#pragma once
// Local folders and path helpers.
#include <QString>

namespace platform {

// The fixed local data folder: "C:\OrvaneCAD\" on Windows, elsewhere the folder
// "OrvaneCAD" in the user's home, always with a trailing separator.
QString defaultLocalRoot();
// The folder of the program file, with a trailing separator.
QString programFolder();
// Joins a folder (with or without trailing separator) and a name.
QString joinPath(const QString& folder, const QString& name);
// The part of `path` after its last "\", "/" or ":" (the local file name rule).
QString fileNameOf(const QString& path);
// The folder part of `path`, with a trailing separator.
QString folderOf(const QString& path);
// Native separators for the platform ("\" on Windows, "/" elsewhere).
QString separator();

}  // namespace platform
