#include "server/Settings.h"

#include "server/Database.h"
#include "server/Text.h"

namespace server::settings {

std::string get(Transaction& tx, std::string_view key, std::string_view fallback) {
    auto st = tx.db().prepare("SELECT value FROM settings WHERE key = ?1");
    st.bind(1, key);
    if (!st.step()) return std::string(fallback);
    return st.text(0);
}

void put(Transaction& tx, std::string_view key, std::string_view value) {
    auto st = tx.db().prepare(
        "INSERT INTO settings(key, value) VALUES(?1, ?2) "
        "ON CONFLICT(key) DO UPDATE SET value = excluded.value");
    st.bind(1, key).bind(2, value);
    st.run();
}

int clientVersion(Transaction& tx) {
    return text::parseInt(get(tx, "client_version", "100")).value_or(100);
}

void setClientVersion(Transaction& tx, int version) {
    put(tx, "client_version", std::to_string(version));
}

}  // namespace server::settings
