// The "orvane-server admin" command line.
#include <iostream>

#include "server/Admin.h"
#include "server/Text.h"

namespace server::admin {

namespace {

constexpr const char* kUsage =
    "usage: orvane-server admin --data DIR <command>\n"
    "commands:\n"
    "  create-user PHONE PASSWORD NAME MAIL   a new, active account\n"
    "  activate ACCOUNT                       allow a signed-up account to log in\n"
    "  list-users\n"
    "  add-message ACCOUNT DATE TEXT          ACCOUNT: phone, mail or *; DATE: now or\n"
    "                                         \"yyyy-MM-dd HH:mm:ss\"\n"
    "  set-version N                          the client version the service publishes\n"
    "  set-update-package FILE                the package served as File/app.zip\n"
    "  seed-demo [--drawings DIR]             demo accounts and libraries (idempotent)\n";

int usage() {
    std::cerr << kUsage;
    return 2;
}

int runCommand(Service& s, const std::string& cmd, const std::vector<std::string>& a) {
    if (cmd == "create-user" && a.size() == 4) {
        const int64_t id = createUser(s, a[0], a[1], a[2], a[3]);
        std::cout << "created user " << id << " (" << a[0] << ")\n";
    } else if (cmd == "activate" && a.size() == 1) {
        activate(s, a[0]);
        std::cout << "activated " << a[0] << "\n";
    } else if (cmd == "list-users" && a.empty()) {
        for (const auto& u : listUsers(s)) {
            std::cout << u.id << "\t" << u.phone << "\t" << u.mail << "\t" << u.name << "\t"
                      << (u.active ? "active" : "inactive") << "\n";
        }
    } else if (cmd == "add-message" && a.size() == 3) {
        addMessage(s, a[0], a[1], a[2]);
        std::cout << "message added for " << a[0] << "\n";
    } else if (cmd == "set-version" && a.size() == 1) {
        const auto v = text::parseInt(a[0]);
        if (!v) throw AdminError("the version must be a whole number");
        setVersion(s, *v);
        std::cout << "published client version " << *v << "\n";
    } else if (cmd == "set-update-package" && a.size() == 1) {
        setUpdatePackage(s, a[0]);
        std::cout << "update package set from " << a[0] << "\n";
    } else if (cmd == "seed-demo" && (a.empty() || (a.size() == 2 && a[0] == "--drawings"))) {
        std::vector<std::filesystem::path> drawings;
        if (!a.empty()) {
            if (!std::filesystem::is_directory(a[1])) throw AdminError("no folder " + a[1]);
            drawings = drawingsIn(a[1]);
        }
        const SeedReport r = seedDemo(s, drawings);
        std::cout << "demo login: phone " << r.phone << ", password " << r.password
                  << " (colleague: " << r.secondPhone << ", same password); " << r.drawings
                  << " drawings in the demo libraries\n";
    } else {
        return usage();
    }
    return 0;
}

}  // namespace

int run(const std::vector<std::string>& args) {
    std::filesystem::path data;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--data" && i + 1 < args.size()) {
            data = args[++i];
        } else {
            rest.push_back(args[i]);
        }
    }
    if (data.empty() || rest.empty()) return usage();
    try {
        ServiceOptions options;
        options.dataDir = data;
        Service service(options);
        return runCommand(service, rest[0], {rest.begin() + 1, rest.end()});
    } catch (const std::exception& e) {
        std::cerr << "orvane-server admin: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace server::admin
