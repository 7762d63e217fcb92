#pragma once
// User accounts: sign-up checks, Argon2id password hashes, lookups.
// Lookups and writes run inside the caller's Transaction; hashing is slow on
// purpose and runs outside any transaction.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace server {

class Transaction;

struct User {
    int64_t id = 0;
    std::string phone;
    std::string mail;
    std::string name;
    bool active = false;
    int64_t quotaMb = 0;
};

namespace accounts {

// Argon2id hash string of a password: libsodium's interactive limits, or its
// minimum ones when `fast` (tests).
std::string hashPassword(std::string_view password, bool fast = false);
bool verifyPassword(const std::string& hash, std::string_view password);

// The reason, for the user, why these sign-up entries cannot make an account;
// empty when they can. The texts hold no blank and no comma.
std::string checkNewAccount(std::string_view name, std::string_view mail, std::string_view phone,
                            std::string_view password);

std::optional<User> byId(Transaction& tx, int64_t id);
// `text` is a decimal id as the client sends it back.
std::optional<User> byIdText(Transaction& tx, std::string_view text);
std::optional<User> byPhone(Transaction& tx, std::string_view phone);
std::optional<User> byMail(Transaction& tx, std::string_view mail);
// The account text of the login box: a phone number, or else a mail address.
std::optional<User> byAccount(Transaction& tx, std::string_view account);
std::optional<std::string> passwordHash(Transaction& tx, int64_t id);

// Inserts an account (entries already checked, hash already made); returns its id.
int64_t create(Transaction& tx, std::string_view phone, std::string_view mail,
               std::string_view name, std::string_view hash, bool active, int quotaMb);
bool activate(Transaction& tx, int64_t id);
std::vector<User> list(Transaction& tx);

// Bytes of stored drawings that count against the user's allowance.
int64_t usedBytes(Transaction& tx, int64_t id);

}  // namespace accounts
}  // namespace server
