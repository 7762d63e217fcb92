#pragma once
// Shell double: records every "OPEN" and program start instead of doing it.
// Thread: use from one thread.
#include <QString>
#include <vector>

#include "platform/Shell.h"
#include "platform/testing/ScopedInstall.h"

namespace platform::testing {

struct ShellCall {
    enum class Kind { Open, Run } kind = Kind::Open;
    QString target;      // the document, folder or URL; or the program
    QString parameters;  // for Run
};

class FakeShell final : public Shell {
public:
    bool open(const QString& target) override;
    bool run(const QString& program, const QString& parameters) override;

    const std::vector<ShellCall>& calls() const { return calls_; }
    // What open() and run() report (true by default).
    void setResult(bool result) { result_ = result; }
    void clear() { calls_.clear(); }

private:
    std::vector<ShellCall> calls_;
    bool result_ = true;
};

using InstallShell = ScopedInstall<Shell, &shell, &setShell>;

}  // namespace platform::testing
