// The new-task dialog: picture choice, the saved JPEG, the request and the rename.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>

#include "service/ucm.h"
#include "tasks/JpegCodec.h"
#include "tasks/PictureBox.h"
#include "tasks/uFrmNewMsg.h"
#include "tests/tasks/TaskFixtures.h"

using namespace taskstest;
using testsupport::RecordedRequest;

namespace {

class NewTaskTest : public TaskTest {
protected:
    void SetUp() override {
        TaskTest::SetUp();
        view_ = QImage(60, 40, QImage::Format_RGB32);
        view_.fill(Qt::darkCyan);
    }
    void answerAdd(const QString& answer) {
        server_.setHandler([answer](const RecordedRequest&) { return wrapped(answer); });
    }
    QStringList filesInUserFolder() const {
        return QDir(userFolder()).entryList(QDir::Files, QDir::Name);
    }
    // The bytes of the one file part of a multipart body.
    static QByteArray filePartOf(const QByteArray& body) {
        const qsizetype start = body.indexOf("\xFF\xD8");
        const qsizetype end = body.lastIndexOf("\xFF\xD9");
        if (start < 0 || end < start) return {};
        return body.mid(start, end + 2 - start);
    }

    QImage view_;
};

}  // namespace

TEST_F(NewTaskTest, PasteShowsTheClipboardPicture) {
    TFrmNewMsg d;
    d.SetupNewMsg(view_, QStringLiteral("F1"), userFolder());
    QImage pasted(12, 10, QImage::Format_RGB32);
    pasted.fill(Qt::yellow);
    clipboard_.setImage(pasted);
    d.btnPast->click();
    EXPECT_EQ(d.img1->image(), pasted);
    EXPECT_TRUE(dialogs_.boxes().empty());
    EXPECT_EQ(d.PictureToSend(), pasted);
}

TEST_F(NewTaskTest, AnEmptyClipboardOffersTheCapturedViewAndNoKeepsThePicture) {
    TFrmNewMsg d;
    d.SetupNewMsg(view_, QStringLiteral("F1"), userFolder());
    dialogs_.answerNext(platform::Answer::No);
    d.btnPast->click();
    ASSERT_EQ(dialogs_.boxes().size(), 1u);
    EXPECT_EQ(dialogs_.boxes()[0].text,
              QStringLiteral("剪贴板没有图片。可调用QQ快捷键高清截图。\r\n是否截取当前视图？"));
    EXPECT_TRUE(dialogs_.boxes()[0].caption.isEmpty());
    EXPECT_EQ(dialogs_.boxes()[0].buttons, platform::Buttons::YesNo);
    EXPECT_FALSE(d.img1->hasImage());
    dialogs_.answerNext(platform::Answer::Yes);
    d.btnPast->click();
    EXPECT_EQ(d.img1->image(), view_);
}

