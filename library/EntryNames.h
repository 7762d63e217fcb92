#pragma once
// Naming helpers for catalogue entries: new client ids and the local file name rule.
// Pure functions, any thread.
#include <QString>

namespace library {

// A new random id in the 38-character form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}",
// upper-case hexadecimal digits.
QString newEntryId();

// The local file name of a stored file: the part of `filePath` after its last "\", "/"
// or ":". Empty when that part cannot name a file inside the user folder ("", "." or
// ".."), so a hostile address never reaches outside it.
QString localFileName(const QString& filePath);

// The extension of the file name part of `path`, with its dot, as spelled; empty when
// the name has no dot.
QString extensionOf(const QString& path);

}  // namespace library
