#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/Gbk.h"

namespace {

using platform::IniFile;
using platform::IniWriteError;

class Ini : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath("set.ini"); }
    QByteArray bytes() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeBytes(const QByteArray& content) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QTemporaryDir dir_;
};

TEST_F(Ini, ReadsDefaultsFromAFileThatDoesNotExist) {
    IniFile ini(path());
    EXPECT_EQ(ini.readString("user", "msgDate", "2020-01-01 00:00:00"), "2020-01-01 00:00:00");
    EXPECT_EQ(ini.readInteger("user", "chk", 7), 7);
    EXPECT_FALSE(ini.readBool("user", "chk", false));
    EXPECT_FALSE(QFile::exists(path())) << "reading creates nothing";
}

TEST_F(Ini, CreatesTheFileSectionAndKeyOnTheFirstWrite) {
    IniFile ini(path());
    ini.writeString("user", "chk", "1");
    EXPECT_EQ(bytes(), "[user]\r\nchk=1\r\n");
    ini.writeString("df", "df1", "/tmp/a.dwg");
    ini.writeString("user", "AutoCADPath", "C:\\cad\\cad.exe");
    EXPECT_EQ(bytes(),
              "[user]\r\nchk=1\r\nAutoCADPath=C:\\cad\\cad.exe\r\n\r\n[df]\r\ndf1=/tmp/a.dwg\r\n");
    EXPECT_EQ(ini.readString("df", "df1", ""), "/tmp/a.dwg");
}

TEST_F(Ini, ReplacesAValueInPlaceAndKeepsEverythingElseByteForByte) {
    writeBytes("; hand note\n[User]\nName = old\n\xFF\xFEjunk line\nother=x\n[df]\ndf1=a\n");
    IniFile ini(path());
    ini.writeString("user", "name", "new");
    EXPECT_EQ(
        bytes(),
        "; hand note\r\n[User]\r\nname=new\r\n\xFF\xFEjunk line\r\nother=x\r\n[df]\r\ndf1=a\r\n");
}

