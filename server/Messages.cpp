#include "server/Messages.h"

#include "server/Database.h"

namespace server::messages {

std::vector<Message> since(Transaction& tx, const std::vector<std::string>& accounts,
                           std::string_view fromDate) {
    auto st = tx.db().prepare(
        "SELECT id, account, msg_date, text FROM messages WHERE msg_date >= ?1 AND "
        "(account = '*' OR account IN (?2, ?3, ?4) COLLATE NOCASE) ORDER BY msg_date, id");
    st.bind(1, fromDate);
    // Unused slots get a value no account can have.
    for (int i = 0; i < 3; ++i) {
        const size_t k = static_cast<size_t>(i);
        st.bind(i + 2, k < accounts.size() && !accounts[k].empty() ? accounts[k] : "\n");
    }
    std::vector<Message> out;
    while (st.step()) out.push_back(Message{st.integer(0), st.text(1), st.text(2), st.text(3)});
    return out;
}

bool add(Transaction& tx, std::string_view account, std::string_view date, std::string_view text) {
    auto exists = tx.db().prepare(
        "SELECT 1 FROM messages WHERE account = ?1 AND msg_date = ?2 AND text = ?3");
    exists.bind(1, account).bind(2, date).bind(3, text);
    if (exists.step()) return false;
    auto st = tx.db().prepare("INSERT INTO messages(account, msg_date, text) VALUES(?1, ?2, ?3)");
    st.bind(1, account).bind(2, date).bind(3, text);
    st.run();
    return true;
}

}  // namespace server::messages
