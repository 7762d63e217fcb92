#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "ServiceFixture.h"

namespace {

using testsupport::ScriptedReply;

class DownloadToFile : public ServiceFixture {
protected:
    QString url(const char* path) const { return QString::fromLatin1(server_.baseUrl() + path); }
    QString target(const QString& name = "drawing.dwg") const { return dir_.filePath(name); }
    static QByteArray contentOf(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    void writeOld(const QString& path) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old good drawing");
    }
    // Only the named files lie in the folder: no temporary file is left behind.
    QStringList folderEntries() const {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    QTemporaryDir dir_;
};

TEST_F(DownloadToFile, WritesTheBodyByteForByteWithoutUnwrapping) {
    const QByteArray body("\"AC1015\0\r\n\xFF\"", 12);
    server_.enqueue(ScriptedReply::http(200, body, "application/octet-stream"));
    EXPECT_TRUE(ucm::DownloadToFile(url("File\\abc.dwg"), target()));
    EXPECT_EQ(contentOf(target()), body);
    EXPECT_EQ(onlyRequest().target, "/File\\abc.dwg") << "the address goes out unchanged";
    EXPECT_EQ(folderEntries(), QStringList({"drawing.dwg"}));
}

TEST_F(DownloadToFile, ReplacesAnExistingFile) {
    writeOld(target());
    server_.enqueue(ScriptedReply::http(200, "new"));
    EXPECT_TRUE(ucm::DownloadToFile(url("File/x.dwg"), target()));
    EXPECT_EQ(contentOf(target()), "new");
}

TEST_F(DownloadToFile, KeepsTheOldFileWhenTheServerAnswers404) {
    writeOld(target());
    server_.enqueue(ScriptedReply::http(404, "<html>not found</html>"));
    EXPECT_FALSE(ucm::DownloadToFile(url("File/x.dwg"), target()));
    EXPECT_EQ(contentOf(target()), "old good drawing");
    EXPECT_EQ(folderEntries(), QStringList({"drawing.dwg"}));
}

TEST_F(DownloadToFile, LeavesNoErrorPageBehindWhenThereWasNoFile) {
    server_.enqueue(ScriptedReply::http(500, "error page"));
    EXPECT_FALSE(ucm::DownloadToFile(url("File/x.dwg"), target()));
    EXPECT_FALSE(QFile::exists(target()));
    EXPECT_TRUE(folderEntries().isEmpty());
}

TEST_F(DownloadToFile, KeepsTheOldFileWhenTheBodyBreaksOff) {
    writeOld(target());
    server_.enqueue(ScriptedReply::broken("partial", 1000));
    EXPECT_FALSE(ucm::DownloadToFile(url("File/x.dwg"), target()));
    EXPECT_EQ(contentOf(target()), "old good drawing");
    EXPECT_EQ(folderEntries(), QStringList({"drawing.dwg"}));
}

TEST_F(DownloadToFile, KeepsTheOldFileWhenTheServerStalls) {
    platform::setHttpTimeouts({2000, 500});
    writeOld(target());
    ScriptedReply stalled = ScriptedReply::broken("part", 100);
    stalled.holdOpenMs = 4000;
    server_.enqueue(stalled);
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(ucm::DownloadToFile(url("File/x.dwg"), target()));
    EXPECT_LT(timer.elapsed(), 3000) << "the stall limit ends the call, not the server";
    EXPECT_EQ(contentOf(target()), "old good drawing");
}

TEST_F(DownloadToFile, GivesFalseWhenNobodyListens) {
    writeOld(target());
    EXPECT_FALSE(ucm::DownloadToFile("http://127.0.0.1:1/File/x.dwg", target()));
    EXPECT_EQ(contentOf(target()), "old good drawing");
    EXPECT_FALSE(ucm::DownloadToFile("not an address", target()));
}

TEST_F(DownloadToFile, ThrowsWhenTheTargetCannotBeWritten) {
    const QString inMissingFolder = dir_.filePath("no/such/folder/x.dwg");
    EXPECT_THROW(ucm::DownloadToFile(url("File/x.dwg"), inMissingFolder), ucm::DownloadError);
    EXPECT_EQ(server_.connectionCount(), 0u) << "nothing is fetched for a target it cannot write";
    EXPECT_THROW(ucm::DownloadToFile(url("File/x.dwg"), dir_.path()), ucm::DownloadError);
    try {
        ucm::DownloadToFile(url("File/x.dwg"), inMissingFolder);
    } catch (const ucm::DownloadError& e) {
        EXPECT_NE(std::string(e.what()).find(inMissingFolder.toStdString()), std::string::npos);
    }
}

TEST_F(DownloadToFile, StreamsABodyLargerThanAnyBuffer) {
    QByteArray big(5 * 1024 * 1024 + 3, 'x');
    big[12345] = '\0';
    ScriptedReply reply = ScriptedReply::http(200, big, "application/octet-stream");
    reply.chunkBytes = 256 * 1024;
    server_.enqueue(reply);
    EXPECT_TRUE(ucm::DownloadToFile(url("File/big.dwg"), target()));
    EXPECT_EQ(contentOf(target()), big);
}

}  // namespace
