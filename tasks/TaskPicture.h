#pragma once
// Task pictures on disk: the local file name rule, the download of a picture into
// the user folder, loading a picture for display, and the Base64 of a text's GBK
// bytes for request addresses. UI thread (downloads are synchronous).
#include <QImage>
#include <QString>

#include "tasks/TFileMsg.h"

namespace tasks {

// The local file name of a picture address: the part after its last "\", "/" or
// ":". Empty when that part is empty or is "." or "..", which can name no file.
QString LocalPictureName(const QString& filePath);

// Downloads the picture of a task without a local copy into `userFolder`. On success
// LocalState becomes 3; on failure the partial file is deleted and LocalState stays
// 2, so the next selection tries again. LocalPath is set either way (empty when the
// address names no file, and then nothing is fetched). Throws ucm::DownloadError
// when the local file cannot be created.
void FetchPicture(TFileMsg& entry, const QString& userFolder);

// Loads a picture file by its extension: "jpg"/"jpeg" through our JPEG reader, the
// bitmap, icon and other raster formats through Qt. Null when it cannot be read.
QImage LoadPicture(const QString& path);

// Base64 of the text's bytes in the GBK code page.
QString Base64OfGbk(const QString& text);

}  // namespace tasks
