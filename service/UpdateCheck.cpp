#include "service/UpdateCheck.h"

#include <QFile>
#include <QFileInfo>
#include <cstdint>

#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "service/ucm.h"

namespace ucm {
namespace {

// A whole decimal number in the 32-bit range, optionally signed, nothing else.
bool readWholeNumber(const QString& text, qint64* value) {
    if (text.isEmpty()) return false;
    int start = (text[0] == u'-' || text[0] == u'+') ? 1 : 0;
    if (start == text.size()) return false;
    for (int i = start; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return false;
    }
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok && *value >= INT32_MIN && *value <= INT32_MAX;
}

}  // namespace

QString UpdatePackagePath() {
    return LocalRoot() + QStringLiteral("app.zip");
}

bool VersionIsCurrent() {
    const QString answer = ServiceGet(QStringLiteral("UserMng/GetVersion"));
    qint64 version = ClientVersion;
    if (!readWholeNumber(answer, &version)) version = ClientVersion;
    return version == ClientVersion;
}

void CheckForUpdate(const UiRunner& onUiThread) {
    if (VersionIsCurrent()) return;
    const QString package = UpdatePackagePath();
    if (QFileInfo::exists(package)) QFile::remove(package);  // failure ignored
    const bool fetched = DownloadToFile(ServiceBase() + QStringLiteral("File/app.zip"), package);
    if (!fetched || !QFileInfo::exists(package)) return;
    auto ask = [package] {
        const platform::Answer answer = platform::dialogs().messageBox(
            QStringLiteral("新版本已下载，是否安装？"), QStringLiteral("询问"),
            platform::Buttons::OkCancel, platform::Icon::Question);
        if (answer == platform::Answer::Ok) platform::shell().open(package);
    };
    if (onUiThread) {
        onUiThread(ask);
    } else {
        ask();
    }
}

}  // namespace ucm
