// The whole task road against the stand-in review service (in-process, loopback,
// temporary data folder): add a task with a captured picture, list it, see its
// picture without a download, close it with an opinion, and read it back.
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <atomic>
#include <memory>

#include "server/Admin.h"
#include "server/ReviewServer.h"
#include "service/ucm.h"
#include "tasks/PictureBox.h"
#include "tasks/uFrmFileMsg.h"
#include "tasks/uFrmNewMsg.h"
#include "tests/tasks/TaskFixtures.h"

using namespace taskstest;

namespace {

class TaskRoundTripTest : public TaskTest {
protected:
    void SetUp() override {
        TaskTest::SetUp();
        ASSERT_TRUE(data_.isValid());
        auto downloads = downloads_;
        server::ServerOptions options;
        options.dataDir = data_.path().toStdString();
        options.log = [downloads](const std::string& line) {
            if (line.find(" GET /File") != std::string::npos) ++*downloads;
        };
        server_ = std::make_unique<server::ReviewServer>(options);
        ucm::setServiceBase(QString::fromStdString(server_->baseUrl()));
        server::Service& s = server_->service();
        const int64_t user =
            server::admin::createUser(s, "13800000001", "secret1", "张三", "z@x.cn");
        ucm::setLogin(QString::number(user), QStringLiteral("张三"));
        QFile drawing(data_.filePath(QStringLiteral("plan.dwg")));
        ASSERT_TRUE(drawing.open(QIODevice::WriteOnly));
        drawing.write("AC1015 stand-in drawing bytes");
        drawing.close();
        fileId_ = QString::fromStdString(server::admin::addDrawing(
            s, user, "", "", "plan.dwg", drawing.fileName().toStdString()));
        QDir().mkpath(userFolder());
    }
    void TearDown() override {
        server_.reset();
        TaskTest::TearDown();
    }
    QString userFolder() const { return ucm::UserFolder(); }

    QTemporaryDir data_;
    std::unique_ptr<server::ReviewServer> server_;
    std::shared_ptr<std::atomic<int>> downloads_ = std::make_shared<std::atomic<int>>(0);
    QString fileId_;
};

}  // namespace

TEST_F(TaskRoundTripTest, ANewTaskIsListedWithItsLocalPictureAndClosingIsStoredAsGbk) {
    TFrmFileMsg list;
    QImage view(90, 60, QImage::Format_RGB32);
    view.fill(Qt::darkRed);
    list.OnCaptureView = [view] { return view; };
    list.LoadFileMsgs(fileId_);
    EXPECT_EQ(list.lv1->rowCount(), 0);

    ModalHookGuard guard([](QDialog& d) {
        auto* dialog = qobject_cast<TFrmNewMsg*>(&d);
        if (!dialog) return int(QDialog::Rejected);
        dialog->mmoInfo->setPlainText(QStringLiteral("门洞尺寸不对\n请核对"));
        dialog->btnPost->click();
        return dialog->result();
    });
    list.btnNewTask->click();
    EXPECT_EQ(dialogs_.boxTexts(), QStringList({QStringLiteral("已保存到服务器。")}));

    ASSERT_EQ(list.lv1->rowCount(), 1);
    const TFileMsg& task = *list.MsgList()[0];
    EXPECT_EQ(task.MsgInfo, QStringLiteral("张三:门洞尺寸不对\r\n请核对"));
    EXPECT_EQ(task.Status, 0);
    EXPECT_EQ(task.UserName, QStringLiteral("张三"));
    EXPECT_EQ(task.LocalState, 3) << task.FilePath.toStdString();

    list.lv1->selectRow(0);
    EXPECT_EQ(downloads_->load(), 0);
    EXPECT_EQ(list.img1->image().size(), view.size());

    dialogs_.inputNext(QStringLiteral("完成"));
    list.btnClose->click();
    list.LoadFileMsgs(fileId_);
    ASSERT_EQ(list.lv1->rowCount(), 1);
    EXPECT_EQ(list.MsgList()[0]->MsgInfo,
              QStringLiteral("张三:门洞尺寸不对\r\n请核对\r\n张三:完成"));
    EXPECT_EQ(list.MsgList()[0]->Status, 1);
    EXPECT_EQ(list.lv1->item(0, 3)->text(), QStringLiteral("关闭"));
}

TEST_F(TaskRoundTripTest, AnotherReviewerDownloadsThePictureOnFirstSelectionOnly) {
    const int64_t author =
        server::admin::createUser(server_->service(), "13800000009", "secret1", "王工", "w@x.cn");
    const QByteArray picture = jpegBytes(40, 30, Qt::blue);
    server::admin::addTask(server_->service(), fileId_.toStdString(), author, "王工:标高",
                           std::string(picture.constData(), size_t(picture.size())));
    TFrmFileMsg list;
    list.LoadFileMsgs(fileId_);
    ASSERT_EQ(list.lv1->rowCount(), 1);
    EXPECT_EQ(list.MsgList()[0]->LocalState, 2);
    list.lv1->selectRow(0);
    EXPECT_EQ(downloads_->load(), 1);
    EXPECT_EQ(list.MsgList()[0]->LocalState, 3);
    EXPECT_EQ(list.img1->image().size(), QSize(40, 30));
    list.lv1->clearSelection();
    list.lv1->selectRow(0);
    EXPECT_EQ(downloads_->load(), 1);
}
