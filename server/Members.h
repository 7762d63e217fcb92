#pragma once
// Sharing: an owner shares the whole library with members, who then see the
// owner's entries in their shared view. Runs inside the caller's Transaction.
#include <cstdint>
#include <vector>

#include "server/Accounts.h"

namespace server::members {

// The users with whom `owner` shares, in the order they were added.
std::vector<User> of(Transaction& tx, int64_t owner);
bool isMember(Transaction& tx, int64_t owner, int64_t member);
void add(Transaction& tx, int64_t owner, int64_t member);
void remove(Transaction& tx, int64_t owner, int64_t member);

}  // namespace server::members
