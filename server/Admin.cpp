#include "server/Admin.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>

#include "server/Catalogue.h"
#include "server/Database.h"
#include "server/Members.h"
#include "server/Messages.h"
#include "server/Settings.h"
#include "server/Tasks.h"
#include "server/Text.h"

namespace server::admin {

namespace fs = std::filesystem;

int64_t createUser(Service& s, std::string_view phone, std::string_view password,
                   std::string_view name, std::string_view mail, bool active) {
    if (std::string reason = accounts::checkNewAccount(name, mail, phone, password);
        !reason.empty()) {
        throw AdminError(reason);
    }
    const std::string hash = accounts::hashPassword(password, s.options().fastPasswordHashing);
    Transaction tx(s.db());
    if (accounts::byPhone(tx, phone)) throw AdminError("该手机号已经注册。");
    if (accounts::byMail(tx, mail)) throw AdminError("该邮箱已经注册。");
    const int64_t id = accounts::create(tx, phone, mail, name, hash, active, s.options().quotaMb);
    tx.commit();
    return id;
}

void activate(Service& s, std::string_view account) {
    Transaction tx(s.db());
    auto user = accounts::byAccount(tx, account);
    if (!user) user = accounts::byIdText(tx, account);
    if (!user) throw AdminError("no account " + std::string(account));
    accounts::activate(tx, user->id);
    tx.commit();
}

std::vector<User> listUsers(Service& s) {
    Transaction tx(s.db());
    return accounts::list(tx);
}

void addMessage(Service& s, std::string_view account, std::string_view date,
                std::string_view message) {
    const std::string when = date == "now" ? text::now() : std::string(date);
    if (!text::isDateTime(when)) throw AdminError("the date must be yyyy-MM-dd[ HH:mm[:ss]]");
    if (text::trim(account).empty()) throw AdminError("the account is empty");
    if (message.empty()) throw AdminError("the message is empty");
    Transaction tx(s.db());
    messages::add(tx, text::trim(account), when, text::normalize(message));
    tx.commit();
}

void setVersion(Service& s, int version) {
    Transaction tx(s.db());
    settings::setClientVersion(tx, version);
    tx.commit();
}

void setUpdatePackage(Service& s, const fs::path& file) {
    try {
        s.files().setUpdatePackage(file);
    } catch (const FileStoreError& e) {
        throw AdminError(e.what());
    }
}

std::string addFolder(Service& s, int64_t owner, std::string_view fileId, std::string_view pid,
                      std::string_view name) {
    Entry e;
    e.fileId = fileId.empty() ? newGuid() : std::string(fileId);
    e.pid = pid;
    e.name = name;
    e.itemType = 0;
    e.owner = owner;
    Transaction tx(s.db());
    if (catalogue::find(tx, e.fileId)) throw AdminError("the id " + e.fileId + " exists");
    catalogue::insert(tx, e);
    tx.commit();
    return e.fileId;
}

std::string addDrawing(Service& s, int64_t owner, std::string_view fileId, std::string_view pid,
                       std::string_view name, const fs::path& file) {
    std::string stored;
    try {
        stored = s.files().storeFile(file, FileStore::extensionOf(file.filename().string()));
    } catch (const FileStoreError& e) {
        throw AdminError(e.what());
    }
    Entry e;
    e.fileId = fileId.empty() ? newGuid() : std::string(fileId);
    e.pid = pid;
    e.name = name;
    e.itemType = 1;
    e.stored = stored;
    std::error_code ec;
    e.size = static_cast<int64_t>(fs::file_size(file, ec));
    e.owner = owner;
    Transaction tx(s.db());
    if (catalogue::find(tx, e.fileId)) {
        s.files().remove(stored);
        throw AdminError("the id " + e.fileId + " exists");
    }
    catalogue::insert(tx, e);
    tx.commit();
    return e.fileId;
}

void share(Service& s, int64_t owner, int64_t member) {
    Transaction tx(s.db());
    members::add(tx, owner, member);
    tx.commit();
}

int64_t addTask(Service& s, std::string_view fileId, int64_t author, std::string_view msgInfo,
                std::string_view jpeg, int status) {
    const std::string stored = jpeg.empty() ? std::string() : s.files().store(jpeg, ".jpg");
    Transaction tx(s.db());
    const int64_t id = tasks::add(tx, fileId, author, msgInfo, stored, text::now());
    if (status != 0) tasks::set(tx, id, msgInfo, status);
    tx.commit();
    return id;
}

std::vector<fs::path> drawingsIn(const fs::path& dir) {
    std::vector<std::pair<uintmax_t, fs::path>> found;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(dir, ec)) {
        if (!item.is_regular_file(ec)) continue;
        if (text::lowerAscii(item.path().extension().string()) != ".dwg") continue;
        found.emplace_back(item.file_size(ec), item.path());
    }
    std::sort(found.begin(), found.end());
    std::vector<fs::path> out;
    for (auto& f : found) out.push_back(std::move(f.second));
    return out;
}

}  // namespace server::admin
