#include "server/Accounts.h"

#include <sodium.h>

#include <stdexcept>

#include "server/Database.h"
#include "server/Text.h"

namespace server::accounts {

namespace {

constexpr const char* kUserColumns = "SELECT id, phone, mail, name, active, quota_mb FROM users ";

std::optional<User> one(Statement& st) {
    if (!st.step()) return std::nullopt;
    User u;
    u.id = st.integer(0);
    u.phone = st.text(1);
    u.mail = st.text(2);
    u.name = st.text(3);
    u.active = st.integer(4) != 0;
    u.quotaMb = st.integer(5);
    return u;
}

bool hasControlOrBlank(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) <= 32 || c == 127) return true;
    }
    return false;
}

}  // namespace

std::string hashPassword(std::string_view password, bool fast) {
    char out[crypto_pwhash_STRBYTES];
    const auto ops = fast ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE;
    const auto mem = fast ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE;
    if (crypto_pwhash_str(out, password.data(), password.size(), ops, mem) != 0) {
        throw std::runtime_error("password hashing ran out of memory");
    }
    return out;
}

bool verifyPassword(const std::string& hash, std::string_view password) {
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::string checkNewAccount(std::string_view name, std::string_view mail, std::string_view phone,
                            std::string_view password) {
    if (text::trim(name).empty()) return "姓名不能为空。";
    if (name.size() > 64) return "姓名太长。";
    // Names and mail addresses travel in answers that the client cuts at blanks,
    // commas, "|" and "!", so they may not contain them.
    if (!text::isToken(name)) return "姓名不能包含空格、逗号、引号、竖线或感叹号。";
    if (password.size() < 6) return "请输入6位以上的密码。";
    if (password.size() > 128) return "密码太长。";
    const size_t at = mail.find('@');
    if (at == std::string_view::npos || at == 0 || at + 1 == mail.size() || mail.size() > 128 ||
        !text::isToken(mail)) {
        return "您的邮箱地址格式不正确。";
    }
    if (phone.empty() || phone.size() > 32 || hasControlOrBlank(phone) || !text::isToken(phone)) {
        return "您的手机号格式不正确。";
    }
    return {};
}

std::optional<User> byId(Transaction& tx, int64_t id) {
    auto st = tx.db().prepare(std::string(kUserColumns) + "WHERE id = ?1");
    st.bind(1, id);
    return one(st);
}

std::optional<User> byIdText(Transaction& tx, std::string_view text) {
    const std::string t = text::trim(text);
    if (t.empty() || t.size() > 18) return std::nullopt;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    return byId(tx, std::stoll(t));
}

std::optional<User> byPhone(Transaction& tx, std::string_view phone) {
    auto st = tx.db().prepare(std::string(kUserColumns) + "WHERE phone = ?1");
    st.bind(1, phone);
    return one(st);
}

std::optional<User> byMail(Transaction& tx, std::string_view mail) {
    auto st = tx.db().prepare(std::string(kUserColumns) + "WHERE mail = ?1 COLLATE NOCASE");
    st.bind(1, mail);
    return one(st);
}

std::optional<User> byAccount(Transaction& tx, std::string_view account) {
    const std::string a = text::trim(account);
    if (a.empty()) return std::nullopt;
    if (auto u = byPhone(tx, a)) return u;
    return byMail(tx, a);
}

std::optional<std::string> passwordHash(Transaction& tx, int64_t id) {
    auto st = tx.db().prepare("SELECT pwhash FROM users WHERE id = ?1");
    st.bind(1, id);
    if (!st.step()) return std::nullopt;
    return st.text(0);
}

int64_t create(Transaction& tx, std::string_view phone, std::string_view mail,
               std::string_view name, std::string_view hash, bool active, int quotaMb) {
    auto st = tx.db().prepare(
        "INSERT INTO users(phone, mail, name, pwhash, active, quota_mb, created) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    st.bind(1, phone).bind(2, mail).bind(3, name).bind(4, hash).bind(5, active ? 1 : 0);
    st.bind(6, quotaMb).bind(7, text::now());
    st.run();
    return tx.db().lastInsertId();
}

bool activate(Transaction& tx, int64_t id) {
    auto st = tx.db().prepare("UPDATE users SET active = 1 WHERE id = ?1");
    st.bind(1, id);
    st.run();
    return tx.db().changes() > 0;
}

std::vector<User> list(Transaction& tx) {
    auto st = tx.db().prepare(std::string(kUserColumns) + "ORDER BY id");
    std::vector<User> out;
    while (auto u = one(st)) out.push_back(*u);
    return out;
}

int64_t usedBytes(Transaction& tx, int64_t id) {
    auto st = tx.db().prepare("SELECT COALESCE(SUM(size), 0) FROM entries WHERE owner = ?1");
    st.bind(1, id);
    st.step();
    return st.integer(0);
}

}  // namespace server::accounts
