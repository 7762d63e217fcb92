// Catalogue routes: listing, committing folders and drawings, and records of
// deletions and renames ("FileMng/GetFiles", "CommitFile2", "UpdateRecord").
#include <optional>

#include "server/Accounts.h"
#include "server/Catalogue.h"
#include "server/DataPacket.h"
#include "server/Routes.h"

namespace server::routes {

namespace {

constexpr int64_t kMiB = 1024 * 1024;
constexpr size_t kMaxName = 255;
constexpr size_t kMaxId = 64;

bool hasControl(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) < 32 || c == 127) return true;
    }
    return false;
}

// A file stored for a commit that is then refused must not stay behind.
class StoredFile {
public:
    StoredFile(FileStore& store, std::string name) : store_(store), name_(std::move(name)) {}
    ~StoredFile() {
        if (!kept_ && !name_.empty()) store_.remove(name_);
    }
    StoredFile(const StoredFile&) = delete;
    StoredFile& operator=(const StoredFile&) = delete;
    const std::string& name() const { return name_; }
    void keep() { kept_ = true; }

private:
    FileStore& store_;
    std::string name_;
    bool kept_ = false;
};

struct CommitForm {
    std::string id;
    std::string pid;
    std::string name;
};

// The reason a commit form cannot be used, or empty.
std::string checkCommitForm(const CommitForm& f) {
    if (text::trim(f.name).empty()) return "名称不能为空。";
    if (f.name.size() > kMaxName || hasControl(f.name)) return "名称不正确。";
    if (f.id.size() > kMaxId || hasControl(f.id)) return "编号不正确。";
    if (f.pid.size() > kMaxId || hasControl(f.pid)) return "上级目录不正确。";
    return {};
}

}  // namespace

Reply getFiles(Service& s, const Request& r) {
    Transaction tx(s.db());
    auto user = accounts::byIdText(tx, r.value("userId"));
    if (!user) return Reply::text("");
    DataPacket packet({"FileId", "Pid", "FileNewName", "ItemType", "FilePath", "Flag", "UserName"});
    for (const auto& e : catalogue::visibleTo(tx, user->id)) {
        packet.addRow({e.fileId, e.pid, e.name, std::to_string(e.itemType),
                       s.fileAddress(r.host, e.stored), std::to_string(e.flag), e.ownerName});
    }
    return Reply::text(packet.base64());
}

Reply commitFile2(Service& s, const Request& r) {
    CommitForm form{text::trim(r.value("id")), text::trim(r.value("pid")), r.value("fileName")};
    if (std::string reason = checkCommitForm(form); !reason.empty()) {
        return Reply::text("N," + reason);
    }
    if (form.id.empty()) form.id = newGuid();
    if (form.id == form.pid) return Reply::text("N,上级目录不正确。");

    // The upload is written before the transaction so that a large file does not
    // hold up other requests; it is removed again unless the commit succeeds.
    const Upload* upload = r.firstUpload();
    std::optional<StoredFile> stored;
    if (upload) {
        try {
            stored.emplace(s.files(), s.files().store(upload->content,
                                                      FileStore::extensionOf(upload->filename)));
        } catch (const FileStoreError&) {
            return Reply::text("N,服务器保存文件失败。");
        }
    }

    Transaction tx(s.db());
    auto user = accounts::byIdText(tx, r.value("userId"));
    if (!user || !user->active) return Reply::text("N,用户不存在。");
    const auto existing = catalogue::find(tx, form.id);
    if (existing && existing->owner != user->id) return Reply::text("N,无权修改该文件。");
    if (existing && upload && existing->itemType != 1) return Reply::text("N,目录不能保存文件。");
    if (!form.pid.empty()) {
        const auto parent = catalogue::find(tx, form.pid);
        if (parent && (parent->owner != user->id || parent->itemType == 1)) {
            return Reply::text("N,上级目录不正确。");
        }
        if (existing && catalogue::wouldLoop(tx, form.id, form.pid)) {
            return Reply::text("N,上级目录不正确。");
        }
    }
    const int64_t size = upload ? static_cast<int64_t>(upload->content.size()) : 0;
    const int64_t before = existing ? existing->size : 0;
    if (upload && accounts::usedBytes(tx, user->id) - before + size > user->quotaMb * kMiB) {
        return Reply::text("N,网盘空间不足。");
    }

    std::string replaced;
    if (existing) {
        std::optional<std::pair<std::string, int64_t>> file;
        if (stored) file.emplace(stored->name(), size);
        catalogue::update(tx, form.id, form.name, form.pid, file);
        if (stored) replaced = existing->stored;
    } else {
        Entry e;
        e.fileId = form.id;
        e.pid = form.pid;
        e.name = form.name;
        e.itemType = upload ? 1 : 0;
        e.stored = stored ? stored->name() : "";
        e.size = size;
        e.owner = user->id;
        catalogue::insert(tx, e);
    }
    tx.commit();
    if (!replaced.empty()) s.files().remove(replaced);
    if (!stored) return Reply::text("Y," + form.id);
    stored->keep();
    // The client names its local copy by this base name plus its own extension.
    const std::string& name = stored->name();
    return Reply::text("Y," + name.substr(0, name.find('.')));
}

Reply updateRecord(Service& s, const Request& r) {
    // The client sends one field per record: name = FileId, value = "2|name"
    // (delete) or "3|name" (rename). A "userId" field, when present, limits the
    // records to that user's own entries.
    std::vector<std::string> unusedFiles;
    int refused = 0;
    {
        Transaction tx(s.db());
        std::optional<User> user;
        if (r.has("userId")) {
            user = accounts::byIdText(tx, r.value("userId"));
            if (!user) return Reply::text("用户不存在。");
        }
        for (const auto& [fileId, value] : r.fields) {
            if (text::iequals(fileId, "userId")) continue;
            if (value.size() < 2 || value[1] != '|' || (value[0] != '2' && value[0] != '3')) {
                ++refused;
                continue;
            }
            const auto entry = catalogue::find(tx, fileId);
            if (!entry) continue;  // already gone, e.g. below a folder deleted just before
            if (user && entry->owner != user->id) {
                ++refused;
                continue;
            }
            if (value[0] == '2') {
                auto files = catalogue::removeTree(tx, fileId);
                unusedFiles.insert(unusedFiles.end(), files.begin(), files.end());
                continue;
            }
            const std::string name = value.substr(2);
            if (text::trim(name).empty() || name.size() > kMaxName || hasControl(name)) {
                ++refused;
                continue;
            }
            catalogue::rename(tx, fileId, name);
        }
        tx.commit();
    }
    for (const auto& f : unusedFiles) s.files().remove(f);
    if (refused > 0) return Reply::text("有" + std::to_string(refused) + "条记录未能保存。");
    return Reply::text("Y");
}

}  // namespace server::routes
