#include "library/ExternalCad.h"

#include <QFileInfo>

#include "library/EntryNames.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/ShellLink.h"

namespace library {

std::optional<QString> ExternalCad::chooseProgram() {
    const platform::Answer answer = platform::dialogs().messageBox(
        QStringLiteral("此前您没有进行图纸编辑，请先选择CAD的应用程序。"), QStringLiteral("选择"),
        platform::Buttons::OkCancel, platform::Icon::Question);
    if (answer != platform::Answer::Ok) return std::nullopt;
    platform::OpenFileRequest request;
    request.filter = QStringLiteral("Autodesk CAD软件|*.exe");
    request.multiSelect = false;
    const platform::OpenFileResult result = platform::dialogs().openFiles(request);
    if (result.files.isEmpty()) return std::nullopt;
    return programFromChoice(result.files.first());
}

QString ExternalCad::programFromChoice(const QString& chosen) {
    if (extensionOf(chosen) == QLatin1String(".exe")) return chosen;
    QString target = platform::shellLinkTarget(chosen);
    if (target.isEmpty()) return {};
    if (!QFileInfo::exists(target)) {
        const qsizetype x86 = target.indexOf(QLatin1String(" (x86)"));
        if (x86 >= 0) target.remove(x86, 6);
    }
    return QFileInfo::exists(target) ? target : QString();
}

bool ExternalCad::launch(TFiles& entry, const QString& program) {
    if (entry.LocalState != 1 && entry.LocalState != 3) return false;
    platform::shell().run(program, QLatin1Char('"') + entry.LocalPath + QLatin1Char('"'));
    entry.LocalModified = true;
    return true;
}

}  // namespace library
