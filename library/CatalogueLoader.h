#pragma once
// Reading the catalogue answer of "FileMng/GetFiles": Base64 of a data packet with one
// row per entry. A new list is built completely before anyone sees it, so a broken
// answer (bad Base64, bad packet, missing field, a "Flag" that is no integer) leaves
// the caller's list untouched. Pure logic, any thread.
#include <QSet>
#include <QString>

#include "library/TreeBuilder.h"

namespace library {

struct CatalogueLoad {
    bool ok = false;
    QString error;  // for the user, when not ok
    EntryList entries;
};

class CatalogueLoader {
public:
    // Decodes a non-empty answer into entries and recognises their local copies in
    // `userFolder` (with trailing separator).
    static CatalogueLoad decode(const QString& answer, const QString& userFolder);

    // Local copies: an entry whose local file name exists as a file in `userFolder` gets
    // LocalState 3 and that LocalPath; any other gets LocalState 2 and an empty path.
    static void markLocalCopies(EntryList& entries, const QString& userFolder);

    // A drawing whose local copy was changed (LocalModified) and not yet committed keeps
    // that mark in the fresh list when the fresh entry has the same id and the same local
    // copy, so a refused or failed commit does not silently drop the user's change.
    static void carryLocalChanges(const EntryList& previous, EntryList& fresh);

    // A strict decimal 32-bit integer: optional sign and digits, nothing else.
    static bool strictInt(const QString& text, int* value);
};

}  // namespace library