TEST_F(NewTaskTest, SavingWithoutTouchingThePictureSendsTheViewAndRenamesTheFile) {
    answerAdd(QStringLiteral("Y|") + serverUrl(QStringLiteral("File\\p1.jpg")));
    TFrmNewMsg d;
    d.SetupNewMsg(view_, QStringLiteral("F1"), userFolder());
    d.mmoInfo->setPlainText(QStringLiteral("第一行\n第二行"));
    d.btnPost->click();

    ASSERT_EQ(server_.requestCount(), 1u);
    const RecordedRequest post = server_.requests().front();
    EXPECT_EQ(post.method, QByteArray("POST"));
    EXPECT_EQ(actPath(post), QStringLiteral("FileMng/FileMsgAdd"));
    const QByteArray body = post.body;
    const qsizetype user = body.indexOf("name=\"userId\"\r\n\r\n7\r\n");
    const qsizetype file = body.indexOf("name=\"fileId\"\r\n\r\nF1\r\n");
    const qsizetype title = body.indexOf("name=\"msgTitle\"\r\n\r\n\r\n");
    const qsizetype info = body.indexOf("name=\"msgInfo\"\r\n\r\n" +
                                        QStringLiteral("A:第一行\r\n第二行").toUtf8() + "\r\n");
    const qsizetype picture = body.indexOf("filename=");
    EXPECT_GE(user, 0);
    EXPECT_GT(file, user);
    EXPECT_GT(title, file);
    EXPECT_GT(info, title);
    EXPECT_GT(picture, info);

    const jpeg::DecodeResult sent = jpeg::Decode(filePartOf(body));
    ASSERT_TRUE(sent.ok()) << sent.error.toStdString();
    EXPECT_EQ(sent.image.size(), view_.size());

    EXPECT_EQ(filesInUserFolder(), QStringList({QStringLiteral("p1.jpg")}));
    QFile kept(userFolder() + QStringLiteral("p1.jpg"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), filePartOf(body));
    ASSERT_EQ(dialogs_.boxes().size(), 1u);
    EXPECT_EQ(dialogs_.boxes()[0].text, QStringLiteral("已保存到服务器。"));
    EXPECT_EQ(dialogs_.boxes()[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(NewTaskTest, APastedPictureIsSentInsteadOfTheView) {
    answerAdd(QStringLiteral("Y,p2.jpg"));
    TFrmNewMsg d;
    d.SetupNewMsg(view_, QStringLiteral("F1"), userFolder());
    QImage pasted(16, 8, QImage::Format_RGB32);
    pasted.fill(Qt::magenta);
    clipboard_.setImage(pasted);
    d.btnPast->click();
    d.btnPost->click();
    const jpeg::DecodeResult sent = jpeg::Decode(filePartOf(server_.requests().front().body));
    ASSERT_TRUE(sent.ok());
    EXPECT_EQ(sent.image.size(), QSize(16, 8));
    EXPECT_EQ(filesInUserFolder(), QStringList({QStringLiteral("p2.jpg")}));
}

TEST_F(NewTaskTest, AnAnswerOfOneCharacterIsAFailureAndKeepsTheTimeStampFile) {
    answerAdd(QStringLiteral("Y"));
    TFrmNewMsg d;
    d.SetupNewMsg(view_, QStringLiteral("F1"), userFolder());
    const QDateTime before = QDateTime::currentDateTime();
    d.btnPost->click();
    EXPECT_NE(d.result(), QDialog::Accepted);
    const QStringList files = filesInUserFolder();
    ASSERT_EQ(files.size(), 1u);
    const QDateTime stamp =
        QDateTime::fromString(files.front(), QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    ASSERT_TRUE(stamp.isValid()) << files.front().toStdString();
    EXPECT_LE(std::abs(stamp.secsTo(before)), 5);
    ASSERT_EQ(dialogs_.boxes().size(), 1u);
    EXPECT_NE(dialogs_.boxes()[0].text, QStringLiteral("已保存到服务器。"));
}

TEST_F(NewTaskTest, AServiceThatKeepsTheSentNameKeepsTheOnlyCopyOfThePicture) {
    server_.setHandler([](const RecordedRequest& r) {
        const qsizetype at = r.body.indexOf("filename=\"") + 10;
        const QByteArray sent = r.body.mid(at, r.body.indexOf('"', at) - at);
        return wrapped(QStringLiteral("Y,File\\") +
                       QString::fromUtf8(sent.mid(sent.lastIndexOf('/') + 1)));
    });
    TFrmNewMsg d;
    d.SetupNewMsg(view_, QStringLiteral("F1"), userFolder());
    d.btnPost->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(filesInUserFolder().size(), 1);
}

TEST_F(NewTaskTest, AStoredPathNamingNoFileLeavesNoTimeStampFileBehind) {
    answerAdd(QStringLiteral("Y,File\\"));
    TFrmNewMsg d;
    d.SetupNewMsg(view_, QStringLiteral("F1"), userFolder());
    d.btnPost->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(filesInUserFolder().isEmpty());
}

TEST_F(NewTaskTest, AServiceRefusalIsShownAsItsMessage) {
    answerAdd(QStringLiteral("N,图纸不存在"));
    TFrmNewMsg d;
    d.SetupNewMsg(view_, QStringLiteral("F1"), userFolder());
    d.btnPost->click();
    ASSERT_EQ(dialogs_.boxes().size(), 1u);
    EXPECT_EQ(dialogs_.boxes()[0].text, QStringLiteral("图纸不存在"));
    EXPECT_NE(d.result(), QDialog::Accepted);
}

TEST_F(NewTaskTest, CancelAfterAPasteSendsNothingAndLeavesNoFile) {
    TFrmNewMsg d;
    d.SetupNewMsg(view_, QStringLiteral("F1"), userFolder());
    QImage pasted(5, 5, QImage::Format_RGB32);
    pasted.fill(Qt::white);
    clipboard_.setImage(pasted);
    d.btnPast->click();
    d.btnCl->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(server_.requestCount(), 0u);
    EXPECT_TRUE(filesInUserFolder().isEmpty());
}

TEST_F(NewTaskTest, NothingHappensWhileNobodyIsLoggedIn) {
    ucm::setLogin(QString(), QString());
    TFrmNewMsg d;
    d.SetupNewMsg(view_, QStringLiteral("F1"), userFolder());
    d.btnPost->click();
    EXPECT_EQ(server_.requestCount(), 0u);
    EXPECT_TRUE(filesInUserFolder().isEmpty());
    EXPECT_TRUE(dialogs_.boxes().empty());
}

TEST_F(NewTaskTest, APictureThatCannotBeWrittenIsReportedAndNothingIsSent) {
    TFrmNewMsg d;
    d.SetupNewMsg(view_, QStringLiteral("F1"), userFolder() + QStringLiteral("no/such/folder/"));
    d.btnPost->click();
    EXPECT_EQ(server_.requestCount(), 0u);
    ASSERT_EQ(dialogs_.boxes().size(), 1u);
    EXPECT_EQ(dialogs_.boxes()[0].caption, QStringLiteral("OrvaneCAD"));
    EXPECT_EQ(dialogs_.boxes()[0].icon, platform::Icon::Error);
    EXPECT_NE(d.result(), QDialog::Accepted);
}

TEST_F(NewTaskTest, TheDialogHasItsCaptionAndFixedSize) {
    TFrmNewMsg d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("添加任务"));
    EXPECT_EQ(d.size(), QSize(404, 384));
    EXPECT_EQ(d.btnPast->size(), QSize(105, 27));
    EXPECT_EQ(d.btnPast->text(), QStringLiteral("粘贴图片"));
    EXPECT_FALSE(d.img1->stretch());
}

TEST(TimeStampName, FollowsTheYearMonthDayUnderscoreTimePattern) {
    const QDateTime moment(QDate(2024, 5, 1), QTime(9, 7, 3));
    EXPECT_EQ(TFrmNewMsg::TimeStampName(moment), QStringLiteral("2024-05-01_09-07-03"));
}
