#pragma once
// Administration of the review service: the "orvane-server admin" commands, also
// callable in-process (tests seed a ReviewServer's service() with them).
// Every function runs its own transaction; refusals throw AdminError with a
// message for the operator. Not for use on the HTTP worker threads.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "server/Accounts.h"
#include "server/Service.h"

namespace server::admin {

class AdminError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Creates an account after the sign-up checks; active unless `active` is false.
int64_t createUser(Service& s, std::string_view phone, std::string_view password,
                   std::string_view name, std::string_view mail, bool active = true);
// Activates the account with this phone number, mail address or id.
void activate(Service& s, std::string_view account);
std::vector<User> listUsers(Service& s);
// `date` is "now" or "yyyy-MM-dd[ HH:mm[:ss]]"; `account` a phone, mail or "*".
void addMessage(Service& s, std::string_view account, std::string_view date,
                std::string_view message);
void setVersion(Service& s, int version);
void setUpdatePackage(Service& s, const std::filesystem::path& file);

// Catalogue content for seeding and tests. `fileId` empty makes a new GUID;
// the id used is returned.
std::string addFolder(Service& s, int64_t owner, std::string_view fileId, std::string_view pid,
                      std::string_view name);
std::string addDrawing(Service& s, int64_t owner, std::string_view fileId, std::string_view pid,
                       std::string_view name, const std::filesystem::path& file);
// `owner` shares the library with `member`.
void share(Service& s, int64_t owner, int64_t member);
// A task with an optional JPEG picture; returns the task id.
int64_t addTask(Service& s, std::string_view fileId, int64_t author, std::string_view msgInfo,
                std::string_view jpeg, int status = 0);

struct SeedReport {
    std::string phone;
    std::string password;
    std::string secondPhone;
    int drawings = 0;  // drawings in the demo libraries after seeding
};
// Demo accounts, libraries, sharing, tasks and messages; safe to run again.
// `drawings` are DWG files to put into the libraries (may be empty: folders only).
SeedReport seedDemo(Service& s, const std::vector<std::filesystem::path>& drawings);

// The DWG files of a folder, smallest first (a demo should open quickly).
std::vector<std::filesystem::path> drawingsIn(const std::filesystem::path& dir);

// "orvane-server admin --data DIR <command> ...": returns the process exit code.
int run(const std::vector<std::string>& args);

}  // namespace server::admin
