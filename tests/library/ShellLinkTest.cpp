// The shortcut reader against shortcut files made here in every supported form, broken
// ones, and the worked example of the format's reference when the shared folder is there.
#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/ShellLink.h"
#include "tests/library/ShellLinkWriter.h"

using platform::shellLinkTarget;
using platform::shellLinkTargetFromBytes;
using testlnk::LinkSpec;
using testlnk::makeShellLink;

TEST(ShellLinkTest, LocalBasePathInTheSystemCodePageGivesTheTarget) {
    LinkSpec spec;
    spec.localBaseAnsi = QStringLiteral("D:\\软件\\CAD 2020\\cad.exe");
    EXPECT_EQ(shellLinkTargetFromBytes(makeShellLink(spec)), *spec.localBaseAnsi);
}

TEST(ShellLinkTest, CommonPathSuffixIsAppendedToTheLocalBasePath) {
    LinkSpec spec;
    spec.localBaseAnsi = QStringLiteral("C:\\Program Files\\");
    spec.suffix = QStringLiteral("Tool\\cad.exe");
    EXPECT_EQ(shellLinkTargetFromBytes(makeShellLink(spec)),
              QStringLiteral("C:\\Program Files\\Tool\\cad.exe"));
}

TEST(ShellLinkTest, UnicodeLocalBasePathIsPreferredWhenPresent) {
    LinkSpec spec;
    spec.localBaseAnsi = QStringLiteral("C:\\ANSI\\cad.exe");
    spec.localBaseUnicode = QStringLiteral("C:\\統一\\cad.exe");
    EXPECT_EQ(shellLinkTargetFromBytes(makeShellLink(spec)), QStringLiteral("C:\\統一\\cad.exe"));
}

TEST(ShellLinkTest, NetworkShareNameIsJoinedWithTheSuffix) {
    LinkSpec spec;
    spec.networkName = QStringLiteral("\\\\server\\cad");
    spec.suffix = QStringLiteral("bin\\cad.exe");
    EXPECT_EQ(shellLinkTargetFromBytes(makeShellLink(spec)),
              QStringLiteral("\\\\server\\cad\\bin\\cad.exe"));
}

TEST(ShellLinkTest, IdListAloneSpellsThePathWithLongNames) {
    for (int version : {3, 7, 8, 9}) {
        LinkSpec spec;
        spec.idListPath = QStringLiteral("C:\\Program Files (x86)\\CAD 2014\\cad.exe");
        spec.extensionVersion = version;
        EXPECT_EQ(shellLinkTargetFromBytes(makeShellLink(spec)), *spec.idListPath)
            << "extension version " << version;
    }
}

TEST(ShellLinkTest, LinkInfoWinsOverTheIdListUnlessItIsToBeIgnored) {
    LinkSpec spec;
    spec.idListPath = QStringLiteral("C:\\Old\\cad.exe");
    spec.localBaseAnsi = QStringLiteral("C:\\New\\cad.exe");
    EXPECT_EQ(shellLinkTargetFromBytes(makeShellLink(spec)), QStringLiteral("C:\\New\\cad.exe"));
    spec.forceNoLinkInfo = true;
    EXPECT_EQ(shellLinkTargetFromBytes(makeShellLink(spec)), QStringLiteral("C:\\Old\\cad.exe"));
}

TEST(ShellLinkTest, WhatIsNoShortcutGivesAnEmptyPath) {
    LinkSpec spec;
    spec.localBaseAnsi = QStringLiteral("C:\\a.exe");
    QByteArray wrongClass = makeShellLink(spec);
    wrongClass[5] = 0x15;
    EXPECT_TRUE(shellLinkTargetFromBytes(wrongClass).isEmpty());
    QByteArray wrongHeader = makeShellLink(spec);
    wrongHeader[0] = 0x4D;
    EXPECT_TRUE(shellLinkTargetFromBytes(wrongHeader).isEmpty());
    EXPECT_TRUE(shellLinkTargetFromBytes(QByteArray()).isEmpty());
    EXPECT_TRUE(shellLinkTargetFromBytes(QByteArray("MZ\x90\0", 4)).isEmpty());
    EXPECT_TRUE(shellLinkTarget(QStringLiteral("/nonexistent/link.lnk")).isEmpty());
}

