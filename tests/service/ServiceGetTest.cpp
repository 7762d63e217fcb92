#include <QElapsedTimer>

#include "ServiceFixture.h"
#include "platform/Gbk.h"

namespace {

using testsupport::ScriptedReply;

class ServiceGet : public ServiceFixture {};

TEST_F(ServiceGet, DropsTheWrappingBytesOfAThreeByteAnswer) {
    server_.enqueue(ScriptedReply::http(200, "\"Y\""));
    EXPECT_EQ(ucm::ServiceGet("UserMng/GetVersion"), "Y");
}

TEST_F(ServiceGet, GivesAnEmptyAnswerForTwoBytesOrFewer) {
    for (const QByteArray& body : {QByteArray("\"\""), QByteArray("Y"), QByteArray()}) {
        server_.enqueue(ScriptedReply::http(200, body));
        EXPECT_EQ(ucm::ServiceGet("UserMng/GetVersion"), "") << body.toStdString();
    }
}

TEST_F(ServiceGet, SendsThePathUnescapedBehindTheBase) {
    server_.enqueue(ScriptedReply::http(200, "\"[]\""));
    ucm::ServiceGet("UserMng/FriendsGet?userid=42");
    const auto request = onlyRequest();
    EXPECT_EQ(request.requestLine, "GET /act/UserMng/FriendsGet?userid=42 HTTP/1.1");
}

TEST_F(ServiceGet, SendsQueryCharactersAndBackslashesAsTheyAre) {
    server_.enqueue(ScriptedReply::http(200, "\"Y\""));
    ucm::ServiceGet("FileMng/FileMsgSet?id=a\\b/../c&msgInfo=5a6M5oiQ+/==&status=1");
    EXPECT_EQ(onlyRequest().target,
              "/act/FileMng/FileMsgSet?id=a\\b/../c&msgInfo=5a6M5oiQ+/==&status=1");
}

TEST_F(ServiceGet, SendsNonAsciiPathTextAsGbkBytes) {
    server_.enqueue(ScriptedReply::http(200, "\"Y\""));
    ucm::ServiceGet(QStringLiteral("X/Y?name=完成"));
    EXPECT_EQ(onlyRequest().target, "/act/X/Y?name=\xCD\xEA\xB3\xC9");
}

TEST_F(ServiceGet, NeverLetsAPathBreakTheRequestLine) {
    ucm::ServiceGet("X/Y?a=1\r\nX-Injected: 1");
    EXPECT_EQ(server_.connectionCount(), 0u) << "a control character sends nothing";
    server_.enqueue(ScriptedReply::http(200, "\"Y\""));
    EXPECT_EQ(ucm::ServiceGet("X/Y?a=b c"), "Y");
    EXPECT_EQ(onlyRequest().target, "/act/X/Y?a=b%20c");
}

TEST_F(ServiceGet, SpeaksHttp11WithoutCookiesOrKeptConnections) {
    ScriptedReply first = ScriptedReply::raw(
        "HTTP/1.1 200 OK\r\nSet-Cookie: session=abc; Path=/\r\nContent-Length: 3\r\n\r\n\"Y\"");
    server_.enqueue(first);
    server_.enqueue(ScriptedReply::http(200, "\"Y\""));
    EXPECT_EQ(ucm::ServiceGet("A/B"), "Y");
    EXPECT_EQ(ucm::ServiceGet("A/B"), "Y");
    const auto requests = server_.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].version, "HTTP/1.1");
    EXPECT_FALSE(requests[1].hasHeader("Cookie"));
    EXPECT_EQ(server_.connectionCount(), 2u) << "a new connection per call";
}

TEST_F(ServiceGet, DecodesUtf8AfterUnwrapping) {
    server_.enqueue(ScriptedReply::http(200, "\"\xE5\xAE\x8C\xE6\x88\x90\""));
    EXPECT_EQ(ucm::ServiceGet("A/B"), QStringLiteral("完成"));
}

TEST_F(ServiceGet, UnwrapsBytesBeforeDecodingSoAMultiByteWrapperFails) {
    // A Chinese character as the wrapper: dropping single bytes leaves broken UTF-8.
    server_.enqueue(ScriptedReply::http(200, "\xE3\x80\x8CY\xE3\x80\x8D"));
    EXPECT_EQ(ucm::ServiceGet("A/B"), "");
}

TEST_F(ServiceGet, GivesAnEmptyAnswerForIllFormedUtf8) {
    server_.enqueue(ScriptedReply::http(200, "\"\xC3\x28\""));
    EXPECT_EQ(ucm::ServiceGet("A/B"), "");
    server_.enqueue(ScriptedReply::http(200, "\"\xC0\xAF\""));  // overlong "/"
    EXPECT_EQ(ucm::ServiceGet("A/B"), "");
}

TEST_F(ServiceGet, GivesAnEmptyAnswerForErrorStatusesAndRedirects) {
    server_.enqueue(ScriptedReply::http(500, "\"Y\""));
    EXPECT_EQ(ucm::ServiceGet("A/B"), "");
    server_.enqueue(
        ScriptedReply::raw("HTTP/1.1 302 Found\r\nLocation: /act/C\r\n"
                           "Content-Length: 3\r\n\r\n\"Y\""));
    EXPECT_EQ(ucm::ServiceGet("A/B"), "");
    EXPECT_EQ(server_.requestCount(), 2u) << "the redirect is not followed";
}

TEST_F(ServiceGet, GivesAnEmptyAnswerForGarbageAndBrokenTransfers) {
    server_.enqueue(ScriptedReply::raw("this is not HTTP\r\n\r\n"));
    EXPECT_EQ(ucm::ServiceGet("A/B"), "");
    server_.enqueue(ScriptedReply::broken("\"Y", 100));
    EXPECT_EQ(ucm::ServiceGet("A/B"), "");
}

TEST_F(ServiceGet, GivesAnEmptyAnswerQuicklyWhenNobodyListens) {
    ucm::setServiceBase("http://127.0.0.1:1/");
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(ucm::ServiceGet("A/B"), "");
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST_F(ServiceGet, GivesUpOnAServerThatStallsMidAnswer) {
    platform::setHttpTimeouts({2000, 500});
    ScriptedReply stalled = ScriptedReply::broken("\"Y", 10);
    stalled.holdOpenMs = 4000;
    server_.enqueue(stalled);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(ucm::ServiceGet("A/B"), "");
    EXPECT_LT(timer.elapsed(), 3000) << "the stall limit ends the call, not the server";
}

TEST_F(ServiceGet, ReadsAChunkedAnswerSentSlowly) {
    ScriptedReply slow = ScriptedReply::raw(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: "
        "chunked\r\n\r\n1\r\n\"\r\n2\r\nOK\r\n1\r\n\"\r\n0\r\n\r\n");
    slow.chunkBytes = 7;
    slow.chunkPauseMs = 20;
    server_.enqueue(slow);
    EXPECT_EQ(ucm::ServiceGet("A/B"), "OK");
}

}  // namespace
