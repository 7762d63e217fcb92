#pragma once
// Service-wide values kept in the database (the published client version).
// Runs inside the caller's Transaction.
#include <string>
#include <string_view>

namespace server {
class Transaction;
namespace settings {

// The client version the service publishes; 100 until set.
int clientVersion(Transaction& tx);
void setClientVersion(Transaction& tx, int version);

std::string get(Transaction& tx, std::string_view key, std::string_view fallback);
void put(Transaction& tx, std::string_view key, std::string_view value);

}  // namespace settings
}  // namespace server