TEST(ShellLinkTest, EveryTruncationGivesEmptyOrTheFullPathAndNeverCrashes) {
    LinkSpec spec;
    spec.idListPath = QStringLiteral("C:\\Tools\\cad.exe");
    spec.localBaseAnsi = QStringLiteral("C:\\Tools\\cad.exe");
    spec.localBaseUnicode = QStringLiteral("C:\\Tools\\cad.exe");
    const QByteArray whole = makeShellLink(spec);
    for (qsizetype n = 0; n < whole.size(); ++n) {
        const QString path = shellLinkTargetFromBytes(whole.left(n));
        EXPECT_TRUE(path.isEmpty() || path == *spec.idListPath)
            << "cut at " << n << ": " << path.toStdString();
    }
}

TEST(ShellLinkTest, UnterminatedStringsAndWildOffsetsGiveAnEmptyPath) {
    LinkSpec spec;
    spec.localBaseAnsi = QStringLiteral("C:\\a.exe");
    QByteArray bytes = makeShellLink(spec);
    // LinkInfo starts right after the header (no IDList); point LocalBasePathOffset far out.
    const int info = 0x4C;
    QByteArray wild = bytes;
    wild[info + 0x10] = char(0xFF);
    wild[info + 0x11] = char(0xFF);
    wild[info + 0x13] = char(0x7F);
    EXPECT_TRUE(shellLinkTargetFromBytes(wild).isEmpty());
    // Drop every NUL after the header: no string is terminated any more.
    QByteArray unterminated = bytes.left(info + 0x1C) + QByteArray(64, 'A');
    EXPECT_TRUE(shellLinkTargetFromBytes(unterminated).isEmpty());
}

TEST(ShellLinkTest, RandomDamageNeverCrashes) {
    LinkSpec spec;
    spec.idListPath = QStringLiteral("C:\\Program Files\\Tool\\cad.exe");
    spec.localBaseAnsi = QStringLiteral("C:\\Program Files\\");
    spec.localBaseUnicode = QStringLiteral("C:\\Program Files\\");
    spec.suffix = QStringLiteral("Tool\\cad.exe");
    const QByteArray whole = makeShellLink(spec);
    QRandomGenerator random(20261209);
    for (int round = 0; round < 3000; ++round) {
        QByteArray damaged = whole;
        const int flips = 1 + random.bounded(4);
        for (int i = 0; i < flips; ++i) {
            damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
        }
        (void)shellLinkTargetFromBytes(damaged);
    }
    SUCCEED();
}

TEST(ShellLinkTest, FilesAreReadFromDiskAndOversizedOnesAreRefused) {
    QTemporaryDir dir;
    LinkSpec spec;
    spec.localBaseAnsi = QStringLiteral("C:\\a.exe");
    const QString link = dir.filePath(QStringLiteral("cad.lnk"));
    ASSERT_TRUE(testlnk::writeFile(link, makeShellLink(spec)));
    EXPECT_EQ(shellLinkTarget(link), QStringLiteral("C:\\a.exe"));
    const QString big = dir.filePath(QStringLiteral("big.lnk"));
    ASSERT_TRUE(testlnk::writeFile(
        big, makeShellLink(spec) + QByteArray(platform::kMaxShellLinkSize, '\0')));
    EXPECT_TRUE(shellLinkTarget(big).isEmpty());
}

// The worked example of the format reference: a shortcut to "C:\test\a.txt".
TEST(ShellLinkTest, TheReferenceExampleGivesItsTarget) {
    QFile reference(QStringLiteral(ORVANE_SHARED_DIR) + "/reference/ms-shllink-2012.txt");
    if (!reference.open(QIODevice::ReadOnly)) {
        GTEST_SKIP() << "the shared reference folder is not there: " << ORVANE_SHARED_DIR;
    }
    const QString text = QString::fromUtf8(reference.readAll());
    const qsizetype to = text.indexOf(QStringLiteral("HeaderSize: (4 bytes"));
    const qsizetype from = text.lastIndexOf(QStringLiteral("Shortcut to a File"), to);
    ASSERT_GT(from, 0);
    ASSERT_GT(to, from);
    QByteArray bytes;
    static const QRegularExpression row(
        QStringLiteral("^\\s*([0-9A-F]{4})((?:\\s+[0-9A-F]{2}){1,16})\\s*$"),
        QRegularExpression::MultilineOption);
    auto rows = row.globalMatch(text.mid(from, to - from));
    while (rows.hasNext()) {
        const auto match = rows.next();
        ASSERT_EQ(match.captured(1).toInt(nullptr, 16), bytes.size());
        for (const QString& hex : match.captured(2).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            bytes.append(char(hex.toInt(nullptr, 16)));
        }
    }
    ASSERT_GT(bytes.size(), 0x100);
    EXPECT_EQ(shellLinkTargetFromBytes(bytes), QStringLiteral("C:\\test\\a.txt"));
}
