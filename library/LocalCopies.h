#pragma once
// Local copies of catalogue entries in the user folder: downloading on demand, dropping
// downloaded copies so they are fetched again, and replacing a drawing's file. UI thread
// (downloads block).
#include <QString>

#include "library/TreeBuilder.h"

namespace library {

class LocalCopies {
public:
    // EnsureLocalCopy: for an entry without local copy (LocalState 2) sets LocalPath to
    // `userFolder` + its local file name and downloads FilePath there; LocalState becomes
    // 3 on success and stays 2 otherwise. An entry whose address names no file is not
    // fetched. Throws ucm::DownloadError when the target cannot be written.
    static void EnsureLocalCopy(TFiles& entry, const QString& userFolder);

    // Deletes the file of every entry in LocalState 3 (both views, changed or not) and
    // sets LocalState 2. Only files inside `userFolder` are deleted. Returns the count.
    static int dropDownloadedCopies(EntryList& entries, const QString& userFolder);

    // Replaces the file at the entry's LocalPath by a copy of `chosen` and marks the entry
    // changed. The old file is replaced only once the copy is complete, so a failed copy
    // (full disk, unreadable source) keeps it; choosing the very file at LocalPath keeps
    // it as it is. Returns an error text for the user, empty on success.
    static QString replaceFile(TFiles& entry, const QString& chosen);

    // Everything of `path` up to and including its last separator.
    static QString folderPart(const QString& path);
};

}  // namespace library
