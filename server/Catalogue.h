#pragma once
// Catalogue entries (folders and drawings) and what a user sees of them: own
// entries with flag 0 and, for every owner who shares with the user, that owner's
// entries with flag 1. All functions run inside the caller's Transaction.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace server {

class Transaction;

struct Entry {
    std::string fileId;
    std::string pid;
    std::string name;
    int itemType = 0;    // 0 folder, 1 drawing
    std::string stored;  // stored file name; empty for folders
    int64_t size = 0;    // bytes of the stored file
    int64_t owner = 0;
    std::string ownerName;
    int flag = 0;  // 0 own, 1 shared with the reader
};

namespace catalogue {

// Own entries first, then shared ones; folders before drawings, then by name.
std::vector<Entry> visibleTo(Transaction& tx, int64_t userId);

std::optional<Entry> find(Transaction& tx, std::string_view fileId);
// True when `userId` owns the entry or its owner shares with `userId`.
bool canSee(Transaction& tx, const Entry& entry, int64_t userId);

void insert(Transaction& tx, const Entry& entry);
// Updates name and parent; and the stored file when `stored` is set.
void update(Transaction& tx, std::string_view fileId, std::string_view name, std::string_view pid,
            const std::optional<std::pair<std::string, int64_t>>& stored);
void rename(Transaction& tx, std::string_view fileId, std::string_view name);

// True when making `pid` the parent of `fileId` would put the entry below itself.
bool wouldLoop(Transaction& tx, std::string_view fileId, std::string_view pid);

// Removes the entry, its owner's entries below it and their tasks; returns the stored
// names of files no longer referenced, to be removed after the commit.
std::vector<std::string> removeTree(Transaction& tx, std::string_view fileId);

}  // namespace catalogue
}  // namespace server
