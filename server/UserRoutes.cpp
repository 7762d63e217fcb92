// Account, message, version and sharing routes ("UserMng/...").
#include <algorithm>

#include "server/Accounts.h"
#include "server/DataPacket.h"
#include "server/Members.h"
#include "server/Messages.h"
#include "server/Routes.h"
#include "server/Settings.h"

namespace server::routes {

namespace {

constexpr int64_t kMiB = 1024 * 1024;

// Refusals of the login carry three fields so that the client shows them; no
// field holds a blank or a comma.
constexpr std::string_view kWrongLogin = "账号或密码错误,请检查手机号和密码,然后重试。";
constexpr std::string_view kInactive = "账号尚未激活,请等待管理员确认,激活后即可登录。";

// Verifying against a real hash also for unknown accounts keeps the answer time
// from telling which phone numbers are registered.
const std::string& dummyHash(bool fast) {
    if (fast) {
        static const std::string quick = accounts::hashPassword("orvane-no-such-account", true);
        return quick;
    }
    static const std::string slow = accounts::hashPassword("orvane-no-such-account", false);
    return slow;
}

}  // namespace

Reply userLogon(Service& s, const Request& r) {
    const std::string account = text::trim(r.value("phone"));
    const std::string password = text::trim(r.value("password"));
    std::optional<User> user;
    std::optional<std::string> hash;
    int64_t used = 0;
    {
        Transaction tx(s.db());
        user = accounts::byAccount(tx, account);
        if (user) {
            hash = accounts::passwordHash(tx, user->id);
            used = accounts::usedBytes(tx, user->id);
        }
    }
    if (!user || !hash) {
        accounts::verifyPassword(dummyHash(s.options().fastPasswordHashing), password);
        return Reply::text(kWrongLogin);
    }
    if (!accounts::verifyPassword(*hash, password)) return Reply::text(kWrongLogin);
    if (!user->active) return Reply::text(kInactive);
    const int64_t freeMb = std::max<int64_t>(0, user->quotaMb * kMiB - used) / kMiB;
    return Reply::text("Y," + std::to_string(user->id) + "," + std::to_string(freeMb) + "," +
                       text::token(user->name));
}

Reply userRegister(Service& s, const Request& r) {
    const std::string name = text::trim(r.value("username"));
    const std::string mail = text::trim(r.value("mail"));
    const std::string phone = text::trim(r.value("phone"));
    // The login trims the password before sending it, so a password stored with
    // blanks around it could never be typed in again.
    const std::string password = text::trim(r.value("password"));
    if (std::string reason = accounts::checkNewAccount(name, mail, phone, password);
        !reason.empty()) {
        return Reply::text(reason);
    }
    const std::string hash = accounts::hashPassword(password, s.options().fastPasswordHashing);
    Transaction tx(s.db());
    if (accounts::byPhone(tx, phone)) return Reply::text("该手机号已经注册。");
    if (accounts::byMail(tx, mail)) return Reply::text("该邮箱已经注册。");
    accounts::create(tx, phone, mail, name, hash, s.options().autoActivate, s.options().quotaMb);
    tx.commit();
    return Reply::text("Y");
}

Reply getVersion(Service& s, const Request&) {
    Transaction tx(s.db());
    return Reply::text(std::to_string(settings::clientVersion(tx)));
}

Reply getMsg(Service& s, const Request& r) {
    // The client sends the text of its account box, not a user id; it is empty
    // when the login is not remembered, and then only messages to everybody go.
    const std::string account = text::trim(r.value("userId"));
    const std::string from = text::trim(r.value("fromdate"));
    DataPacket packet({"msginfo", "msgdate"});
    if (text::isDateTime(from)) {
        Transaction tx(s.db());
        std::vector<std::string> keys;
        if (auto user = accounts::byAccount(tx, account)) {
            keys = {user->phone, user->mail, account};
        } else if (!account.empty()) {
            keys = {account};
        }
        for (const auto& m : messages::since(tx, keys, from)) packet.addRow({m.text, m.date});
    }
    return Reply::text(packet.base64());
}

Reply friendsGet(Service& s, const Request& r) {
    Transaction tx(s.db());
    auto owner = accounts::byIdText(tx, r.value("userid"));
    if (!owner) return Reply::text("");
    std::string answer;
    for (const auto& m : members::of(tx, owner->id)) {
        if (!answer.empty()) answer += '|';
        // The client shows the second field as "Email" and the first as the name,
        // and sends the first back to remove the member.
        answer += text::token(m.name) + "!" + text::token(m.mail);
    }
    return Reply::text(answer);
}

namespace {

Reply addMember(Transaction& tx, const User& owner, const std::string& mail) {
    auto friendUser = accounts::byMail(tx, mail);
    if (!friendUser) friendUser = accounts::byPhone(tx, mail);
    if (!friendUser) return Reply::text("N,该邮箱尚未注册。");
    if (friendUser->id == owner.id) return Reply::text("N,不能添加自己。");
    if (members::isMember(tx, owner.id, friendUser->id)) return Reply::text("N,已经是共享成员。");
    members::add(tx, owner.id, friendUser->id);
    tx.commit();
    return Reply::text("Y," + text::token(friendUser->name));
}

Reply removeMember(Transaction& tx, const User& owner, const std::string& key) {
    // The client sends back the name column; mail addresses and phone numbers
    // are accepted too.
    std::vector<User> matches;
    const auto list = members::of(tx, owner.id);
    for (const auto& m : list) {
        if (text::iequals(m.mail, key) || m.phone == key) matches = {m};
    }
    if (matches.empty()) {
        for (const auto& m : list) {
            if (text::token(m.name) == key) matches.push_back(m);
        }
    }
    if (matches.empty()) return Reply::text("N,不是共享成员。");
    if (matches.size() > 1) return Reply::text("N,有同名成员无法删除。");
    members::remove(tx, owner.id, matches.front().id);
    tx.commit();
    return Reply::text("Y,已删除。");
}

}  // namespace

Reply friendsSet(Service& s, const Request& r) {
    const std::string mail = text::trim(r.value("mail"));
    const std::string flag = text::trim(r.value("flag"));
    Transaction tx(s.db());
    auto owner = accounts::byIdText(tx, r.value("userid"));
    if (!owner) return Reply::text("N,用户不存在。");
    if (mail.empty()) return Reply::text("N,请输入邮箱地址。");
    if (flag == "81") return addMember(tx, *owner, mail);
    if (flag == "71") return removeMember(tx, *owner, mail);
    return Reply::text("N,未知的操作。");
}

}  // namespace server::routes
