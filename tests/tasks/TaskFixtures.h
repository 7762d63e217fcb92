#pragma once
// Shared pieces of the task tests: answers in the service's wire form, a scripted
// loopback server, a temporary LocalRoot and a logged-in user, and the doubles.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <vector>

#include "platform/testing/FakeClipboard.h"
#include "platform/testing/FakeDialogs.h"
#include "tests/support/TestHttpServer.h"

namespace taskstest {

using Row = std::map<QString, QString>;

// Base64 of a data packet with these fields and rows (values XML-escaped).
QByteArray packetBase64(const QStringList& fields, const std::vector<Row>& rows);
// A task row with the seven fields of the task answer.
Row taskRow(const QString& id, const QString& info, int status, const QString& filePath = {},
            const QString& date = QStringLiteral("2024-05-01 09:07:03"),
            const QString& user = QStringLiteral("王工"));
// The answer of FileMsgGet for these task rows.
QByteArray tasksAnswer(const std::vector<Row>& rows);
// A 200 answer whose body is `text` wrapped in the service's quotes, in UTF-8.
testsupport::ScriptedReply wrapped(const QString& text);
// A 200 answer carrying raw file bytes.
testsupport::ScriptedReply fileReply(const QByteArray& bytes);
// A small JPEG picture of one colour.
QByteArray jpegBytes(int width, int height, QColor colour);
// The request's target with the "/act/" prefix cut off.
QString actPath(const testsupport::RecordedRequest& request);

class TaskTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString userFolder() const;  // LocalRoot + user id + separator
    QString serverUrl(const QString& tail) const;

    testsupport::TestHttpServer server_;
    QTemporaryDir root_;
    platform::testing::FakeDialogs dialogs_;
    platform::testing::FakeClipboard clipboard_;

private:
    std::unique_ptr<platform::testing::InstallDialogs> installDialogs_;
    std::unique_ptr<platform::testing::InstallClipboard> installClipboard_;
    QString previousBase_;
    QString previousRoot_;
};

// Installs a modal hook for the lifetime of the guard.
class ModalHookGuard {
public:
    explicit ModalHookGuard(std::function<int(QDialog&)> hook);
    ~ModalHookGuard();
};

}  // namespace taskstest
