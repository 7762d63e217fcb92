#pragma once
// Review tasks on drawings. All functions run inside the caller's Transaction.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace server {

class Transaction;

struct Task {
    int64_t id = 0;
    std::string fileId;
    std::string msgInfo;
    std::string msgDate;   // "yyyy-MM-dd HH:mm:ss"
    int status = 0;        // 0 new, 1 closed, 2 discarded
    std::string userName;  // the creator's name
    std::string stored;    // stored picture name; may be empty
};

namespace tasks {

std::vector<Task> forFile(Transaction& tx, std::string_view fileId);
std::optional<Task> byId(Transaction& tx, int64_t id);
int64_t add(Transaction& tx, std::string_view fileId, int64_t author, std::string_view msgInfo,
            std::string_view stored, std::string_view date);
void set(Transaction& tx, int64_t id, std::string_view msgInfo, int status);

}  // namespace tasks
}  // namespace server
