#include "server/Catalogue.h"

#include <set>

#include "server/Database.h"

namespace server::catalogue {

namespace {

constexpr const char* kColumns =
    "SELECT e.file_id, e.pid, e.name, e.item_type, e.stored, e.size, e.owner, u.name ";

Entry read(const Statement& st) {
    Entry e;
    e.fileId = st.text(0);
    e.pid = st.text(1);
    e.name = st.text(2);
    e.itemType = static_cast<int>(st.integer(3));
    e.stored = st.text(4);
    e.size = st.integer(5);
    e.owner = st.integer(6);
    e.ownerName = st.text(7);
    return e;
}

}  // namespace

std::vector<Entry> visibleTo(Transaction& tx, int64_t userId) {
    auto st = tx.db().prepare(
        std::string(kColumns) +
        ", CASE WHEN e.owner = ?1 THEN 0 ELSE 1 END AS flag "
        "FROM entries e JOIN users u ON u.id = e.owner "
        "WHERE e.owner = ?1 OR e.owner IN (SELECT owner FROM members WHERE member = ?1) "
        "ORDER BY flag, u.name, e.owner, e.item_type, e.name COLLATE NOCASE, e.seq");
    st.bind(1, userId);
    std::vector<Entry> out;
    while (st.step()) {
        Entry e = read(st);
        e.flag = static_cast<int>(st.integer(8));
        out.push_back(std::move(e));
    }
    return out;
}

std::optional<Entry> find(Transaction& tx, std::string_view fileId) {
    auto st = tx.db().prepare(std::string(kColumns) +
                              "FROM entries e JOIN users u ON u.id = e.owner WHERE e.file_id = ?1");
    st.bind(1, fileId);
    if (!st.step()) return std::nullopt;
    return read(st);
}

bool canSee(Transaction& tx, const Entry& entry, int64_t userId) {
    if (entry.owner == userId) return true;
    auto st = tx.db().prepare("SELECT 1 FROM members WHERE owner = ?1 AND member = ?2");
    st.bind(1, entry.owner).bind(2, userId);
    return st.step();
}

void insert(Transaction& tx, const Entry& entry) {
    auto st = tx.db().prepare(
        "INSERT INTO entries(file_id, owner, pid, name, item_type, stored, size, modified) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, datetime('now'))");
    st.bind(1, entry.fileId).bind(2, entry.owner).bind(3, entry.pid).bind(4, entry.name);
    st.bind(5, entry.itemType).bind(6, entry.stored).bind(7, entry.size);
    st.run();
}

void update(Transaction& tx, std::string_view fileId, std::string_view name, std::string_view pid,
            const std::optional<std::pair<std::string, int64_t>>& stored) {
    if (stored) {
        auto st = tx.db().prepare(
            "UPDATE entries SET name = ?2, pid = ?3, stored = ?4, size = ?5, "
            "modified = datetime('now') WHERE file_id = ?1");
        st.bind(1, fileId)
            .bind(2, name)
            .bind(3, pid)
            .bind(4, stored->first)
            .bind(5, stored->second);
        st.run();
    } else {
        auto st = tx.db().prepare(
            "UPDATE entries SET name = ?2, pid = ?3, modified = datetime('now') WHERE file_id = "
            "?1");
        st.bind(1, fileId).bind(2, name).bind(3, pid);
        st.run();
    }
}

void rename(Transaction& tx, std::string_view fileId, std::string_view name) {
    auto st = tx.db().prepare(
        "UPDATE entries SET name = ?2, modified = datetime('now') WHERE file_id = ?1");
    st.bind(1, fileId).bind(2, name);
    st.run();
}

bool wouldLoop(Transaction& tx, std::string_view fileId, std::string_view pid) {
    std::set<std::string> seen;
    std::string at(pid);
    while (!at.empty()) {
        if (at == fileId) return true;
        if (!seen.insert(at).second) return true;  // an existing loop above
        auto parent = find(tx, at);
        if (!parent) return false;
        at = parent->pid;
    }
    return false;
}

std::vector<std::string> removeTree(Transaction& tx, std::string_view fileId) {
    const auto root = find(tx, fileId);
    if (!root) return {};
    std::vector<std::string> ids{std::string(fileId)};
    std::set<std::string> seen{std::string(fileId)};
    for (size_t i = 0; i < ids.size(); ++i) {
        // Only the owner's own entries go with a folder; another user's entry that
        // names it as parent is not the owner's to delete.
        auto st = tx.db().prepare("SELECT file_id FROM entries WHERE pid = ?1 AND owner = ?2");
        st.bind(1, ids[i]).bind(2, root->owner);
        while (st.step()) {
            std::string child = st.text(0);
            if (seen.insert(child).second) ids.push_back(std::move(child));
        }
    }
    std::vector<std::string> files;
    for (const auto& id : ids) {
        auto pics = tx.db().prepare("SELECT stored FROM tasks WHERE file_id = ?1 AND stored <> ''");
        pics.bind(1, id);
        while (pics.step()) files.push_back(pics.text(0));
        auto own =
            tx.db().prepare("SELECT stored FROM entries WHERE file_id = ?1 AND stored <> ''");
        own.bind(1, id);
        while (own.step()) files.push_back(own.text(0));
        auto delTasks = tx.db().prepare("DELETE FROM tasks WHERE file_id = ?1");
        delTasks.bind(1, id);
        delTasks.run();
        auto del = tx.db().prepare("DELETE FROM entries WHERE file_id = ?1");
        del.bind(1, id);
        del.run();
    }
    return files;
}

}  // namespace server::catalogue
