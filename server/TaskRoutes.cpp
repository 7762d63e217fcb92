// Review task routes ("FileMng/FileMsgGet", "FileMsgSet", "FileMsgAdd").
#include "server/Accounts.h"
#include "server/Base64.h"
#include "server/Catalogue.h"
#include "server/DataPacket.h"
#include "server/Routes.h"
#include "server/Tasks.h"

namespace server::routes {

namespace {

constexpr size_t kMaxMsgInfo = 64 * 1024;

bool isJpeg(std::string_view bytes) {
    return bytes.size() >= 4 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xD8 &&
           static_cast<unsigned char>(bytes[2]) == 0xFF;
}

// The task text of FileMsgSet: Base64 of the client's GBK bytes.
std::optional<std::string> decodeMsgInfo(std::string_view b64) {
    auto bytes = base64::decode(b64);
    if (!bytes || bytes->size() > kMaxMsgInfo) return std::nullopt;
    if (auto utf8 = text::gbkToUtf8(*bytes)) return utf8;
    if (text::isUtf8(*bytes)) return bytes;
    return std::nullopt;
}

}  // namespace

Reply fileMsgGet(Service& s, const Request& r) {
    const std::string fileId = text::trim(r.value("fileId"));
    DataPacket packet({"FileId", "Id", "MsgInfo", "MsgDate", "Status", "UserName", "FilePath"});
    Transaction tx(s.db());
    for (const auto& t : tasks::forFile(tx, fileId)) {
        packet.addRow({t.fileId, std::to_string(t.id), t.msgInfo, t.msgDate,
                       std::to_string(t.status), t.userName, s.fileAddress(r.host, t.stored)});
    }
    return Reply::text(packet.base64());
}

Reply fileMsgSet(Service& s, const Request& r) {
    const auto id = text::parseInt(text::trim(r.value("id")));
    const auto status = text::parseInt(text::trim(r.value("status")));
    if (!id) return Reply::text("N,任务不存在。");
    if (!status || *status < 0 || *status > 2) return Reply::text("N,状态不正确。");
    // The query parser keeps "+" as it is, so the Base64 arrives intact.
    const auto info = decodeMsgInfo(r.value("msgInfo"));
    if (!info) return Reply::text("N,内容不正确。");
    Transaction tx(s.db());
    if (!tasks::byId(tx, *id)) return Reply::text("N,任务不存在。");
    tasks::set(tx, *id, *info, *status);
    tx.commit();
    return Reply::text("Y");
}

Reply fileMsgAdd(Service& s, const Request& r) {
    const std::string fileId = text::trim(r.value("fileId"));
    const std::string info = r.value("msgInfo");
    if (info.size() > kMaxMsgInfo) return Reply::text("N,内容太长。");
    const Upload* picture = r.firstUpload();
    if (picture && !isJpeg(picture->content)) return Reply::text("N,图片不是JPEG格式。");

    std::string stored;
    {
        Transaction tx(s.db());
        auto user = accounts::byIdText(tx, r.value("userId"));
        if (!user || !user->active) return Reply::text("N,用户不存在。");
        auto entry = catalogue::find(tx, fileId);
        if (!entry || entry->itemType != 1 || !catalogue::canSee(tx, *entry, user->id)) {
            return Reply::text("N,图纸不存在。");
        }
        if (picture) {
            try {
                stored = s.files().store(picture->content, ".jpg");
            } catch (const FileStoreError&) {
                return Reply::text("N,服务器保存图片失败。");
            }
        }
        try {
            tasks::add(tx, fileId, user->id, info, stored, text::now());
            tx.commit();
        } catch (...) {
            if (!stored.empty()) s.files().remove(stored);
            throw;
        }
    }
    return Reply::text("Y," + s.fileAddress(r.host, stored));
}

}  // namespace server::routes
