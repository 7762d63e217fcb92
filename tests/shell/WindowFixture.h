#pragma once
// A main window on a temporary local folder, talking to the stand-in service on a free
// loopback port, with recorded dialogs and shell calls and no message poller thread.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "account/TLoginPanel.h"
#include "platform/IniFile.h"
#include "platform/testing/FakeDialogs.h"
#include "platform/testing/FakeShell.h"
#include "server/Admin.h"
#include "server/ReviewServer.h"
#include "service/ucm.h"
#include "shell/uFrmMain.h"

namespace shelltest {

inline const QString kPhone = QStringLiteral("13800000001");
inline const QString kPassword = QStringLiteral("secret12");

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.isValid() && root.isValid());
        server::ServerOptions options;
        options.dataDir = std::filesystem::path(data.path().toStdString());
        server = std::make_unique<server::ReviewServer>(options);
        server::admin::createUser(server->service(), kPhone.toStdString(), kPassword.toStdString(),
                                  "Tester", "t@example.cn");
        ucm::setServiceBase(QString::fromStdString(server->baseUrl()));
        ucm::setLocalRoot(root.path() + QDir::separator());
        ucm::setLogin(QString(), QString());
    }
    void TearDown() override {
        window.reset();
        ucm::setLogin(QString(), QString());
    }

    // Creates the window (FormCreate runs); the poller start is only recorded.
    TFrmMain& open() {
        window = std::make_unique<TFrmMain>([this](const QString& account, const QString& date) {
            pollerStarts << account + "|" + date;
        });
        return *window;
    }
    QString iniPath() const { return root.filePath("set.ini"); }
    QString makeFile(const QString& name, const QByteArray& bytes = "not a drawing") {
        const QString path = QDir::toNativeSeparators(files.filePath(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    // Logs in through the login panel with the seeded account.
    void logIn() {
        window->pnlLogin->edt1->setText(kPhone);
        window->pnlLogin->edt2->setText(kPassword);
        window->pnlLogin->btn1->click();
        ASSERT_FALSE(ucm::CurrentUserId().isEmpty()) << dialogs.boxTexts().join("|").toStdString();
    }

    QTemporaryDir data;
    QTemporaryDir root;
    QTemporaryDir files;
    std::unique_ptr<server::ReviewServer> server;
    platform::testing::FakeDialogs dialogs;
    platform::testing::InstallDialogs installDialogs{dialogs};
    platform::testing::FakeShell shell;
    platform::testing::InstallShell installShell{shell};
    QStringList pollerStarts;
    std::unique_ptr<TFrmMain> window;
};

}  // namespace shelltest
