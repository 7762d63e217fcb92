#pragma once
// Messages to users, shown by the client's message box at start.
// All functions run inside the caller's Transaction.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace server {

class Transaction;

struct Message {
    int64_t id = 0;
    std::string account;  // phone, mail or "*" (everybody)
    std::string date;     // "yyyy-MM-dd HH:mm:ss"
    std::string text;
};

namespace messages {

// Messages addressed to any of `accounts` (at most three) or to everybody, dated at or after
// `fromDate`, oldest first.
std::vector<Message> since(Transaction& tx, const std::vector<std::string>& accounts,
                           std::string_view fromDate);
// Adds a message unless the same one (account, date, text) exists; true when added.
bool add(Transaction& tx, std::string_view account, std::string_view date, std::string_view text);

}  // namespace messages
}  // namespace server
