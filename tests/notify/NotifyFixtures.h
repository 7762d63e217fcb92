#pragma once
// Shared pieces of the notification tests: a scripted loopback service that answers
// the message, version and package requests, and the doubles for boxes and shell.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <memory>
#include <mutex>

#include "platform/testing/FakeDialogs.h"
#include "platform/testing/FakeShell.h"
#include "tests/support/TestHttpServer.h"

namespace notifytest {

// Base64 of a data packet with one column "msginfo" holding these texts.
QByteArray messagesAnswer(const QStringList& texts);

class NotifyTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // What the scripted service answers; change before the requests are made.
    struct Script {
        std::mutex mutex;
        QByteArray messages;         // GetMsg answer text (unwrapped); empty: empty body
        QByteArray version = "100";  // GetVersion answer text
        QByteArray package = "PK-package-1";
        int packageStatus = 200;
    };
    void setMessages(const QByteArray& answer);
    void setVersion(const QByteArray& version);
    void setPackage(const QByteArray& bytes, int status = 200);

    size_t requestsTo(const QString& prefix) const;
    QString packagePath() const;
    // Points the client at a loopback port where nothing listens.
    void useUnreachableService();

    testsupport::TestHttpServer server_;
    QTemporaryDir root_;
    platform::testing::FakeDialogs dialogs_;
    platform::testing::FakeShell shell_;
    std::shared_ptr<Script> script_ = std::make_shared<Script>();

private:
    std::unique_ptr<platform::testing::InstallDialogs> installDialogs_;
    std::unique_ptr<platform::testing::InstallShell> installShell_;
    QString previousBase_;
    QString previousRoot_;
};

}  // namespace notifytest
