#pragma once
// Reading and writing set.ini: the recent files, the message date, the CAD program
// path and the remembered login. Plain logic on platform::IniFile; the main window
// moves the values in and out of its widgets. UI thread only.
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "platform/IniFile.h"

namespace shell {

// What ReadSettings restores at start.
struct StoredSettings {
    QStringList recentFiles;     // existing files of "df1".."df10", in that order
    QString messageDate;         // "msgDate", or `now` formatted when missing
    QString cadProgramPath;      // "AutoCADPath"
    bool rememberLogin = false;  // "chk"
    QString account;             // "name", only when rememberLogin
    QString password;            // "pwd", only when rememberLogin
};

// What SaveSettings writes at exit.
struct SettingsToSave {
    bool rememberLogin = false;  // the "记住密码" tick
    QString messageDate;
    QString cadProgramPath;
    bool loggedIn = false;  // somebody is logged in: "name" and "pwd" are written
    QString account;        // account box text, as shown
    QString password;       // password box text, as typed
};

constexpr int kRecentFilesRead = 10;

// The "yyyy-MM-dd HH:mm:ss" form of the message date.
QString formatMessageDate(const QDateTime& moment);

StoredSettings ReadSettings(const platform::IniFile& file, const QDateTime& now);
// Writes every entry as "df1", "df2", ...; higher keys keep what they held.
// Throws platform::IniWriteError when the file cannot be written.
void SaveRecentFiles(platform::IniFile& file, const QStringList& recentFiles);
// Writes "chk", "msgDate", "AutoCADPath", then "name"/"pwd" only while logged in.
// Throws platform::IniWriteError when the file cannot be written.
void SaveSettings(platform::IniFile& file, const SettingsToSave& values);

}  // namespace shell
