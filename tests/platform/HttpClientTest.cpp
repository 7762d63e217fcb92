#include "platform/HttpClient.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>

#include "tests/support/TestHttpServer.h"

namespace {

using testsupport::ScriptedReply;

class HttpClient : public ::testing::Test {
protected:
    QByteArray url(const QByteArray& target) const { return server_.baseUrl() + target; }
    testsupport::TestHttpServer server_;
};

TEST_F(HttpClient, GoesDirectlyToTheServerWhateverProxyTheEnvironmentNames) {
    ::setenv("http_proxy", "http://127.0.0.1:1", 1);
    ::setenv("HTTP_PROXY", "http://127.0.0.1:1", 1);
    server_.enqueue(ScriptedReply::http(200, "hello"));
    const platform::HttpResult result = platform::httpClient().get(url("x"));
    ::unsetenv("http_proxy");
    ::unsetenv("HTTP_PROXY");
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.body, "hello");
}

TEST_F(HttpClient, KeepsTransportFailuresApartFromErrorStatuses) {
    server_.enqueue(ScriptedReply::http(404, "missing"));
    const platform::HttpResult notFound = platform::httpClient().get(url("x"));
    EXPECT_TRUE(notFound.transportOk);
    EXPECT_EQ(notFound.status, 404);
    EXPECT_FALSE(notFound.ok());
    EXPECT_EQ(notFound.body, "missing");

    const platform::HttpResult refused = platform::httpClient().get("http://127.0.0.1:1/x");
    EXPECT_FALSE(refused.transportOk);
    EXPECT_FALSE(refused.error.isEmpty());
}

TEST_F(HttpClient, RefusesAddressesItCannotSendSafely) {
    for (const QByteArray& bad : {QByteArray("ftp://127.0.0.1/x"), QByteArray("127.0.0.1/x"),
                                  QByteArray("http:///x"), QByteArray("http://h/a\nb"),
                                  QByteArray("http://h/a\x7f"), QByteArray("file:///etc/passwd")}) {
        const platform::HttpResult result = platform::httpClient().get(bad);
        EXPECT_FALSE(result.transportOk) << bad.toStdString();
    }
    EXPECT_EQ(server_.connectionCount(), 0u);
}

TEST_F(HttpClient, StartsTheRequestTargetWithASlashWhateverFollowsTheHost) {
    server_.setDefaultReply(ScriptedReply::http(200, "ok"));
    platform::httpClient().get(server_.baseUrl().chopped(1) + "?q=1");
    platform::httpClient().get(server_.baseUrl().chopped(1));
    const auto requests = server_.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "/?q=1");
    EXPECT_EQ(requests[1].target, "/");
    EXPECT_EQ(requests[1].header("Host"), "127.0.0.1:" + QByteArray::number(server_.port()));
}

TEST_F(HttpClient, SendsInMemoryPartsAsGiven) {
    server_.enqueue(ScriptedReply::http(200, "ok"));
    platform::MultipartPart text;
    text.name = "a";
    text.content = "1";
    platform::MultipartPart file;
    file.name = "f";
    file.isFile = true;
    file.filename = "C:\\dir\\f.txt";
    file.contentType = "text/plain";
    file.content = QByteArray("x\0y", 3);
    EXPECT_TRUE(platform::httpClient().postMultipart(url("p"), {text, file}).ok());
    const auto requests = server_.requests();
    ASSERT_EQ(requests.size(), 1u);
    const QByteArray& body = requests[0].body;
    EXPECT_TRUE(body.contains("Content-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n"));
    EXPECT_TRUE(body.contains(
        "name=\"f\"; filename=\"C:\\dir\\f.txt\"\r\nContent-Type: text/plain\r\n\r\n" +
        QByteArray("x\0y", 3)))
        << body.toStdString();
}

TEST_F(HttpClient, DownloadsReportStatusWithoutKeepingAnErrorBody) {
    QTemporaryDir dir;
    bool writeError = true;
    server_.enqueue(ScriptedReply::http(403, "forbidden"));
    const platform::HttpResult result =
        platform::httpClient().download(url("f"), dir.filePath("t.bin"), &writeError);
    EXPECT_FALSE(writeError);
    EXPECT_TRUE(result.transportOk);
    EXPECT_EQ(result.status, 403);
    EXPECT_FALSE(QFile::exists(dir.filePath("t.bin")));
}

}  // namespace
