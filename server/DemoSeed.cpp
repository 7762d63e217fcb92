// The demo content that scripts/run puts into a fresh data folder.
#include <array>
#include <ctime>

#include "server/Admin.h"
#include "server/Catalogue.h"
#include "server/Database.h"
#include "server/DemoPicture.h"
#include "server/Members.h"
#include "server/Messages.h"
#include "server/Tasks.h"

namespace server::admin {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPassword = "orvane123";

struct DemoAccount {
    std::string_view phone;
    std::string_view name;
    std::string_view mail;
};
constexpr DemoAccount kDemo{"13800000000", "演示用户", "demo@orvane.test"};
constexpr DemoAccount kColleague{"13900000000", "李工", "li@orvane.test"};

// Fixed ids keep seeding idempotent: what exists is left alone.
struct Slot {
    std::string_view id;
    std::string_view pid;
    std::string_view name;  // folders only; drawings keep their file name
    bool colleague;         // in the colleague's library (shared with the demo user)
    bool drawing;
};
// Folders first, then drawings alternating between the two libraries, so that
// a few drawings already fill both views.
constexpr std::array<Slot, 14> kSlots{{
    {"{D0E00000-0000-4000-8000-000000000001}", "", "住宅项目", false, false},
    {"{D0E00000-0000-4000-8000-000000000002}", "{D0E00000-0000-4000-8000-000000000001}", "建筑",
     false, false},
    {"{D0E00000-0000-4000-8000-000000000003}", "{D0E00000-0000-4000-8000-000000000001}", "结构",
     false, false},
    {"{D0E00000-0000-4000-8000-000000000004}", "", "参考图纸", false, false},
    {"{D0E00000-0000-4000-8000-000000000021}", "", "办公楼项目", true, false},
    {"{D0E00000-0000-4000-8000-000000000011}", "{D0E00000-0000-4000-8000-000000000002}", "", false,
     true},
    {"{D0E00000-0000-4000-8000-000000000022}", "{D0E00000-0000-4000-8000-000000000021}", "", true,
     true},
    {"{D0E00000-0000-4000-8000-000000000012}", "{D0E00000-0000-4000-8000-000000000002}", "", false,
     true},
    {"{D0E00000-0000-4000-8000-000000000024}", "", "", true, true},
    {"{D0E00000-0000-4000-8000-000000000013}", "{D0E00000-0000-4000-8000-000000000003}", "", false,
     true},
    {"{D0E00000-0000-4000-8000-000000000014}", "{D0E00000-0000-4000-8000-000000000004}", "", false,
     true},
    {"{D0E00000-0000-4000-8000-000000000023}", "{D0E00000-0000-4000-8000-000000000021}", "", true,
     true},
    {"{D0E00000-0000-4000-8000-000000000015}", "", "", false, true},
    {"{D0E00000-0000-4000-8000-000000000025}", "", "", true, true},
}};
constexpr std::string_view kTaskDrawing = "{D0E00000-0000-4000-8000-000000000011}";

int64_t ensureUser(Service& s, const DemoAccount& a) {
    {
        Transaction tx(s.db());
        if (auto u = accounts::byPhone(tx, a.phone)) {
            if (!u->active) {
                accounts::activate(tx, u->id);
                tx.commit();
            }
            return u->id;
        }
    }
    return createUser(s, a.phone, kPassword, a.name, a.mail, true);
}

bool exists(Service& s, std::string_view fileId) {
    Transaction tx(s.db());
    return catalogue::find(tx, fileId).has_value();
}

int seedLibraries(Service& s, int64_t demo, int64_t colleague, const std::vector<fs::path>& files) {
    size_t next = 0;
    int drawings = 0;
    for (const auto& slot : kSlots) {
        const int64_t owner = slot.colleague ? colleague : demo;
        if (slot.drawing) {
            // Slot k always takes file k, so a second run adds nothing twice.
            if (exists(s, slot.id)) {
                ++drawings;
                ++next;
                continue;
            }
            if (next >= files.size()) continue;
            const fs::path& file = files[next++];
            addDrawing(s, owner, slot.id, slot.pid, file.filename().string(), file);
            ++drawings;
        } else if (!exists(s, slot.id)) {
            addFolder(s, owner, slot.id, slot.pid, slot.name);
        }
    }
    return drawings;
}

void seedTasks(Service& s, int64_t demo, int64_t colleague) {
    {
        Transaction tx(s.db());
        if (!catalogue::find(tx, kTaskDrawing) || !tasks::forFile(tx, kTaskDrawing).empty()) return;
    }
    addTask(s, kTaskDrawing, colleague, "李工:门窗尺寸与建筑说明不一致，请核对。",
            demoTaskPicture(0));
    addTask(s, kTaskDrawing, demo, "演示用户:轴线编号缺失。\r\n李工:已补充", demoTaskPicture(1), 1);
    addTask(s, kTaskDrawing, colleague, "李工:图框标题栏信息不全。", demoTaskPicture(2));
}

void seedMessages(Service& s) {
    // Dated a little ahead: the client asks for messages since its first start,
    // which comes right after seeding.
    const std::time_t later = std::time(nullptr) + 600;
    std::tm tm{};
    localtime_r(&later, &tm);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &tm);
    const std::array<std::pair<std::string_view, std::string_view>, 3> msgs{{
        {"*", "欢迎使用 OrvaneCAD 演示服务。"},
        {kDemo.phone, "李工与您共享了图纸库“办公楼项目”，请在“共享图纸”中查看。"},
        {kDemo.phone, "您有2个待处理的评审任务。"},
    }};
    Transaction tx(s.db());
    for (const auto& [account, msg] : msgs) {
        auto st = tx.db().prepare("SELECT 1 FROM messages WHERE account = ?1 AND text = ?2");
        st.bind(1, account).bind(2, msg);
        if (!st.step()) messages::add(tx, account, date, msg);
    }
    tx.commit();
}

}  // namespace

SeedReport seedDemo(Service& s, const std::vector<fs::path>& drawings) {
    const int64_t demo = ensureUser(s, kDemo);
    const int64_t colleague = ensureUser(s, kColleague);
    share(s, colleague, demo);
    SeedReport report;
    report.phone = kDemo.phone;
    report.password = kPassword;
    report.secondPhone = kColleague.phone;
    report.drawings = seedLibraries(s, demo, colleague, drawings);
    seedTasks(s, demo, colleague);
    seedMessages(s);
    return report;
}

}  // namespace server::admin