TEST_F(Ini, MatchesSectionsAndKeysInAnyLetterCaseAndTrimsBlanks) {
    writeBytes("[ USER ]\r\n  Pwd  =  secret  \r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("user", "pwd", "-"), "secret");
    EXPECT_EQ(ini.readString("user", "name", "-"), "-");
    EXPECT_EQ(ini.readString("other", "pwd", "-"), "-");
}

TEST_F(Ini, StoresTextInGbkAndReadsItBack) {
    IniFile ini(path());
    ini.writeString("df", "df1", QStringLiteral("C:\\图纸\\完成.dwg"));
    EXPECT_TRUE(bytes().contains("df1=C:\\\xCD\xBC\xD6\xBD\\\xCD\xEA\xB3\xC9.dwg"));
    EXPECT_EQ(ini.readString("df", "df1", ""), QStringLiteral("C:\\图纸\\完成.dwg"));
}

TEST_F(Ini, KeepsLeadingAndTrailingBlanksAndQuotesOfAValue) {
    IniFile ini(path());
    for (const QString& value : {QStringLiteral("  pass word "), QStringLiteral("\"quoted\""),
                                 QStringLiteral("\""), QStringLiteral("a\"b")}) {
        ini.writeString("user", "pwd", value);
        EXPECT_EQ(ini.readString("user", "pwd", "-"), value) << value.toStdString();
    }
}

TEST_F(Ini, WritesALineBreakInsideAValueAsABlankSoNoKeyCanBeSmuggledIn) {
    IniFile ini(path());
    ini.writeString("user", "name", "evil\r\n[user]\r\npwd=stolen\nx");
    EXPECT_EQ(ini.readString("user", "name", ""), "evil [user] pwd=stolen x");
    EXPECT_EQ(ini.readString("user", "pwd", "none"), "none");
}

TEST_F(Ini, ReadsValuesUpTo2047BytesWithoutSplittingACharacter) {
    IniFile ini(path());
    const QString longAscii(3000, QLatin1Char('a'));
    ini.writeString("s", "k", longAscii);
    EXPECT_EQ(ini.readString("s", "k", ""), QString(2047, QLatin1Char('a')));
    EXPECT_TRUE(bytes().contains(longAscii.toLatin1())) << "the whole value is written";
    ini.writeString("s", "k", QString(2047, QLatin1Char('b')));
    EXPECT_EQ(ini.readString("s", "k", "").size(), 2047);
    // 1024 two-byte characters are 2048 bytes: the last one does not fit whole.
    ini.writeString("s", "k", QString(1024, QChar(0x5B8C)));
    EXPECT_EQ(ini.readString("s", "k", ""), QString(1023, QChar(0x5B8C)));
}

TEST_F(Ini, ReadsIntegersInDecimalOrAfter0xInHexadecimal) {
    writeBytes(
        "[n]\r\ndec=42\r\nneg=-7\r\nhex=0x1F\r\nHEX=0XfF\r\nshort=0x\r\nbad=12ab\r\nempty=\r\n"
        "big=99999999999\r\nallbits=0xFFFFFFFF\r\nbadhex=0xZZ\r\nword=yes\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readInteger("n", "dec", -1), 42);
    EXPECT_EQ(ini.readInteger("n", "neg", -1), -7);
    EXPECT_EQ(ini.readInteger("n", "hex", -1), 31);
    EXPECT_EQ(ini.readInteger("n", "Hex", -1), 31) << "first of two like-named keys";
    EXPECT_EQ(ini.readInteger("n", "short", -1), -1);
    EXPECT_EQ(ini.readInteger("n", "bad", -1), -1);
    EXPECT_EQ(ini.readInteger("n", "empty", -1), -1);
    EXPECT_EQ(ini.readInteger("n", "big", -1), -1);
    EXPECT_EQ(ini.readInteger("n", "allbits", 0), -1);
    EXPECT_EQ(ini.readInteger("n", "badhex", 5), 5);
    EXPECT_EQ(ini.readInteger("n", "word", 5), 5);
}

TEST_F(Ini, ReadsTruthAsAnyNumberOtherThanZero) {
    writeBytes("[user]\r\nchk=1\r\nzero=0\r\ntwo=2\r\nhex=0x0\r\ntext=true\r\n");
    IniFile ini(path());
    EXPECT_TRUE(ini.readBool("user", "chk", false));
    EXPECT_FALSE(ini.readBool("user", "zero", true));
    EXPECT_TRUE(ini.readBool("user", "two", false));
    EXPECT_FALSE(ini.readBool("user", "hex", true));
    EXPECT_TRUE(ini.readBool("user", "text", true)) << "no number gives the default";
    EXPECT_FALSE(ini.readBool("user", "text", false));
    ini.writeBool("user", "chk", false);
    EXPECT_EQ(ini.readString("user", "chk", ""), "0");
    ini.writeInteger("user", "n", -12);
    EXPECT_EQ(ini.readInteger("user", "n", 0), -12);
}

TEST_F(Ini, DeletesOneKeyAndLeavesTheRest) {
    IniFile ini(path());
    ini.writeString("df", "df1", "a");
    ini.writeString("df", "df2", "b");
    ini.deleteKey("df", "DF1");
    EXPECT_EQ(ini.readString("df", "df1", "-"), "-");
    EXPECT_EQ(ini.readString("df", "df2", "-"), "b");
    ini.deleteKey("none", "x");
}

TEST_F(Ini, ReportsAFileItCannotWriteByItsPath) {
    const QString missing = dir_.filePath("no-such-folder/set.ini");
    IniFile ini(missing);
    try {
        ini.writeString("user", "chk", "1");
        FAIL() << "no error";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + missing.toStdString());
    }
    EXPECT_EQ(ini.readString("user", "chk", "d"), "d");
}

TEST_F(Ini, ReplacesTheFileByRenamingANewOneOverItAndKeepsItPrivate) {
    IniFile ini(path());
    ini.writeString("user", "pwd", "secret");
    const QFileInfo info(path());
    EXPECT_EQ(info.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                    QFileDevice::WriteGroup | QFileDevice::WriteOther),
              QFileDevice::Permissions());
    // A second name for the old file keeps the old content: the file was replaced whole,
    // never rewritten in place, so a crash midway cannot leave half a file.
    const QString oldName = dir_.filePath("old.ini");
    ASSERT_EQ(::link(QFile::encodeName(path()).constData(), QFile::encodeName(oldName).constData()),
              0);
    ini.writeString("user", "pwd", "other");
    EXPECT_EQ(IniFile(oldName).readString("user", "pwd", ""), "secret");
    EXPECT_EQ(ini.readString("user", "pwd", ""), "other");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"old.ini", "set.ini"}));
}

TEST_F(Ini, KeepsTheOldFileWholeWhenTheNewOneCannotBeCreated) {
    IniFile ini(path());
    ini.writeString("user", "pwd", "secret");
    QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool ignored = QFileInfo(dir_.path()).isWritable();
    if (!ignored) {
        EXPECT_THROW(ini.writeString("user", "pwd", "other"), IniWriteError);
    }
    QFile::setPermissions(dir_.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (ignored) GTEST_SKIP() << "running with rights that ignore folder permissions";
    EXPECT_EQ(ini.readString("user", "pwd", ""), "secret");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"set.ini"}));
}

TEST_F(Ini, NeverRewritesAFileTooLargeToReadWhole) {
    QByteArray huge = "[user]\r\nchk=1\r\n";
    huge += QByteArray(IniFile::kMaxFileBytes, 'x');
    writeBytes(huge);
    IniFile ini(path());
    EXPECT_EQ(ini.readString("user", "chk", ""), "1");
    EXPECT_THROW(ini.writeString("user", "chk", "0"), IniWriteError);
    EXPECT_EQ(QFileInfo(path()).size(), huge.size());
}

}  // namespace
