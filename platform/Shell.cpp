#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <atomic>

namespace platform {

namespace {

QUrl urlForTarget(const QString& target) {
    // Addresses with a scheme of two or more letters go to the browser; anything else,
    // including "C:\..." drive paths, is a local file or folder.
    const qsizetype colon = target.indexOf(QLatin1Char(':'));
    if (colon > 1 && target.mid(colon, 3) == QLatin1String("://")) return QUrl(target);
    return QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
}

class DesktopShell final : public Shell {
public:
    bool open(const QString& target) override {
        if (target.isEmpty()) return false;
        const QUrl url = urlForTarget(target);
        if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) return false;
        return QDesktopServices::openUrl(url);
    }

    bool run(const QString& program, const QString& parameters) override {
        if (program.isEmpty()) return false;
        // The parameter text is one command-line tail; quoted parts stay together.
        return QProcess::startDetached(program, QProcess::splitCommand(parameters));
    }
};

std::atomic<Shell*> g_installed{nullptr};

}  // namespace

Shell& shell() {
    if (Shell* installed = g_installed.load()) return *installed;
    static DesktopShell real;
    return real;
}

void setShell(Shell* instance) {
    g_installed.store(instance);
}

}  // namespace platform
