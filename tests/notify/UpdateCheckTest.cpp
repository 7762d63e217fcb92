// The update check on the calling thread, against a scripted loopback service.
#include <QFile>

#include "service/UpdateCheck.h"
#include "tests/notify/NotifyFixtures.h"

using notifytest::NotifyTest;

namespace {
QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

TEST_F(NotifyTest, TheSameVersionAsTheClientDownloadsNothing) {
    setVersion("100");
    EXPECT_TRUE(ucm::VersionIsCurrent());
    ucm::CheckForUpdate();
    EXPECT_EQ(requestsTo(QStringLiteral("/File")), 0u);
    EXPECT_TRUE(dialogs_.boxes().empty());
    EXPECT_FALSE(QFile::exists(packagePath()));
}

TEST_F(NotifyTest, AnOlderOrNewerServiceVersionDownloadsAndOffersThePackage) {
    for (const QByteArray& version : {QByteArray("99"), QByteArray("101")}) {
        dialogs_.clear();
        setVersion(version);
        EXPECT_FALSE(ucm::VersionIsCurrent());
        dialogs_.answerNext(platform::Answer::Cancel);
        ucm::CheckForUpdate();
        ASSERT_EQ(dialogs_.boxes().size(), 1u) << version.constData();
        EXPECT_EQ(dialogs_.boxes()[0].text, QStringLiteral("新版本已下载，是否安装？"));
        EXPECT_EQ(dialogs_.boxes()[0].caption, QStringLiteral("询问"));
        EXPECT_EQ(dialogs_.boxes()[0].buttons, platform::Buttons::OkCancel);
        EXPECT_EQ(readFile(packagePath()), QByteArray("PK-package-1"));
    }
    EXPECT_TRUE(shell_.calls().empty());
}

TEST_F(NotifyTest, OkHandsTheDownloadedPackageToTheShell) {
    setVersion("101");
    dialogs_.answerNext(platform::Answer::Ok);
    ucm::CheckForUpdate();
    ASSERT_EQ(shell_.calls().size(), 1u);
    EXPECT_EQ(shell_.calls()[0].target, packagePath());
}

TEST_F(NotifyTest, ADeclinedPackageIsReplacedByAFreshDownloadAtTheNextCheck) {
    setVersion("101");
    ucm::CheckForUpdate();  // the double answers Cancel
    ASSERT_EQ(readFile(packagePath()), QByteArray("PK-package-1"));
    setPackage("PK-package-2");
    ucm::CheckForUpdate();
    EXPECT_EQ(readFile(packagePath()), QByteArray("PK-package-2"));
    EXPECT_EQ(dialogs_.boxes().size(), 2u);
}

TEST_F(NotifyTest, AFailedDownloadAsksNothing) {
    setVersion("101");
    setPackage(QByteArray(), 404);
    ucm::CheckForUpdate();
    EXPECT_TRUE(dialogs_.boxes().empty());
    EXPECT_FALSE(QFile::exists(packagePath()));
}

TEST_F(NotifyTest, AnAnswerThatIsNotAWholeNumberCountsAsCurrent) {
    for (const QByteArray& answer :
         {QByteArray("abc"), QByteArray("10 1"), QByteArray("0x65"), QByteArray("99999999999")}) {
        setVersion(answer);
        EXPECT_TRUE(ucm::VersionIsCurrent()) << answer.constData();
    }
    EXPECT_EQ(requestsTo(QStringLiteral("/File")), 0u);
}

TEST_F(NotifyTest, AnUnreachableServiceShowsAndDownloadsNothing) {
    useUnreachableService();
    EXPECT_TRUE(ucm::VersionIsCurrent());
    ucm::CheckForUpdate();
    EXPECT_TRUE(dialogs_.boxes().empty());
    EXPECT_FALSE(QFile::exists(packagePath()));
}
