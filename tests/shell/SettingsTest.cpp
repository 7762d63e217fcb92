// Reading and writing set.ini, and the default error report's text.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/IniFile.h"
#include "shell/ErrorReport.h"
#include "shell/Settings.h"

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    QString makeFile(const QString& name) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        return path;
    }
    QTemporaryDir dir;
    platform::IniFile ini{dir.filePath("set.ini")};
    const QDateTime now{QDate(2026, 3, 4), QTime(5, 6, 7)};
};

}  // namespace

TEST_F(SettingsFileTest, WithoutAFileEverythingStartsEmptyAndTheDateIsNow) {
    const auto s = shell::ReadSettings(ini, now);
    EXPECT_TRUE(s.recentFiles.isEmpty());
    EXPECT_EQ(s.messageDate, "2026-03-04 05:06:07");
    EXPECT_TRUE(s.cadProgramPath.isEmpty());
    EXPECT_FALSE(s.rememberLogin);
    EXPECT_TRUE(s.account.isEmpty());
    EXPECT_FALSE(QFile::exists(ini.path()));
}

TEST_F(SettingsFileTest, AtExitWithoutALoginOnlyChkDateAndCadPathAreWritten) {
    shell::SettingsToSave v{false, "2026-03-04 05:06:07", "", false, "13800000000", "pw"};
    shell::SaveSettings(ini, v);
    EXPECT_EQ(ini.readString("user", "chk", "?"), "0");
    EXPECT_EQ(ini.readString("user", "msgDate", "?"), "2026-03-04 05:06:07");
    EXPECT_EQ(ini.readString("user", "AutoCADPath", "?"), "");
    EXPECT_EQ(ini.readString("user", "name", "?"), "?");
    EXPECT_EQ(ini.readString("user", "pwd", "?"), "?");
}

TEST_F(SettingsFileTest, ADeletedDf3IsSkippedAndStaleHigherKeysAreReadAgain) {
    QStringList paths;
    for (int i = 1; i <= 5; ++i) paths << makeFile(QString("f%1.dwg").arg(i));
    shell::SaveRecentFiles(ini, paths);
    QFile::remove(paths[2]);
    auto s = shell::ReadSettings(ini, now);
    EXPECT_EQ(s.recentFiles, QStringList({paths[0], paths[1], paths[3], paths[4]}));

    // The four are written back; "df5" keeps its old value and is read a second time.
    shell::SaveRecentFiles(ini, s.recentFiles);
    EXPECT_EQ(ini.readString("df", "df4", ""), paths[4]);
    EXPECT_EQ(ini.readString("df", "df5", ""), paths[4]);
    s = shell::ReadSettings(ini, now);
    EXPECT_EQ(s.recentFiles, QStringList({paths[0], paths[1], paths[3], paths[4], paths[4]}));
}

TEST_F(SettingsFileTest, MoreThanTenRecentFilesAreAllWrittenButOnlyTenRead) {
    QStringList paths;
    for (int i = 1; i <= 12; ++i) paths << makeFile(QString("g%1.dwg").arg(i));
    shell::SaveRecentFiles(ini, paths);
    EXPECT_EQ(ini.readString("df", "df12", ""), paths[11]);
    EXPECT_EQ(shell::ReadSettings(ini, now).recentFiles, paths.mid(0, 10));
}

TEST_F(SettingsFileTest, EmptyAndFolderEntriesAreSkipped) {
    ini.writeString("df", "df1", "");
    ini.writeString("df", "df2", dir.path());
    const QString f = makeFile("h.dwg");
    ini.writeString("df", "df3", f);
    EXPECT_EQ(shell::ReadSettings(ini, now).recentFiles, QStringList({f}));
}

TEST_F(SettingsFileTest, TickOnWithoutALoginKeepsTheRememberedLogin) {
    ini.writeString("user", "chk", "1");
    ini.writeString("user", "name", "13800000000");
    ini.writeString("user", "pwd", " secret ");
    auto s = shell::ReadSettings(ini, now);
    ASSERT_TRUE(s.rememberLogin);
    EXPECT_EQ(s.account, "13800000000");
    EXPECT_EQ(s.password, " secret ");
    shell::SaveSettings(ini, {true, s.messageDate, "", false, "other", "other"});
    EXPECT_EQ(ini.readString("user", "chk", ""), "1");
    EXPECT_EQ(ini.readString("user", "name", ""), "13800000000");
    EXPECT_EQ(ini.readString("user", "pwd", ""), " secret ");
}

TEST_F(SettingsFileTest, TickOffKeepsNameAndPwdInTheFileButDoesNotLoadThem) {
    ini.writeString("user", "name", "13800000000");
    ini.writeString("user", "pwd", "secret");
    shell::SaveSettings(ini, {false, "d", "", false, "", ""});
    EXPECT_EQ(ini.readString("user", "chk", ""), "0");
    EXPECT_EQ(ini.readString("user", "name", ""), "13800000000");
    const auto s = shell::ReadSettings(ini, now);
    EXPECT_FALSE(s.rememberLogin);
    EXPECT_TRUE(s.account.isEmpty());
    EXPECT_TRUE(s.password.isEmpty());
}

TEST_F(SettingsFileTest, LoggedInWritesNameAndPwdAsShownOrEmptyWhenUnticked) {
    shell::SaveSettings(ini, {true, "d", "/opt/cad", true, " 138 ", "  pw  "});
    EXPECT_EQ(ini.readString("user", "name", "?"), " 138 ");
    EXPECT_EQ(ini.readString("user", "pwd", "?"), "  pw  ");
    EXPECT_EQ(ini.readString("user", "AutoCADPath", "?"), "/opt/cad");
    shell::SaveSettings(ini, {false, "d", "", true, "138", "pw"});
    EXPECT_EQ(ini.readString("user", "name", "?"), "");
    EXPECT_EQ(ini.readString("user", "pwd", "?"), "");
}

TEST_F(SettingsFileTest, ChkIsReadAsAWholeNumberWithTheHexRule) {
    ini.writeString("user", "chk", "0x0");
    EXPECT_FALSE(shell::ReadSettings(ini, now).rememberLogin);
    ini.writeString("user", "chk", "0x10");
    EXPECT_TRUE(shell::ReadSettings(ini, now).rememberLogin);
    ini.writeString("user", "chk", "yes");
    EXPECT_FALSE(shell::ReadSettings(ini, now).rememberLogin);
    ini.writeString("user", "chk", "2");
    EXPECT_TRUE(shell::ReadSettings(ini, now).rememberLogin);
}

TEST_F(SettingsFileTest, AnUnwritableFileRaisesUnableToWrite) {
    platform::IniFile broken(dir.filePath("missing/folder/set.ini"));
    try {
        shell::SaveSettings(broken, {});
        FAIL() << "no error";
    } catch (const platform::IniWriteError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), "Unable to write to " + broken.path());
    }
}

TEST(ErrorReportText, ADotIsAppendedOnlyAfterCharactersThatSortAfterIt) {
    EXPECT_EQ(shell::errorReportText("Disk full"), "Disk full.");
    EXPECT_EQ(shell::errorReportText("Done."), "Done.");
    EXPECT_EQ(shell::errorReportText("Stop!"), "Stop!");
    EXPECT_EQ(shell::errorReportText("a,"), "a,");
    EXPECT_EQ(shell::errorReportText("x-"), "x-");
    EXPECT_EQ(shell::errorReportText("code 7"), "code 7.");
    EXPECT_EQ(shell::errorReportText("文件不存在"), "文件不存在.");
    EXPECT_EQ(shell::errorReportText(""), "");
}
