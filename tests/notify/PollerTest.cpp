// The message poller thread: the request, the hand-over to the message box on the UI
// thread, the wait for the box, and the update check that follows.
#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "notify/uFrmTip.h"
#include "notify/uThread.h"
#include "tests/notify/NotifyFixtures.h"

using notifytest::messagesAnswer;
using notifytest::NotifyTest;

namespace {

TFrmTip* visibleTip() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* tip = qobject_cast<TFrmTip*>(w); tip && tip->isVisible()) return tip;
    }
    return nullptr;
}

// Waits until the self-deleting thread object is gone (its body ended).
bool waitUntilGone(const QPointer<TBackupThread>& thread, int ms = 10000) {
    return QTest::qWaitFor([&] { return thread.isNull(); }, ms);
}

// The value of a text part in a multipart body.
QByteArray fieldValue(const QByteArray& body, const QByteArray& name) {
    const QByteArray head = "name=\"" + name + "\"\r\n\r\n";
    const qsizetype start = body.indexOf(head);
    if (start < 0) return "<missing>";
    const qsizetype from = start + head.size();
    return body.mid(from, body.indexOf("\r\n", from) - from);
}

}  // namespace

TEST_F(NotifyTest, PostsTheAccountAndDateAndShowsTheMessagesUntilTheBoxIsClosed) {
    setMessages(messagesAnswer({QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")}));
    QPointer<TBackupThread> thread =
        TBackupThread::Start(QStringLiteral("13800000000"), QStringLiteral("2024-05-01 09:07:03"));
    ASSERT_TRUE(QTest::qWaitFor([] { return visibleTip() != nullptr; }, 10000));
    TFrmTip* tip = visibleTip();
    EXPECT_EQ(tip->MsgCount(), 3);
    EXPECT_EQ(tip->MsgIndex(), 0);

    const auto requests = server_.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target, QByteArray("/act/UserMng/GetMsg"));
    EXPECT_EQ(fieldValue(requests[0].body, "userId"), QByteArray("13800000000"));
    EXPECT_EQ(fieldValue(requests[0].body, "fromdate"), QByteArray("2024-05-01 09:07:03"));
    EXPECT_LT(requests[0].body.indexOf("name=\"userId\""),
              requests[0].body.indexOf("name=\"fromdate\""));

    // While the box is open the poller waits: no version request yet.
    QTest::qWait(300);
    EXPECT_EQ(requestsTo(QStringLiteral("/act/UserMng/GetVersion")), 0u);
    EXPECT_FALSE(thread.isNull());

    tip->btn3->click();
    ASSERT_TRUE(waitUntilGone(thread));
    EXPECT_EQ(requestsTo(QStringLiteral("/act/UserMng/GetVersion")), 1u);
}

TEST_F(NotifyTest, AnEmptyAccountIsSentAsAnEmptyUserId) {
    QPointer<TBackupThread> thread = TBackupThread::Start(QString(), QStringLiteral("d"));
    ASSERT_TRUE(waitUntilGone(thread));
    const auto requests = server_.requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(fieldValue(requests[0].body, "userId"), QByteArray());
}

TEST_F(NotifyTest, ZeroRowsShowNothingAndGoOnToTheUpdateCheck) {
    setMessages(messagesAnswer({}));
    QPointer<TBackupThread> thread = TBackupThread::Start(QStringLiteral("u"), QStringLiteral("d"));
    ASSERT_TRUE(waitUntilGone(thread));
    EXPECT_EQ(visibleTip(), nullptr);
    EXPECT_EQ(requestsTo(QStringLiteral("/act/UserMng/GetVersion")), 1u);
}

TEST_F(NotifyTest, AFailedMessageRequestStillRunsTheUpdateCheck) {
    setMessages(QByteArray());  // empty body: an empty answer
    QPointer<TBackupThread> thread = TBackupThread::Start(QStringLiteral("u"), QStringLiteral("d"));
    ASSERT_TRUE(waitUntilGone(thread));
    EXPECT_EQ(requestsTo(QStringLiteral("/act/UserMng/GetVersion")), 1u);
}

TEST_F(NotifyTest, AnUnreadableAnswerEndsThePollerSilentlyWithoutUpdateCheck) {
    for (const QByteArray& bad : {QByteArray("abc"), QByteArray("aGVsbG8gd29ybGQh")}) {
        setMessages(bad);
        QPointer<TBackupThread> thread =
            TBackupThread::Start(QStringLiteral("u"), QStringLiteral("d"));
        ASSERT_TRUE(waitUntilGone(thread));
    }
    EXPECT_EQ(visibleTip(), nullptr);
    EXPECT_EQ(requestsTo(QStringLiteral("/act/UserMng/GetVersion")), 0u);
    EXPECT_TRUE(dialogs_.boxes().empty());
}

TEST_F(NotifyTest, TheUpdateQuestionComesOnlyAfterTheMessageBoxWasClosed) {
    setMessages(messagesAnswer({QStringLiteral("新消息")}));
    setVersion("101");
    dialogs_.answerNext(platform::Answer::Ok);
    QPointer<TBackupThread> thread = TBackupThread::Start(QStringLiteral("u"), QStringLiteral("d"));
    ASSERT_TRUE(QTest::qWaitFor([] { return visibleTip() != nullptr; }, 10000));
    QTest::qWait(300);
    EXPECT_TRUE(dialogs_.boxes().empty());
    EXPECT_FALSE(QFile::exists(packagePath()));

    visibleTip()->close();
    ASSERT_TRUE(waitUntilGone(thread));
    ASSERT_EQ(dialogs_.boxes().size(), 1u);
    EXPECT_EQ(dialogs_.boxes()[0].text, QStringLiteral("新版本已下载，是否安装？"));
    ASSERT_EQ(shell_.calls().size(), 1u);
    EXPECT_EQ(shell_.calls()[0].target, packagePath());
}

TEST_F(NotifyTest, AnUnreachableServiceEndsThePollerWithoutAnyBox) {
    useUnreachableService();
    QPointer<TBackupThread> thread = TBackupThread::Start(QStringLiteral("u"), QStringLiteral("d"));
    ASSERT_TRUE(waitUntilGone(thread));
    EXPECT_EQ(visibleTip(), nullptr);
    EXPECT_TRUE(dialogs_.boxes().empty());
}

TEST_F(NotifyTest, AStopRequestReleasesAPollerWaitingForTheBoxAndSkipsTheUpdateCheck) {
    setMessages(messagesAnswer({QStringLiteral("x")}));
    QPointer<TBackupThread> thread = TBackupThread::Start(QStringLiteral("u"), QStringLiteral("d"));
    ASSERT_TRUE(QTest::qWaitFor([] { return visibleTip() != nullptr; }, 10000));
    ASSERT_FALSE(thread.isNull());
    thread->requestStop();  // what the application does when it is about to quit
    ASSERT_TRUE(waitUntilGone(thread));
    EXPECT_EQ(requestsTo(QStringLiteral("/act/UserMng/GetVersion")), 0u);
    visibleTip()->close();
    QTest::qWait(50);
}

TEST_F(NotifyTest, TheThreadWorksOnCopiesOfItsTwoTexts) {
    QString account = QStringLiteral("abc");
    QString date = QStringLiteral("2024-01-01 00:00:00");
    TBackupThread thread(account, date);
    account = QStringLiteral("changed");
    date.clear();
    EXPECT_EQ(thread.MsgUserId, QStringLiteral("abc"));
    EXPECT_EQ(thread.FromDate, QStringLiteral("2024-01-01 00:00:00"));
}
