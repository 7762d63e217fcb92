#include "platform/testing/FakeShell.h"

namespace platform::testing {

bool FakeShell::open(const QString& target) {
    calls_.push_back(ShellCall{ShellCall::Kind::Open, target, QString()});
    return result_;
}

bool FakeShell::run(const QString& program, const QString& parameters) {
    calls_.push_back(ShellCall{ShellCall::Kind::Run, program, parameters});
    return result_;
}

}  // namespace platform::testing
