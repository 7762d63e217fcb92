#include "server/Tasks.h"

#include "server/Database.h"

namespace server::tasks {

namespace {

constexpr const char* kColumns =
    "SELECT t.id, t.file_id, t.msg_info, t.msg_date, t.status, u.name, t.stored "
    "FROM tasks t JOIN users u ON u.id = t.author ";

Task read(const Statement& st) {
    Task t;
    t.id = st.integer(0);
    t.fileId = st.text(1);
    t.msgInfo = st.text(2);
    t.msgDate = st.text(3);
    t.status = static_cast<int>(st.integer(4));
    t.userName = st.text(5);
    t.stored = st.text(6);
    return t;
}

}  // namespace

std::vector<Task> forFile(Transaction& tx, std::string_view fileId) {
    auto st = tx.db().prepare(std::string(kColumns) + "WHERE t.file_id = ?1 ORDER BY t.id");
    st.bind(1, fileId);
    std::vector<Task> out;
    while (st.step()) out.push_back(read(st));
    return out;
}

std::optional<Task> byId(Transaction& tx, int64_t id) {
    auto st = tx.db().prepare(std::string(kColumns) + "WHERE t.id = ?1");
    st.bind(1, id);
    if (!st.step()) return std::nullopt;
    return read(st);
}

int64_t add(Transaction& tx, std::string_view fileId, int64_t author, std::string_view msgInfo,
            std::string_view stored, std::string_view date) {
    auto st = tx.db().prepare(
        "INSERT INTO tasks(file_id, author, msg_info, msg_date, status, stored) "
        "VALUES(?1, ?2, ?3, ?4, 0, ?5)");
    st.bind(1, fileId).bind(2, author).bind(3, msgInfo).bind(4, date).bind(5, stored);
    st.run();
    return tx.db().lastInsertId();
}

void set(Transaction& tx, int64_t id, std::string_view msgInfo, int status) {
    auto st = tx.db().prepare("UPDATE tasks SET msg_info = ?2, status = ?3 WHERE id = ?1");
    st.bind(1, id).bind(2, msgInfo).bind(3, status);
    st.run();
}

}  // namespace server::tasks
