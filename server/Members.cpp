#include "server/Members.h"

#include "server/Database.h"

namespace server::members {

std::vector<User> of(Transaction& tx, int64_t owner) {
    auto st = tx.db().prepare(
        "SELECT u.id FROM members m JOIN users u ON u.id = m.member WHERE m.owner = ?1 "
        "ORDER BY m.rowid");
    st.bind(1, owner);
    std::vector<int64_t> ids;
    while (st.step()) ids.push_back(st.integer(0));
    std::vector<User> out;
    for (int64_t id : ids) {
        if (auto u = accounts::byId(tx, id)) out.push_back(*u);
    }
    return out;
}

bool isMember(Transaction& tx, int64_t owner, int64_t member) {
    auto st = tx.db().prepare("SELECT 1 FROM members WHERE owner = ?1 AND member = ?2");
    st.bind(1, owner).bind(2, member);
    return st.step();
}

void add(Transaction& tx, int64_t owner, int64_t member) {
    auto st = tx.db().prepare("INSERT OR IGNORE INTO members(owner, member) VALUES(?1, ?2)");
    st.bind(1, owner).bind(2, member);
    st.run();
}

void remove(Transaction& tx, int64_t owner, int64_t member) {
    auto st = tx.db().prepare("DELETE FROM members WHERE owner = ?1 AND member = ?2");
    st.bind(1, owner).bind(2, member);
    st.run();
}

}  // namespace server::members
