#include "shell/Settings.h"

#include <QFileInfo>

namespace shell {

namespace {
const QString kDf = QStringLiteral("df");
const QString kUser = QStringLiteral("user");
}  // namespace

QString formatMessageDate(const QDateTime& moment) {
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

StoredSettings ReadSettings(const platform::IniFile& file, const QDateTime& now) {
    StoredSettings s;
    for (int n = 1; n <= kRecentFilesRead; ++n) {
        const QString path = file.readString(kDf, kDf + QString::number(n), QString());
        // Only regular files: a folder of the same name cannot be opened as a drawing.
        if (!path.isEmpty() && QFileInfo(path).isFile()) s.recentFiles.append(path);
    }
    s.messageDate = file.readString(kUser, QStringLiteral("msgDate"), formatMessageDate(now));
    s.cadProgramPath = file.readString(kUser, QStringLiteral("AutoCADPath"), QString());
    s.rememberLogin = file.readBool(kUser, QStringLiteral("chk"), false);
    if (s.rememberLogin) {
        s.account = file.readString(kUser, QStringLiteral("name"), QString());
        s.password = file.readString(kUser, QStringLiteral("pwd"), QString());
    }
    return s;
}

void SaveRecentFiles(platform::IniFile& file, const QStringList& recentFiles) {
    for (int i = 0; i < recentFiles.size(); ++i)
        file.writeString(kDf, kDf + QString::number(i + 1), recentFiles.at(i));
}

void SaveSettings(platform::IniFile& file, const SettingsToSave& values) {
    file.writeString(kUser, QStringLiteral("chk"),
                     values.rememberLogin ? QStringLiteral("1") : QStringLiteral("0"));
    file.writeString(kUser, QStringLiteral("msgDate"), values.messageDate);
    file.writeString(kUser, QStringLiteral("AutoCADPath"), values.cadProgramPath);
    if (!values.loggedIn) return;
    file.writeString(kUser, QStringLiteral("name"),
                     values.rememberLogin ? values.account : QString());
    file.writeString(kUser, QStringLiteral("pwd"),
                     values.rememberLogin ? values.password : QString());
}

}  // namespace shell
