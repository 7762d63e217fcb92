// Adding and removing members against the stand-in review service, in-process on a
// free loopback port with a temporary data folder.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <memory>

#include "platform/testing/FakeDialogs.h"
#include "server/Admin.h"
#include "server/ReviewServer.h"
#include "service/ucm.h"
#include "sharing/uFrmPublish.h"

namespace {

class SharingRoundTripTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data_.isValid());
        server::ServerOptions options;
        options.dataDir = data_.path().toStdString();
        server_ = std::make_unique<server::ReviewServer>(options);
        previousBase_ = ucm::ServiceBase();
        ucm::setServiceBase(QString::fromStdString(server_->baseUrl()));
        owner_ = server::admin::createUser(server_->service(), "13800000001", "secret1", "张三",
                                           "zhang@example.cn");
        server::admin::createUser(server_->service(), "13800000002", "secret1", "李四",
                                  "li@example.cn");
        ucm::setLogin(QString::number(owner_), QStringLiteral("张三"));
    }
    void TearDown() override {
        ucm::setLogin(QString(), QString());
        ucm::setServiceBase(previousBase_);
        server_.reset();
    }

    QTemporaryDir data_;
    std::unique_ptr<server::ReviewServer> server_;
    platform::testing::FakeDialogs dialogs_;
    platform::testing::InstallDialogs install_{dialogs_};
    QString previousBase_;
    int64_t owner_ = 0;
};

}  // namespace

TEST_F(SharingRoundTripTest, AnAddedMemberIsListedAndARemovedOneIsGoneAtTheNextOpening) {
    {
        TFrmPublish d;
        EXPECT_EQ(d.lv1->rowCount(), 0);
        dialogs_.inputNext(QStringLiteral("li@example.cn"));
        d.btnAdd->click();
        ASSERT_EQ(d.lv1->rowCount(), 1);
        EXPECT_EQ(d.lv1->item(0, 0)->text(), QStringLiteral("li@example.cn"));
        EXPECT_EQ(d.lv1->item(0, 1)->text(), QStringLiteral("李四"));
        EXPECT_TRUE(dialogs_.boxes().empty()) << dialogs_.boxTexts().join(u'|').toStdString();
    }
    {
        TFrmPublish d;
        ASSERT_EQ(d.lv1->rowCount(), 1);
        EXPECT_EQ(d.lv1->item(0, 0)->text(), QStringLiteral("li@example.cn"));
        EXPECT_EQ(d.lv1->item(0, 1)->text(), QStringLiteral("李四"));
        d.lv1->selectRow(0);
        d.btnDel->click();
        EXPECT_EQ(dialogs_.boxTexts(),
                  QStringList({QStringLiteral("已删除，不再向用户[li@example.cn]提供分享")}));
        EXPECT_EQ(d.lv1->rowCount(), 1);
    }
    TFrmPublish reopened;
    EXPECT_EQ(reopened.lv1->rowCount(), 0);
}

TEST_F(SharingRoundTripTest, TheServiceRefusalOfAnUnknownAddressIsShown) {
    TFrmPublish d;
    dialogs_.inputNext(QStringLiteral("nobody@example.cn"));
    d.btnAdd->click();
    EXPECT_EQ(dialogs_.boxTexts(), QStringList({QStringLiteral("该邮箱尚未注册。")}));
    EXPECT_EQ(d.lv1->rowCount(), 0);
}
